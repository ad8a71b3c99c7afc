// SPDX-License-Identifier: GPL-3.0-or-later
#include "seam_trace.h"

#include <cstring>

#include "dp.h"

SeamTrace::SeamTrace(const DP& dp)
    : rows_(dp.rows), cols_(dp.cols), startCols_(dp.cols),
      origin_(static_cast<size_t>(dp.rows) * dp.cols)
{
    for (size_t i = 0; i < origin_.size(); ++i)
        origin_[i] = static_cast<int>(i);
}

void SeamTrace::BeforeCarve(DP& dp, seam::Direction direction, bool remove)
{
    const int* seam = dp.PendingSeam(direction);
    if (!seam)
        return;
    const bool vertical = direction == seam::Direction::Vertical;
    const int newRows = vertical ? rows_ : rows_ + (remove ? -1 : 1);
    const int newCols = vertical ? cols_ + (remove ? -1 : 1) : cols_;
    std::vector<int> origin(static_cast<size_t>(newRows) * newCols);
    auto at = [this](int row, int col) { return origin_[static_cast<size_t>(row) * cols_ + col]; };
    if (vertical) {
        for (int row = 0; row < rows_; ++row) {
            const int s = seam[row];
            traced_.push_back(at(row, s));
            int* out = &origin[static_cast<size_t>(row) * newCols];
            for (int col = 0; col < cols_; ++col) {
                if (!(remove && col == s))
                    *out++ = at(row, col);
                if (!remove && col == s)
                    *out++ = at(row, col);
            }
        }
    } else {
        for (int col = 0; col < cols_; ++col) {
            const int s = seam[col];
            traced_.push_back(at(s, col));
            int row = 0;
            for (int from = 0; from < rows_; ++from) {
                if (!(remove && from == s))
                    origin[static_cast<size_t>(row++) * newCols + col] = at(from, col);
                if (!remove && from == s)
                    origin[static_cast<size_t>(row++) * newCols + col] = at(from, col);
            }
        }
    }
    rows_ = newRows;
    cols_ = newCols;
    origin_.swap(origin);
}

wxFastImage SeamTrace::Draw(const wxFastImage& start) const
{
    wxFastImage drawn(start.GetWidth(), start.GetHeight(), false);
    const size_t bytes = static_cast<size_t>(start.GetWidth()) * start.GetHeight() * 3;
    std::memcpy(drawn.GetData(), start.GetData(), bytes);
    unsigned char* rgb = drawn.GetData();
    for (int index : traced_)
        MarkSeamPixel(start.GetData() + static_cast<size_t>(index) * 3,
                      rgb + static_cast<size_t>(index) * 3);
    return drawn;
}

void MarkSeamPixel(const unsigned char* pixel, unsigned char* out)
{
    const unsigned char* p = pixel;
    const long toMagenta = (255 - p[0]) * (255 - p[0]) + p[1] * p[1] + (255 - p[2]) * (255 - p[2]);
    const long toGreen = p[0] * p[0] + (255 - p[1]) * (255 - p[1]) + p[2] * p[2];
    const bool green = toMagenta < toGreen;
    out[0] = green ? 0 : 255;
    out[1] = green ? 255 : 0;
    out[2] = green ? 0 : 255;
}
