// SPDX-License-Identifier: GPL-3.0-or-later
// A deliberately plain forward-energy carver to test the engine's forward mode against: every
// call recomputes the intensities from the pixels and searches the whole picture twice (the
// seam it carves, then the next one); a horizontal seam is a vertical one of the transposed
// picture.
#ifndef KERV_TESTS_FORWARD_REFERENCE_H
#define KERV_TESTS_FORWARD_REFERENCE_H

#include <cstdint>
#include <vector>

namespace reference {

class ForwardCarver {
public:
    ForwardCarver(std::vector<std::uint8_t> rgb, int width, int height);

    // One call of the engine's GetSeam_Vert / GetSeam_Horz in forward mode; returns the next seam.
    std::vector<int> SeamVert(bool remove);
    std::vector<int> SeamHorz(bool remove);
    // Adds a mask (red - green per pixel) to the energy.
    void AddEnergy(const std::vector<int>& delta);

    int rows;
    int cols;
    std::vector<std::uint8_t> pixels;  // rows*cols*3
    std::vector<int> energyMap;        // rows*cols, starts at 0

private:
    int Grey(int row, int col) const;
    // The next seam from top to bottom: one column a row.
    std::vector<int> Find() const;
    void Transpose();
    std::vector<int> Carve(bool remove, bool horizontal);
};

}  // namespace reference

#endif
