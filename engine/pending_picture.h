// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a picture so that a failure never leaves a truncated file or damages an existing one.
#ifndef KERV_ENGINE_PENDING_PICTURE_H
#define KERV_ENGINE_PENDING_PICTURE_H

#include <wx/string.h>

class wxImage;

// Why a picture could not be written.
struct WriteProblem {
    enum Kind { kNone, kNoFormat, kSystem };
    Kind kind = kNone;
    int systemError = 0;  // the errno for kSystem; 0 when the encoder failed without one

    explicit operator bool() const { return kind != kNone; }
};

// A picture encoded by its destination's extension (the toolkit's registered handlers) and
// written, flushed to disk, to a temporary file in the destination's folder; Commit() renames
// it over the destination in one step. The file gets the permissions of the file it replaces,
// or those of a plain new file. A pending file that is never committed is removed.
class PendingPicture {
public:
    explicit PendingPicture(const wxString& destination) : destination_(destination) {}
    ~PendingPicture();
    PendingPicture(const PendingPicture&) = delete;
    PendingPicture& operator=(const PendingPicture&) = delete;

    // Whether the extension of path names a format that can be written.
    static bool CanWriteFormatOf(const wxString& path);

    WriteProblem Write(const wxImage& picture);
    WriteProblem Commit();

private:
    wxString destination_;
    wxCharBuffer temporary_;
    bool committed_ = false;
};

#endif
