// SPDX-License-Identifier: GPL-3.0-or-later
// The seek rule shared by our toolkit streams: the target is counted from the start, the current
// position or the end, and must lie within 0..length.
#ifndef KERV_ENGINE_STREAM_SEEK_H
#define KERV_ENGINE_STREAM_SEEK_H

#include <cstdint>

#include <wx/stream.h>

inline wxFileOffset SeekTarget(wxFileOffset pos, wxSeekMode mode, uint64_t at, uint64_t length)
{
    wxFileOffset target = pos;
    if (mode == wxFromCurrent)
        target += static_cast<wxFileOffset>(at);
    else if (mode == wxFromEnd)
        target += static_cast<wxFileOffset>(length);
    if (target < 0 || static_cast<uint64_t>(target) > length)
        return wxInvalidOffset;
    return target;
}

#endif
