// SPDX-License-Identifier: GPL-3.0-or-later
// SeamGrid: a picture being carved, with its working energy and the dynamic-programming tables of
// one seam direction. Plain arrays only; DP wraps it for the rest of the program.
//
// Words used below. A vertical seam has one pixel per row; it runs down the "lanes" (rows) and
// picks one "position" (column) in each. A horizontal seam has one pixel per column: its lanes
// are columns and its positions rows. Both directions share one recurrence in these words.
//
// Recurrence, for lane i >= 1 and position j, with C = cost and E = energy:
//   L = C(i-1, j-1) when j > 0, else +inf (2147483647)
//   U = C(i-1, j)
//   R = C(i-1, j+1), present only when j < n-1
//   if R present and R < U:  take L (step -1) when L <= R, else R (step +1)
//   otherwise:               take L (step -1) when L < U,  else U (step 0)
//   C(i, j) = E(i, j) + taken value;   C(0, j) = E(0, j)
// So ties go to the straight predecessor first, and between the two diagonals to the lower
// position (left, or upper). Sums are plain 32-bit ints.
//
// A seam is extracted from the last lane: the smallest cost, the lowest position on ties, then
// position(i-1) = position(i) + step(i, position(i)) up to lane 0.
#ifndef KERV_SEAM_SEAM_GRID_H
#define KERV_SEAM_SEAM_GRID_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "large_buffer.h"
#include "workers.h"

namespace seam {

enum class Direction { Vertical, Horizontal };

class SeamGrid {
public:
    // rgb: width*height*3 bytes, energy: width*height ints, both row-major without padding.
    // threads: 1 runs everything on the caller; more lets a second core share the data movement.
    SeamGrid(const unsigned char* rgb, const int* energy, int width, int height,
             int threads = Workers::DefaultThreads());
    // The same with the energy read from bytes: cell i's energy is energyBytes[i * energyStep]
    // (3 reads the first channel of a grey RGB picture), so no int copy of it is needed first.
    SeamGrid(const unsigned char* rgb, const unsigned char* energyBytes, int energyStep, int width,
             int height, int threads = Workers::DefaultThreads());

    int Width() const { return cols_; }
    int Height() const { return rows_; }

    // Carves one seam of the direction: removes it when remove is true, else duplicates it.
    // The seam carved is the pending one; when none is pending the whole table is searched
    // first. Afterwards only a band around the carved seam is recomputed and the next seam is
    // extracted; it is returned (one position per lane) and stays valid until the next call.
    // A carve in one direction discards the other direction's pending seam.
    // Removing from a dimension of 1 pixel is a caller error (asserted; ignored in release).
    const int* Carve(Direction direction, bool remove);

    // Grows the frames at once to hold a picture of width x height, so that insertions up to
    // that size reallocate nothing on the way. Smaller sizes change nothing.
    void MakeRoom(int width, int height);

    // True when `direction` has a pending seam (its next call skips the whole-table search).
    bool HasPendingSeam(Direction direction) const;
    // The seam the next Carve of the direction carves (one position per lane), searching the
    // whole table first when none is pending, exactly as that Carve would. Valid until the next
    // call of either kind.
    const int* PendingSeam(Direction direction);
    // Discards both directions' pending seams, so the next call searches the whole table.
    void DiscardPendingSeams()
    {
        pending_ = Pending::None;
        aside_ = Pending::None;
    }

    // Adds delta (width*height ints, row-major, current size) to the working energy; the tables
    // no longer fit it, so DiscardPendingSeams must follow before the next carve.
    void AddEnergy(const int* delta);
    // Adds to one cell's energy; the pending tables keep their values (the cell becomes stale,
    // so a later band that covers it recomputes it).
    void AddEnergyAt(int x, int y, int value);

    // Copies the current pixels (width*height*3 bytes) or energy (width*height ints) out,
    // row-major without padding.
    void CopyPixels(unsigned char* out);
    void CopyEnergy(int* out);

private:
    enum class Pending { None, Vertical, Horizontal };

    // Energy and pixels: row-major, stride_ cells per row; picture row r is stored in row
    // rowSlot_[r], its cells starting rowStart_[rowSlot_[r]] cells into it.
    size_t Index(int row, int col) const
    {
        const int physical = rowSlot_[row];
        return static_cast<size_t>(physical) * stride_ + rowStart_[physical] + col;
    }
    // Tables: lane-major, tableStride_ cells per lane, so that a lane's positions are contiguous
    // in either direction; a lane's cells start laneStart_[lane] cells into it.
    size_t TableIndex(int lane, int position) const
    {
        return static_cast<size_t>(lane) * tableStride_ + laneStart_[lane] + position;
    }

    template <bool kHorizontal>
    void SearchAfresh();
    void SetTablesAside();
    void KeepAsideLanesBefore(Pending direction, int lane);
    template <bool kHorizontal>
    void SearchAll(int kept);
    void SearchAllColumns(int kept);
    template <bool kHorizontal>
    void RepairLanes(int kept);
    template <bool kHorizontal>
    void SearchBand(int firstPosition);
    template <bool kHorizontal>
    const int* LaneEnergy(int lane);
    template <bool kHorizontal>
    void RelaxLane(int lane, int begin, int end);
    template <bool kHorizontal>
    void PrefetchLane(int lane, int begin, int end) const;
    template <bool kHorizontal>
    void RelaxAndCompare(int lane, int begin, int end, int& changedLo, int& changedHi);
    void RelaxAndCompareAt(const int* previous, const int* energy, int* cost, std::uint8_t* step,
                           int lane, int positions, int begin, int end, int& changedLo,
                           int& changedHi);
    void RelaxDeferred(int lane, int begin, int end, int& changedLo, int& changedHi);
    void RelaxStaleCells(int lane, int begin, int end, int& changedLo, int& changedHi,
                         bool horizontal);
    void MarkStale(int lane, int begin, int end);
    void ExtractSeam(int lanes, int positions);
    void LayOutTables(bool horizontal);

    void PrefetchInsertion(int row) const;
    void RemoveVertical();
    void RemoveHorizontal();
    void InsertVertical();
    void InsertInRow(int row);
    void PlaceSpares(int row, int count, int* before) const;
    void SpreadSpares(int count);
    void InsertAtSpare(int row);
    void DeferInsertedPixel(int row);
    void InsertHorizontal();
    void InsertInColumnTables(int column);
    template <typename Rule>
    void ShiftColumns(int first, int count, int direction, const Rule& rule,
                      const std::uint32_t* newPixels);
    void Reserve(int rowCapacity, int stride);
    int StoredColumn(int row, int col, int* firstHoleAfter = nullptr) const;
    void CompactRows(bool keepTables = true);
    // Capacity for n elements with headroom, so that a run of insertions reallocates rarely.
    static int GrownCapacity(int n) { return n + n / 4 + 16; }

    // Energy and pixels: room for rowCapacity_ rows of stride_ cells, with
    //   rowStart_[row] + cols_ + deferredCount_ <= stride_ for every stored row in use;
    // cells outside the current picture hold leftovers and are never read. Carving moves cells
    // inside this frame, always the shorter side of a row or lane (which moves that row's start),
    // and reallocates only when an insertion outgrows it, then with headroom. The picture's rows
    // may lie in any order of stored rows: a horizontal carve moves cells only between the rows
    // its seam crosses, and the rows past it take their new places in rowSlot_.
    int rows_ = 0;
    int cols_ = 0;
    int stride_ = 0;
    int rowCapacity_ = 0;
    std::vector<int> rowSlot_;           // the stored row of each picture row (rows_ entries)
    std::vector<int> freeSlots_;         // the stored rows no picture row uses
    std::vector<int> rowStart_;          // rowCapacity_ entries
    LargeVector<std::uint32_t> pixels_;  // 0x00BBGGRR
    LargeVector<int> energy_;            // working energy, moved with the pixels
    // The rows may hold holes: cells in storage that are not part of the picture. Every row
    // keeps their stored positions (deferredCount_ of them, the same number in every row, in
    // ascending order), which are the same in the row's energy and in its table lane, and
    // CompactRows closes them all in one pass. Meanwhile the band update and the seam's
    // extraction read and write the tables through the holes. Index() and TableIndex() with a
    // position are only valid while there are none.
    //  - A run of vertical removals leaves a hole where each removed cell was, in the pixels too,
    //    instead of moving the rows at every seam.
    //  - A run of vertical insertions first spreads spare holes along every row of the energy and
    //    the tables (holesAreSpares_; the pixels are deferred apart, see pixelsDeferred_), and
    //    each insertion moves the cells between its seam and the nearest spare into it rather
    //    than the shorter side of the row.
    // Any other use of energy, pixels or tables compacts first.
    static constexpr int kDeferredLimit = 32;
    int deferredCount_ = 0;
    bool holesAreSpares_ = false;
    std::vector<int> deferred_;  // kDeferredLimit entries per row
    // A deferred lane's costs over a range that is not contiguous in storage, position j at
    // index j (stride_ entries).
    std::vector<int> gatheredPrevious_;
    // A run of vertical insertions defers the pixels' moves: nothing but an insertion reads them
    // meanwhile. Each row keeps where the cells were inserted (after position insertedAt_, in
    // the row as it was then) and their pixels, in order; its pixels stay where they were when
    // the run began (pixelStart_, cols_ - pixelsDeferred_ of them). FlushPixels closes the spare
    // holes, replays the insertions row by row in a buffer small enough to stay in the cache and
    // writes each row where its energy lies; every other carve and every other use of the pixels
    // flushes first. The spares and the deferred pixels end together: spreading them starts a
    // run, and the run's last spare filled flushes it.
    int pixelsDeferred_ = 0;
    std::vector<int> pixelStart_;               // per picture row
    std::vector<int> insertedAt_;               // kDeferredLimit entries per row
    std::vector<std::uint32_t> insertedPixel_;  // kDeferredLimit entries per row
    // The insertions of insertedAt_ that the last flush replayed, which guide the next spares.
    int guideInsertions_ = 0;
    std::uint32_t PendingPixel(int row, int col) const;
    void FlushPixels();

    // The tables of the pending direction (at most one direction is ever valid, so one set
    // serves both): its lanes are rows (vertical) or columns (horizontal), each tableStride_
    // cells long (stride_ or rowCapacity_). Cells outside the last band keep the values they
    // had, moved along by the carves (see deferredCount_), exactly as the incremental update
    // leaves them.
    int tableStride_ = 0;
    std::vector<int> laneStart_;  // one per lane of the table capacity
    LargeVector<int> cost_;
    // Step bytes (see relax.h): the predecessor's offset in the previous lane, and whether the
    // cell is stale. Consistency lets the band update skip cells that would not change: a cell
    // that is not stale holds exactly what the recurrence gives from its current energy and
    // predecessors; a stale cell may not (it lay outside the band of an earlier update, or its
    // energy was edited). staleCount_[lane] counts the stale cells of a lane.
    LargeVector<std::uint8_t> step_;
    std::vector<int> staleCount_;
    std::vector<int> seam_;  // pending seam, one position per lane
    Pending pending_ = Pending::None;

    // The tables of the direction carved before the pending one (aside_, or None), kept so that
    // taking that direction up again searches only what the carves since have changed: its
    // lanes [0, asideKept_) have the energy they had when the tables were set aside (their stale
    // cells still need recomputing); later lanes are searched afresh. The other direction's
    // carves lower asideKept_ to the first lane they touch.
    Pending aside_ = Pending::None;
    int asideKept_ = 0;
    int asideTableStride_ = 0;
    std::vector<int> asideLaneStart_;
    LargeVector<int> asideCost_;
    LargeVector<std::uint8_t> asideStep_;
    std::vector<int> asideStaleCount_;

    // For the horizontal direction, the energy again in the tables' lane-major layout (moved
    // with them), so that its lanes are contiguous too; energy_ stays the reference copy.
    LargeVector<int> laneEnergy_;
    std::vector<std::uint8_t> changed_;     // the marks of a recomputed range's changed costs
    std::vector<std::uint32_t> newPixels_;  // the cells a horizontal insertion adds
    std::vector<const int*> rowPointers_;   // the energy's rows, for copying columns out

    // Lanes between the one the band update recomputes and the one it prefetches.
    static constexpr int kBandLookahead = 4;
    // Fewer spares than this are not worth spreading (see holesAreSpares_).
    static constexpr int kLeastSpares = 8;
    static constexpr int kMinimumSplit = 64;  // rows or columns worth a second thread
    Workers workers_;
};

}  // namespace seam

#endif
