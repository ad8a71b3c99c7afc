// SPDX-License-Identifier: GPL-3.0-or-later
// The cell moves the carves share: averaging two cells into a new one, and opening a cell in a
// lane that lies in a room of its own.
#ifndef KERV_SEAM_CELL_MOVES_H
#define KERV_SEAM_CELL_MOVES_H

#include <cstdint>
#include <cstring>

#include "relax.h"

namespace seam {

// The sum wraps like every cost sum (see WrappingAdd), then truncates toward zero.
inline int Average(int a, int b)
{
    return WrappingAdd(a, b) / 2;
}

// Each channel (a + b) >> 1.
inline std::uint32_t AverageRgb(std::uint32_t a, std::uint32_t b)
{
    return ((a >> 1) & 0x7F7F7F) + ((b >> 1) & 0x7F7F7F) + (a & b & 0x010101);
}

// Opening a cell after position s of a lane moves the cells up to s one back (the lane then
// starts one earlier; it needs room before it) or the cells after s one on (it needs room
// after it).
inline bool InsertionMovesFront(int s, int n, int start, int capacity)
{
    const bool roomBefore = start > 0;
    const bool roomAfter = start + n + 1 <= capacity;
    return roomBefore && (!roomAfter || s + 1 < n - 1 - s);
}

// Before opening a cell after position s in a lane of n cells that starts `start` cells into
// its storage (capacity cells; lanes point at the storage's first cell): when the shorter side
// has no room to move into and the lane has room enough on the other side, the lane first moves
// to the middle of its room, so that a run of insertions on one side keeps moving the shorter
// side rather than the longer one. Returns the lane's start.
template <typename... T>
int CentreForInsertion(int s, int n, int start, int capacity, T*... lanes)
{
    constexpr int kLeastRoom = 16;  // less room is not worth a move of the whole lane
    const bool frontShorter = s + 1 < n - 1 - s;
    const bool blocked = frontShorter ? start == 0 : start + n + 1 > capacity;
    if (!blocked || capacity - n < kLeastRoom)
        return start;
    const int centre = (capacity - n) / 2;
    (std::memmove(lanes + centre, lanes + start, static_cast<size_t>(n) * sizeof(T)), ...);
    return centre;
}

template <typename T>
void OpenGap(T* lane, int s, int n, bool front)
{
    if (front)
        std::memmove(lane - 1, lane, static_cast<size_t>(s + 1) * sizeof(T));
    else
        std::memmove(lane + s + 2, lane + s + 1, static_cast<size_t>(n - 1 - s) * sizeof(T));
}

}  // namespace seam

#endif
