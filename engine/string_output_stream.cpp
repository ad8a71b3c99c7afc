// SPDX-License-Identifier: GPL-3.0-or-later
#include "string_output_stream.h"

#include <algorithm>

#include "stream_seek.h"

size_t StringOutputStream::OnSysWrite(const void* buffer, size_t size)
{
    const size_t end = at_ + size;
    if (end > bytes_.size()) {
        // Doubling the capacity keeps the cost of all writes together linear in their size.
        if (end > bytes_.capacity())
            bytes_.reserve(std::max(end, 2 * bytes_.capacity()));
        bytes_.resize(end);
    }
    std::copy_n(static_cast<const char*>(buffer), size, bytes_.begin() + at_);
    at_ = end;
    return size;
}

wxFileOffset StringOutputStream::OnSysSeek(wxFileOffset pos, wxSeekMode mode)
{
    const wxFileOffset target = SeekTarget(pos, mode, at_, bytes_.size());
    if (target != wxInvalidOffset)
        at_ = static_cast<size_t>(target);
    return target;
}
