// Writing a picture so that a failure never leaves a truncated file or damages an existing one.
#ifndef KERV_CLI_SAFE_OUTPUT_H
#define KERV_CLI_SAFE_OUTPUT_H

#include <string>

class wxImage;

// A picture encoded and written to a temporary file beside its destination; Commit() renames it
// into place. A pending file that is never committed is removed.
class PendingPicture {
public:
    explicit PendingPicture(std::string destination) : destination_(std::move(destination)) {}
    ~PendingPicture();
    PendingPicture(const PendingPicture&) = delete;
    PendingPicture& operator=(const PendingPicture&) = delete;

    // Whether the destination's extension names a format that can be written.
    static bool CanWriteFormatOf(const std::string& path);
    // Encodes the picture by the destination's extension and writes it (flushed to disk) to the
    // temporary file. On failure returns false with a reason.
    bool Write(const wxImage& picture, std::string& error);
    // Renames the temporary file over the destination.
    bool Commit(std::string& error);

private:
    std::string destination_;
    std::string temporary_;
    bool committed_ = false;
};

#endif
