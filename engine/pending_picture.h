// SPDX-License-Identifier: GPL-3.0-or-later
// Writing a picture so that a failure never leaves a truncated file or damages an existing one,
// keeping what the source file carried besides its pixels.
#ifndef KERV_ENGINE_PENDING_PICTURE_H
#define KERV_ENGINE_PENDING_PICTURE_H

#include <functional>
#include <string>
#include <vector>

#include <wx/buffer.h>
#include <wx/image.h>
#include <wx/string.h>

struct PictureMetadata;

// Why a picture could not be written.
struct WriteProblem {
    enum Kind {
        kNone,
        kNoFormat,        // no handler for the extension
        kReadOnlyFormat,  // a format that is read but never written (gif, ani, iff)
        kGreyFormat,      // .pgm/.pbm: the encoder would write a colour PPM under that name
        kEncoder,         // the encoder failed; detail holds its message when it gave one
        kSystem,          // a system call failed; systemError holds its errno
    };
    Kind kind = kNone;
    int systemError = 0;
    std::string detail;

    explicit operator bool() const { return kind != kNone; }
};

// How a picture is encoded: the source's metadata (null for none) and the JPEG quality.
struct SaveSettings {
    const PictureMetadata* metadata = nullptr;
    int quality = 0;  // 1..100 as the user asked; 0: the source JPEG's quality, else 92
};

// A picture encoded in memory, ready to be written anywhere.
struct EncodedPicture {
    std::string bytes;
    std::string warning;  // what of the source's metadata could not be kept, or empty
};

// Whether pictures can be written in the format of this extension (kNone when they can).
WriteProblem CheckWritableFormat(const wxString& extension);
// The JPEG quality the settings give.
int JpegQualityFor(const SaveSettings& settings);
// Encodes picture in the format of extension, with the settings' quality, resolution and
// metadata.
// The options are set on picture itself, so a view sharing its pixels is never copied.
WriteProblem EncodePicture(wxImage& picture, const wxString& extension,
                           const SaveSettings& settings, EncodedPicture& encoded);

// A picture encoded by its destination's extension and written, flushed to disk, to a
// temporary file in the destination's folder; Commit() renames it over the destination in one
// step. The file gets the permissions of the file it replaces, or those of a plain new file.
// A pending file that is never committed is removed.
class PendingPicture {
public:
    explicit PendingPicture(const wxString& destination) : destination_(destination) {}
    ~PendingPicture();
    PendingPicture(const PendingPicture&) = delete;
    PendingPicture& operator=(const PendingPicture&) = delete;

    // Whether the extension of path names a format that can be written.
    static WriteProblem CheckFormatOf(const wxString& path);

    WriteProblem Write(wxImage picture, const SaveSettings& settings = {});
    // What of the source's metadata the written picture lost (empty when nothing).
    const std::string& Warning() const { return warning_; }
    WriteProblem Commit();

    // Commits every pending picture, then runs finish (when given), or does none of it: when a
    // rename or finish fails, the destinations renamed before get back what they held (or
    // disappear when they were new).
    static WriteProblem CommitAll(const std::vector<PendingPicture*>& pictures,
                                  const std::function<WriteProblem()>& finish = {});

private:
    bool KeepBackup();
    void Restore();
    void DropBackup();

    wxString destination_;
    wxCharBuffer temporary_;
    wxCharBuffer backup_;  // a hard link to the replaced destination, during CommitAll
    std::string warning_;
    bool committed_ = false;
};

#endif
