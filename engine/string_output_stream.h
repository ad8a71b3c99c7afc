// SPDX-License-Identifier: GPL-3.0-or-later
// A seekable toolkit output stream into a std::string that grows geometrically. The toolkit's
// memory stream grows its buffer to the exact size of each write, so an encoder writing a tall
// picture row by row copies the whole picture once per row.
#ifndef KERV_ENGINE_STRING_OUTPUT_STREAM_H
#define KERV_ENGINE_STRING_OUTPUT_STREAM_H

#include <string>

#include <wx/stream.h>

class StringOutputStream : public wxOutputStream {
public:
    explicit StringOutputStream(std::string& bytes) : bytes_(bytes) { bytes_.clear(); }
    wxFileOffset GetLength() const override { return static_cast<wxFileOffset>(bytes_.size()); }
    bool IsSeekable() const override { return true; }

protected:
    size_t OnSysWrite(const void* buffer, size_t size) override;
    // Like the toolkit's memory stream, it cannot seek beyond the bytes written so far.
    wxFileOffset OnSysSeek(wxFileOffset pos, wxSeekMode mode) override;
    wxFileOffset OnSysTell() const override { return static_cast<wxFileOffset>(at_); }

private:
    std::string& bytes_;
    size_t at_ = 0;
};

#endif
