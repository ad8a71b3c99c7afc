// SPDX-License-Identifier: GPL-3.0-or-later
// A toolkit input stream over a range of a ByteSource, so that a reader can be handed one part
// of a file (an animated cursor's frame) without a copy of it.
#ifndef KERV_ENGINE_BYTE_SOURCE_STREAM_H
#define KERV_ENGINE_BYTE_SOURCE_STREAM_H

#include <wx/stream.h>

#include "byte_source.h"

class ByteSourceStream : public wxInputStream {
public:
    ByteSourceStream(ByteSource& bytes, uint64_t offset, uint64_t length)
        : bytes_(bytes), offset_(offset), length_(length)
    {
    }
    wxFileOffset GetLength() const override { return static_cast<wxFileOffset>(length_); }
    bool IsSeekable() const override { return true; }

protected:
    size_t OnSysRead(void* buffer, size_t size) override;
    wxFileOffset OnSysSeek(wxFileOffset pos, wxSeekMode mode) override;
    wxFileOffset OnSysTell() const override { return static_cast<wxFileOffset>(at_); }

private:
    ByteSource& bytes_;
    uint64_t offset_;
    uint64_t length_;
    uint64_t at_ = 0;
};

#endif
