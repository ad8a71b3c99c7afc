// SPDX-License-Identifier: GPL-3.0-or-later
#include "dp.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include <wx/bitmap.h>
#include <wx/image.h>

#include "dp_assert.h"
#include "sobel.h"
#include "upright_picture.h"

int DP::sm_threads = 0;

DP::DP(const wxString& fileName, const wxFastImage* energy)
{
    if (!colourImage.LoadFile(fileName, wxBITMAP_TYPE_ANY, -1) || !colourImage.IsOk())
        return;  // rows = cols = -1: no picture
    if (!(metadata = TakeUpright(fileName, colourImage)))
        return;
    Init(energy);
}

DP::DP(const wxFastImage& picture, const wxFastImage* energy) : colourImage(picture)
{
    if (colourImage.IsOk())
        Init(energy);
}

DP::~DP() = default;

void DP::Init(const wxFastImage* energy)
{
    const int width = colourImage.GetWidth();
    const int height = colourImage.GetHeight();
    // An energy picture of another size belongs to another picture: never read past it.
    const bool energyFits =
        energy && energy->IsOk() && energy->GetWidth() == width && energy->GetHeight() == height;
    energyImage = energyFits ? *energy : buildEnergyImage(colourImage);
    if (!energyFits)
        pictureAsOpened = colourImage;  // no copy: the data is shared, never written
    cols = width;
    rows = height;
    colourImageCurrent = true;
    colourCapacity = static_cast<size_t>(width) * height * 3;
}

// The grid is built at its first use, so that a picture that is only read and written never
// holds it. It then holds the pixels, and the picture as read is let go: the colour picture is
// rebuilt from the grid when asked for.
seam::SeamGrid* DP::Grid()
{
    if (grid || carvingEnded || !colourImage.IsOk() || !energyImage.IsOk())
        return grid.get();
    const int threads = sm_threads > 0 ? sm_threads : seam::Workers::DefaultThreads();
    grid = std::make_unique<seam::SeamGrid>(colourImage.GetData(), energyImage.GetData(), 3, cols,
                                            rows, threads);
    if (auto* placeholder = static_cast<unsigned char*>(std::malloc(3))) {
        colourImage.SetData(placeholder, 1, 1, false);  // keeps the mask colour
        colourCapacity = 3;
        colourImageCurrent = false;
    } else {
        // The colour picture keeps the data and may write it in place later: not to be shared.
        LeavePictureAsOpened();
    }
    return grid.get();
}

bool DP::Ready()
{
    return forward || Grid();
}

void DP::EndCarving()
{
    // In this order the colour picture is made while the energy picture is gone already.
    energyImage = wxFastImage();
    GetColourImage();
    LeavePictureAsOpened();
    grid.reset();
    forward.reset();
    carvingEnded = true;
}

const int* DP::GetSeam_Vert(bool remove)
{
    DP_ASSERT(Ready());
    if (!Ready())
        return nullptr;
    LeavePictureAsOpened();
    const int* next = WithGrid([&](auto& g) { return g.Carve(seam::Direction::Vertical, remove); });
    SyncSize();
    return next;
}

const int* DP::GetSeam_Horz(bool remove)
{
    DP_ASSERT(Ready());
    if (!Ready())
        return nullptr;
    LeavePictureAsOpened();
    const int* next =
        WithGrid([&](auto& g) { return g.Carve(seam::Direction::Horizontal, remove); });
    SyncSize();
    return next;
}

void DP::MakeRoom(int width, int height)
{
    if (forward || !Grid())
        return;
    // Carving follows at once; the picture as opened is let go before the frames grow.
    LeavePictureAsOpened();
    grid->MakeRoom(width, height);
}

const int* DP::PendingSeam(seam::Direction direction)
{
    DP_ASSERT(Ready());
    if (!Ready())
        return nullptr;
    return WithGrid([&](auto& g) { return g.PendingSeam(direction); });
}

std::vector<std::vector<int>> DP::PreviewSeams(seam::Direction direction, int count)
{
    std::vector<std::vector<int>> seams;
    if (!Ready())
        return seams;
    const bool vertical = direction == seam::Direction::Vertical;
    const int lanes = vertical ? rows : cols;
    const int positions = vertical ? cols : rows;
    // original[lane][p]: the current picture's position of the copy's position p.
    std::vector<std::vector<int>> original(lanes, std::vector<int>(positions));
    for (std::vector<int>& lane : original) {
        for (int p = 0; p < positions; ++p)
            lane[p] = p;
    }
    WithGrid([&](auto& g) {
        auto copy = g;
        for (int n = 0; n < count && n < positions; ++n) {
            const int* seam = copy.PendingSeam(direction);
            std::vector<int>& mapped = seams.emplace_back(lanes);
            for (int lane = 0; lane < lanes; ++lane) {
                mapped[lane] = original[lane][seam[lane]];
                original[lane].erase(original[lane].begin() + seam[lane]);
            }
            if (n + 1 < count && n + 1 < positions)
                copy.Carve(direction, true);
        }
    });
    return seams;
}

void DP::SyncSize()
{
    cols = WithGrid([](auto& g) { return g.Width(); });
    rows = WithGrid([](auto& g) { return g.Height(); });
    colourImageCurrent = false;
    forwardCarved = forwardCarved || forward;
}

void DP::LeavePictureAsOpened()
{
    pictureAsOpened = wxFastImage();
}

void DP::SetEnergyMode(seam::EnergyMode mode)
{
    if (cols < 0 || carvingEnded || mode == GetEnergyMode())
        return;
    LeavePictureAsOpened();
    if (mode == seam::EnergyMode::Forward) {
        forward = std::make_unique<seam::ForwardGrid>(GetColourImage().GetData(), cols, rows);
        return;
    }
    if (forwardCarved) {
        const wxFastImage& picture = GetColourImage();
        const wxFastImage energyPicture = buildEnergyImage(picture);
        const size_t pixels = static_cast<size_t>(cols) * rows;
        std::vector<int> energyMap(pixels);
        for (size_t i = 0; i < pixels; ++i)
            energyMap[i] = energyPicture.GetData()[i * 3];
        const int threads = sm_threads > 0 ? sm_threads : seam::Workers::DefaultThreads();
        grid = std::make_unique<seam::SeamGrid>(picture.GetData(), energyMap.data(), cols, rows,
                                                threads);
    }
    forward.reset();
    forwardCarved = false;
}

size_t DP::Snapshot::Bytes() const
{
    const size_t pixelBytes =
        pixels.IsOk() ? static_cast<size_t>(pixels.GetWidth()) * pixels.GetHeight() * 3 : 0;
    return pixelBytes + (energy.size() + forwardEnergy.size()) * sizeof(int);
}

DP::Snapshot DP::TakeSnapshot()
{
    Snapshot snapshot;
    if (cols < 1 || rows < 1 || carvingEnded || !Ready())
        return snapshot;
    const size_t pixels = static_cast<size_t>(cols) * rows;
    snapshot.cols = cols;
    snapshot.rows = rows;
    snapshot.metadata = metadata;
    if (pictureAsOpened.IsOk()) {
        snapshot.pixels = pictureAsOpened;  // and the energy is the pixels' own
        return snapshot;
    }
    snapshot.pixels = wxFastImage(cols, rows, false);
    if (!snapshot.pixels.IsOk())
        throw std::bad_alloc();
    // Straight from the carver: a colour picture built first would be one more copy.
    if (colourImageCurrent)
        std::memcpy(snapshot.pixels.GetData(), colourImage.GetData(), pixels * 3);
    else
        WithGrid([&](auto& g) { g.CopyPixels(snapshot.pixels.GetData()); });
    if (!forwardCarved) {
        snapshot.energy.resize(pixels);
        if (grid) {
            grid->CopyEnergy(snapshot.energy.data());
        } else {
            // Forward mode before its first carve, with the grid never built: the energy
            // picture is still the working energy.
            const unsigned char* grey = energyImage.GetData();
            for (size_t i = 0; i < pixels; ++i)
                snapshot.energy[i] = grey[i * 3];
        }
    }
    if (forward) {
        snapshot.forward = true;
        snapshot.forwardEnergy.resize(pixels);
        forward->CopyEnergy(snapshot.forwardEnergy.data());
    }
    return snapshot;
}

std::unique_ptr<DP> DP::FromSnapshot(const Snapshot& snapshot)
{
    const size_t pixels = static_cast<size_t>(snapshot.cols) * snapshot.rows;
    if (snapshot.cols < 1 || snapshot.rows < 1 || !snapshot.pixels.IsOk() ||
        snapshot.pixels.GetWidth() != snapshot.cols || snapshot.pixels.GetHeight() != snapshot.rows)
        return nullptr;
    std::unique_ptr<DP> dp(new DP());
    dp->cols = snapshot.cols;
    dp->rows = snapshot.rows;
    dp->metadata = snapshot.metadata;
    const int threads = sm_threads > 0 ? sm_threads : seam::Workers::DefaultThreads();
    const unsigned char* rgb = snapshot.pixels.GetData();
    if (snapshot.energy.size() == pixels) {
        dp->grid = std::make_unique<seam::SeamGrid>(rgb, snapshot.energy.data(), dp->cols, dp->rows,
                                                    threads);
    } else if (!snapshot.forward) {
        // No working energy to go on from: the pixels' own, as a fresh engine computes it.
        const wxFastImage energyPicture = buildEnergyImage(snapshot.pixels);
        dp->grid = std::make_unique<seam::SeamGrid>(rgb, energyPicture.GetData(), 3, dp->cols,
                                                    dp->rows, threads);
        dp->pictureAsOpened = snapshot.pixels;
    }
    if (snapshot.forward) {
        dp->forward = std::make_unique<seam::ForwardGrid>(rgb, dp->cols, dp->rows);
        if (snapshot.forwardEnergy.size() == pixels)
            dp->forward->AddEnergy(snapshot.forwardEnergy.data());
        dp->forwardCarved = !dp->grid;
    }
    // The grids hold the pixels; the colour picture is made from them when asked for.
    if (auto* placeholder = static_cast<unsigned char*>(std::malloc(3))) {
        dp->colourImage.SetData(placeholder, 1, 1, false);
        dp->colourCapacity = 3;
    }
    dp->colourImageCurrent = false;
    return dp;
}

const wxFastImage& DP::GetColourImage()
{
    if (colourImageCurrent || (!grid && !forward))
        return colourImage;
    const size_t bytes = static_cast<size_t>(cols) * rows * 3;
    // Shrinking reuses the buffer in place; growing (or dropping a loaded alpha channel) installs
    // a new one, which other holders of the old data do not see.
    if (bytes <= colourCapacity && !colourImage.GetAlpha()) {
        WithGrid([&](auto& g) { g.CopyPixels(colourImage.GetData()); });
        colourImage.SetNewSize(cols, rows);
    } else {
        auto* buffer = static_cast<unsigned char*>(std::malloc(bytes));
        WithGrid([&](auto& g) { g.CopyPixels(buffer); });
        colourImage.SetData(buffer, cols, rows, false);
        colourCapacity = bytes;
    }
    colourImageCurrent = true;
    return colourImage;
}

bool DP::ModifyEnergy(wxBitmap* mask)
{
    if (!Ready() || !mask || !mask->IsOk() || mask->GetWidth() != cols || mask->GetHeight() != rows)
        return false;
    mask->SetMask(nullptr);
    return ModifyEnergy(mask->ConvertToImage());
}

bool DP::ModifyEnergy(const wxImage& mask)
{
    if (!Ready() || !mask.IsOk() || mask.GetWidth() != cols || mask.GetHeight() != rows)
        return false;
    LeavePictureAsOpened();
    const size_t pixels = static_cast<size_t>(cols) * rows;
    std::vector<int> delta(pixels);
    const unsigned char* rgb = mask.GetData();
    for (size_t i = 0; i < pixels; ++i)
        delta[i] = rgb[i * 3] - rgb[i * 3 + 1];
    WithGrid([&](auto& g) {
        g.AddEnergy(delta.data());
        g.DiscardPendingSeams();
    });
    return true;
}

wxFastImage DP::buildEnergyImage(const wxFastImage& colour)
{
    wxFastImage energyPicture;
    if (!colour.IsOk())
        return energyPicture;
    const int width = colour.GetWidth();
    const int height = colour.GetHeight();
    const size_t pixels = static_cast<size_t>(width) * height;

    const std::vector<unsigned char> grey = colour.GreyLevels(0.299, 0.587, 0.114);
    int* gradient = Sobel(grey.data(), height, width);
    if (!gradient)
        return energyPicture;
    RaiseEnergyFrame(gradient, width, height);

    auto* buffer = static_cast<unsigned char*>(std::malloc(pixels * 3));
    if (buffer) {
        for (size_t i = 0; i < pixels; ++i)
            buffer[i * 3] = buffer[i * 3 + 1] = buffer[i * 3 + 2] =
                static_cast<unsigned char>(gradient[i]);
        energyPicture.SetData(buffer, width, height, false);
    }
    std::free(gradient);
    return energyPicture;
}

wxFastImage DP::EnergyMapPicture() const
{
    wxFastImage dump;
    if (!grid && !forward) {  // nothing has changed the energy picture yet
        if (!energyImage.IsOk())
            return dump;
        const size_t bytes = static_cast<size_t>(cols) * rows * 3;
        auto* copy = static_cast<unsigned char*>(std::malloc(bytes));
        if (copy) {
            std::memcpy(copy, energyImage.GetData(), bytes);
            dump.SetData(copy, cols, rows, false);
        }
        return dump;
    }
    const size_t pixels = static_cast<size_t>(cols) * rows;
    std::vector<int> energyMap(pixels);
    WithGrid([&](auto& g) { g.CopyEnergy(energyMap.data()); });
    auto* buffer = static_cast<unsigned char*>(std::malloc(pixels * 3));
    if (!buffer)
        return dump;
    for (size_t i = 0; i < pixels; ++i)
        buffer[i * 3] = buffer[i * 3 + 1] = buffer[i * 3 + 2] =
            static_cast<unsigned char>(energyMap[i]);  // wraps outside 0..255
    dump.SetData(buffer, cols, rows, false);
    return dump;
}

std::vector<int> DP::WorkingEnergy()
{
    std::vector<int> energy;
    if (cols < 1 || rows < 1 || carvingEnded || !Ready())
        return energy;
    energy.resize(static_cast<size_t>(cols) * rows);
    WithGrid([&](auto& g) { g.CopyEnergy(energy.data()); });
    return energy;
}

bool DP::SaveEnergyImage(const wxString& fileName)
{
    const wxFastImage dump = EnergyMapPicture();
    return dump.IsOk() && dump.SaveFile(fileName);
}

void DP::AddEnergyCircleValue(int x, int y, int r, int value)
{
    if (r <= 0 || !Ready())
        return;
    LeavePictureAsOpened();
    // 64-bit, so that no centre or radius overflows; only cells of the picture are visited.
    const long long cx = x, cy = y, radius = r;
    const long long top = std::max(0LL, cy - radius),
                    bottom = std::min<long long>(rows, cy + radius);
    const long long left = std::max(0LL, cx - radius),
                    right = std::min<long long>(cols, cx + radius);
    for (long long row = top; row < bottom; ++row) {
        for (long long col = left; col < right; ++col) {
            const long long dx = col - cx;
            const long long dy = row - cy;
            if (dx * dx + dy * dy < radius * radius)
                WithGrid([&](auto& g) {
                    g.AddEnergyAt(static_cast<int>(col), static_cast<int>(row), value);
                });
        }
    }
}
