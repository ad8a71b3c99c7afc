// SPDX-License-Identifier: GPL-3.0-or-later
// A deliberately plain seam carver to test the engine against: every table a fresh std::vector
// of exactly rows*cols entries, row-major, rebuilt by every carve; the two directions written
// out separately with their own step encodings; no shared code with the engine.
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
    int At(int row, int col) const { return row * cols + col; }
    void FullSearchVert();
    void FullSearchHorz();
    void RelaxVert(int i, int j);
    void RelaxHorz(int y, int x);
    void BackTrackVert();
    void BackTrackHorz();
    void RemoveSeamVert();
    void RemoveSeamHorz();
    void AddSeamVert();
    void AddSeamHorz();

    std::vector<int> costVert, stepVert, seamVert;
    std::vector<int> costHorz, stepHorz, seamHorz;
    bool searchVertValid = false;
    bool searchHorzValid = false;
};

}  // namespace reference

#endif
