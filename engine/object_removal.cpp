// SPDX-License-Identifier: GPL-3.0-or-later
#include "object_removal.h"

#include <algorithm>

#include <wx/image.h>

#include "dp.h"
#include "seam_trace.h"

ObjectRemoval::ObjectRemoval(DP& dp, const wxImage& mask) : dp_(dp)
{
    if (!mask.IsOk() || mask.GetWidth() != dp.cols || mask.GetHeight() != dp.rows)
        return;
    rows_ = dp.rows;
    cols_ = dp.cols;
    marked_.assign(static_cast<size_t>(rows_) * cols_, 0);
    int left = cols_, right = -1, top = rows_, bottom = -1;
    const unsigned char* rgb = mask.GetData();
    for (int y = 0; y < rows_; ++y) {
        for (int x = 0; x < cols_; ++x) {
            const size_t i = static_cast<size_t>(y) * cols_ + x;
            if (rgb[i * 3 + 1] <= rgb[i * 3])
                continue;
            marked_[i] = 1;
            ++remaining_;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (remaining_ == 0)
        return;
    direction_ =
        right - left <= bottom - top ? seam::Direction::Vertical : seam::Direction::Horizontal;
    dp.ModifyEnergy(mask);
}

int ObjectRemoval::Expected() const
{
    if (!removing_)
        return removed_ * 2;
    // The marked extent left across the direction bounds the removals still needed from below.
    const bool vertical = direction_ == seam::Direction::Vertical;
    int lo = vertical ? cols_ : rows_, hi = -1;
    for (int y = 0; y < rows_; ++y) {
        for (int x = 0; x < cols_; ++x) {
            if (marked_[static_cast<size_t>(y) * cols_ + x]) {
                lo = std::min(lo, vertical ? x : y);
                hi = std::max(hi, vertical ? x : y);
            }
        }
    }
    const int left = hi < lo ? 0 : hi - lo + 1;
    return 2 * (removed_ + left);
}

bool ObjectRemoval::Step(SeamTrace* trace)
{
    const bool vertical = direction_ == seam::Direction::Vertical;
    if (removing_ && (remaining_ == 0 || (vertical ? dp_.cols : dp_.rows) <= 1))
        removing_ = false;
    if (!removing_ && duplicated_ >= removed_)
        return false;
    if (trace)
        trace->BeforeCarve(dp_, direction_, removing_);
    if (removing_) {
        // The marked pixels follow the picture: the seam's pixels leave it.
        const int* seam = dp_.PendingSeam(direction_);
        std::vector<unsigned char> marked;
        marked.reserve(marked_.size());
        for (int y = 0; y < rows_; ++y) {
            for (int x = 0; x < cols_; ++x) {
                const unsigned char m = marked_[static_cast<size_t>(y) * cols_ + x];
                if (vertical ? seam[y] == x : seam[x] == y)
                    remaining_ -= m;
                else if (vertical)
                    marked.push_back(m);
            }
        }
        if (!vertical) {  // row-major again with the seam's row left out of each column
            marked.assign(static_cast<size_t>(rows_ - 1) * cols_, 0);
            for (int x = 0; x < cols_; ++x) {
                for (int y = 0, to = 0; y < rows_; ++y) {
                    if (y != seam[x])
                        marked[static_cast<size_t>(to++) * cols_ + x] =
                            marked_[static_cast<size_t>(y) * cols_ + x];
                }
            }
        }
        marked_.swap(marked);
        (vertical ? cols_ : rows_) -= 1;
        vertical ? dp_.GetSeam_Vert(true) : dp_.GetSeam_Horz(true);
        ++removed_;
    } else {
        vertical ? dp_.GetSeam_Vert(false) : dp_.GetSeam_Horz(false);
        ++duplicated_;
    }
    return true;
}
