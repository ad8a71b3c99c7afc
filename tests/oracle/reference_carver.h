// SPDX-License-Identifier: GPL-3.0-or-later
// A deliberately plain seam carver to test the engine against: every table a fresh std::vector
// of exactly rows*cols entries, row-major, rebuilt by every carve; a horizontal seam is a
// vertical one of the transposed picture; no shared code with the engine.
#ifndef KERV_TESTS_REFERENCE_CARVER_H
#define KERV_TESTS_REFERENCE_CARVER_H

#include <cstdint>
#include <vector>

namespace reference {

// Energy of an RGB picture: greyscale (0.299, 0.587, 0.114, rounded), Sobel magnitude scaled to
// a maximum of 255 with values of 4 or less cut to 0, frame 255.
std::vector<int> Energy(const std::vector<std::uint8_t>& rgb, int width, int height);

class Carver {
public:
    Carver(std::vector<std::uint8_t> rgb, int width, int height);
    Carver(std::vector<std::uint8_t> rgb, std::vector<int> energy, int width, int height);

    // One call of the engine's GetSeam_Vert / GetSeam_Horz; returns the next pending seam.
    std::vector<int> SeamVert(bool remove);
    std::vector<int> SeamHorz(bool remove);
    // Adds a mask (red - green per pixel) and forgets both pending seams.
    void AddEnergy(const std::vector<int>& delta);
    // Adds to the energy inside a circle, leaving the tables and pending seams as they are.
    void AddEnergyCircle(int x, int y, int r, int value);

    int rows;
    int cols;
    std::vector<std::uint8_t> pixels;  // rows*cols*3
    std::vector<int> energyMap;        // rows*cols

private:
    // The search of one direction, in the frame where its seams run from top to bottom (the
    // transposed picture for horizontal seams): costs, the step to each cell's predecessor
    // (-1, 0, +1 columns) and the pending seam, one column a row.
    struct Search {
        std::vector<int> cost, step, seam;
        bool valid = false;
    };

    int At(int row, int col) const { return row * cols + col; }
    void Transpose();
    std::vector<int> Carve(Search& search, bool remove, bool horizontal);
    void FullSearch(Search& search);
    void Relax(Search& search, int i, int j);
    void BackTrack(Search& search);
    void RemoveSeam(Search& search, bool horizontal);
    void AddSeam(Search& search, bool horizontal);
    void Rebuild(Search& search, int change);  // change: -1 removes the seam, +1 inserts one

    Search vert, horz;
};

}  // namespace reference

#endif
