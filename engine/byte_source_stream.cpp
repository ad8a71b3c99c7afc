// SPDX-License-Identifier: GPL-3.0-or-later
#include "byte_source_stream.h"

#include <algorithm>

#include "stream_seek.h"

size_t ByteSourceStream::OnSysRead(void* buffer, size_t size)
{
    const uint64_t left = at_ < length_ ? length_ - at_ : 0;
    const size_t count = static_cast<size_t>(std::min<uint64_t>(size, left));
    if (count == 0 || !bytes_.Read(offset_ + at_, buffer, count)) {
        m_lasterror = wxSTREAM_EOF;
        return 0;
    }
    at_ += count;
    return count;
}

wxFileOffset ByteSourceStream::OnSysSeek(wxFileOffset pos, wxSeekMode mode)
{
    const wxFileOffset target = SeekTarget(pos, mode, at_, length_);
    if (target != wxInvalidOffset)
        at_ = static_cast<uint64_t>(target);
    return target;
}
