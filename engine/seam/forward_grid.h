// SPDX-License-Identifier: GPL-3.0-or-later
// ForwardGrid: a picture carved by forward energy (Rubinstein, Shamir and Avidan, "Improved seam
// carving for video retargeting", 2008). A seam's cost is the sum of the jumps in intensity its
// removal creates between pixels that become neighbours, plus each of its pixels' working energy,
// which holds only what was added to it (a mask's red minus green, the raise of a duplicated
// seam). Every seam is found by a search over the whole picture.
//
// For a vertical seam, with I the intensity and columns outside the picture clamped to its edge:
//   CU(i, j) = |I(i, j+1) - I(i, j-1)|
//   CL(i, j) = CU(i, j) + |I(i-1, j) - I(i, j-1)|
//   CR(i, j) = CU(i, j) + |I(i-1, j) - I(i, j+1)|
//   M(0, j)  = E(0, j) + CU(0, j)
//   M(i, j)  = E(i, j) + the value taken from L = M(i-1, j-1) + CL (j > 0),
//              U = M(i-1, j) + CU and R = M(i-1, j+1) + CR (j < cols-1)
// with the ties of SeamGrid's recurrence (straight first, then the lower position), and the
// seam extracted as there. A horizontal seam is the same with rows and columns exchanged.
// Intensity: (299 R + 587 G + 114 B + 500) / 1000.
//
// Removing and duplicating a seam change the pixels and the energy exactly as SeamGrid does
// (a horizontal removal blends the seam's neighbours; a duplication raises the seam to 255).
#ifndef KERV_SEAM_FORWARD_GRID_H
#define KERV_SEAM_FORWARD_GRID_H

#include <cstdint>
#include <vector>

#include "seam_grid.h"

namespace seam {

enum class EnergyMode { Sobel, Forward };

class ForwardGrid {
public:
    // rgb: width*height*3 bytes, row-major without padding; the working energy starts at 0.
    ForwardGrid(const unsigned char* rgb, int width, int height);

    int Width() const { return cols_; }
    int Height() const { return rows_; }

    // As SeamGrid::Carve: carves the pending seam of the direction (searching first when none
    // is pending) and returns the next one, valid until the next call.
    const int* Carve(Direction direction, bool remove);
    void DiscardPendingSeams() { pending_ = Pending::None; }
    // As SeamGrid::PendingSeam.
    const int* PendingSeam(Direction direction);

    void AddEnergy(const int* delta);
    void AddEnergyAt(int x, int y, int value);
    void CopyPixels(unsigned char* out) const;
    void CopyEnergy(int* out) const;

private:
    enum class Pending { None, Vertical, Horizontal };

    size_t At(int row, int col) const { return static_cast<size_t>(row) * cols_ + col; }
    int Grey(int row, int col) const { return grey_[At(row, col)]; }
    void UpdateGrey(int row, int col);
    void Search(Direction direction);
    void RemoveVertical();
    void RemoveHorizontal();
    void InsertVertical();
    void InsertHorizontal();

    int rows_;
    int cols_;
    std::vector<unsigned char> rgb_;
    std::vector<int> energy_;
    std::vector<int> grey_;  // intensity of each pixel, kept with the pixels
    std::vector<long long> cost_;
    std::vector<signed char> step_;
    std::vector<int> seam_;
    Pending pending_ = Pending::None;
};

}  // namespace seam

#endif
