// SPDX-License-Identifier: GPL-3.0-or-later
// DP: one opened picture and the seam-carving engine that changes its size one pixel at a time.
//
// The compute lives in seam::SeamGrid (plain arrays, no toolkit types); DP adds what the rest
// of the program needs from the toolkit: reading the picture through wxFastImage's handler list,
// the energy picture, masks given as bitmaps or images, and a wxFastImage view of the pixels.
//
// Calling order: construct, check cols (-1: the picture was not read; call nothing else), then
// any sequence of GetSeam_Vert / GetSeam_Horz. Each call changes one dimension by one pixel.
// Never ask for a removal from a dimension of 1 pixel.
#ifndef KERV_ENGINE_DP_H
#define KERV_ENGINE_DP_H

#include <memory>
#include <vector>

#include <wx/string.h>

#include "fast_image.h"
#include "forward_grid.h"
#include "seam_grid.h"
#include "uninitialised_allocator.h"

class wxBitmap;
struct PictureMetadata;
class wxImage;

class DP {
public:
    // fileName: the picture to read; energy: its energy picture when already known (null or not
    // OK: it is computed here).
    explicit DP(const wxString& fileName, const wxFastImage* energy = nullptr);
    // The same from a picture already in memory (must be OK).
    explicit DP(const wxFastImage& picture, const wxFastImage* energy = nullptr);
    ~DP();
    DP(const DP&) = delete;
    DP& operator=(const DP&) = delete;

    // Carve one vertical seam: remove it (width - 1) when remove is true, else duplicate it
    // (width + 1). Returns the seam the next vertical call will carve, one column per row; it
    // stays owned by the engine and is valid until the next call of either kind.
    const int* GetSeam_Vert(bool remove);
    // The same for a horizontal seam (height -/+ 1), one row per column.
    const int* GetSeam_Horz(bool remove);
    // Makes room at once for the picture to grow by duplicated seams to width x height, so that
    // a run of insertions to that size moves its frames only once. Carving is unchanged.
    void MakeRoom(int width, int height);

    // The seam the next call of the direction carves, in the current picture (one column per
    // row, or one row per column). Valid until the next call of any kind.
    const int* PendingSeam(seam::Direction direction);
    // The next `count` seams that calls removing in the direction would carve, each in the
    // current picture's coordinates, found on a copy: this engine is left as it was. Fewer when
    // the dimension runs out.
    std::vector<std::vector<int>> PreviewSeams(seam::Direction direction, int count);

    // Adds each mask pixel's red minus green to the working energy. A mask whose size differs
    // from the picture's current size is refused: nothing changes and false is returned.
    // Clears both directions' pending seams, so the mask acts on the whole table.
    bool ModifyEnergy(wxBitmap* mask);
    bool ModifyEnergy(const wxImage& mask);

    // The energy picture of a colour picture: Sobel magnitude of its greyscale, scaled so the
    // strongest edge is 255, faint values cut to 0, the one-pixel frame 255.
    static wxFastImage buildEnergyImage(const wxFastImage& colour);
    // Writes the working energy as a grey picture (values outside 0..255 wrap), format by
    // extension. Returns false when it could not be written.
    bool SaveEnergyImage(const wxString& fileName);
    // The working energy as a grey picture of the current size (values outside 0..255 wrap).
    wxFastImage EnergyMapPicture() const;
    // The working energy seams are chosen by in the current mode, cols * rows values row-major
    // (in forward mode only what masks added: the pixels' own part is computed as seams are
    // searched). Empty without a picture or after EndCarving.
    std::vector<int> WorkingEnergy();
    // Adds value to the working energy inside the circle of radius r around (x, y).
    void AddEnergyCircleValue(int x, int y, int r, int value);

    // The picture at its current size (cols x rows). Valid until the next carve.
    const wxFastImage& GetColourImage();
    // Ends the carving: keeps the picture at its current size and its metadata and frees what
    // carving needs (the working energy, the tables, the energy picture). Afterwards only
    // GetColourImage, Metadata, cols and rows may be used.
    void EndCarving();
    // What the picture file carried besides its pixels (null for a picture given in memory).
    const PictureMetadata* Metadata() const { return metadata.get(); }
    // The energy picture this engine started from (shared, never changed).
    const wxFastImage& GetEnergyImage() const { return energyImage; }

    // How seams are chosen from now on. Sobel (the default) carves by the working energy above.
    // Forward carves by forward energy (see forward_grid.h), from the current pixels with a
    // working energy of 0, so a mask is applied after the switch. Back to Sobel, the energy is
    // the one carved along when nothing was carved in forward mode, else the current pixels'.
    void SetEnergyMode(seam::EnergyMode mode);
    seam::EnergyMode GetEnergyMode() const
    {
        return forward ? seam::EnergyMode::Forward : seam::EnergyMode::Sobel;
    }

    // Everything carving goes on from: the pixels, the working energy of each way of choosing
    // seams and the energy mode. An engine rebuilt from it (FromSnapshot) carves exactly as a
    // freshly opened engine would from those pixels and that working energy, which is what
    // this engine does as well: pending seams are never part of it.
    struct Snapshot {
        int cols = 0;
        int rows = 0;
        // cols x rows, never changed: shared with the picture as opened while nothing has
        // changed it, else a copy of the carver's pixels.
        wxFastImage pixels;
        // The working energy seams are chosen by in Sobel mode (cols * rows); empty when it is
        // the pixels' own, to be computed from them again (before anything was carved or
        // added, and on the way back from forward mode).
        UninitialisedVector<int> energy;
        bool forward = false;
        UninitialisedVector<int> forwardEnergy;  // the forward mode's working energy (forward only)
        std::shared_ptr<const PictureMetadata> metadata;
        // The memory the snapshot holds.
        size_t Bytes() const;
    };
    // Not for an engine without a picture or after EndCarving (an empty snapshot).
    Snapshot TakeSnapshot();
    // Null for an empty snapshot.
    static std::unique_ptr<DP> FromSnapshot(const Snapshot& snapshot);

    // Threads the engines created from now on may use (1: the calling thread only; 0: as many
    // as help, which is both cores of a two-core machine).
    static void SetThreads(int threads) { sm_threads = threads; }

    int rows = -1;  // current height; -1 when the picture was not read
    int cols = -1;  // current width; -1 when the picture was not read

private:
    DP() = default;
    void Init(const wxFastImage* energy);
    seam::SeamGrid* Grid();
    // True when a carver of the current energy mode is there (building the grid if needed).
    bool Ready();
    void SyncSize();
    // Called before anything changes the pixels or the working energy.
    void LeavePictureAsOpened();
    // Calls f with the carver of the current energy mode.
    template <typename F>
    decltype(auto) WithGrid(F&& f) const
    {
        return forward ? f(*forward) : f(*grid);
    }

    std::shared_ptr<const PictureMetadata> metadata;
    wxFastImage energyImage;
    wxFastImage colourImage;
    std::unique_ptr<seam::SeamGrid> grid;
    std::unique_ptr<seam::ForwardGrid> forward;  // set in forward mode only
    bool forwardCarved = false;                  // grid lags behind forward's pixels
    static int sm_threads;
    bool carvingEnded = false;        // EndCarving has run
    bool colourImageCurrent = false;  // colourImage holds the picture at its current size
    size_t colourCapacity = 0;        // bytes allocated for colourImage's buffer
    // The picture as Init read it (shared, never written) while the engine still carves from
    // exactly its pixels and their own energy: Init computed the energy, and nothing has been
    // carved or added to it since, in Sobel mode. A snapshot then shares it instead of
    // copying. Not OK otherwise.
    wxFastImage pictureAsOpened;
};

#endif
