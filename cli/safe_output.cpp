#include "safe_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <wx/filename.h>
#include <wx/image.h>
#include <wx/wfstream.h>

namespace {

wxImageHandler* HandlerFor(const std::string& path)
{
    const wxString extension = wxFileName(wxString::FromUTF8(path)).GetExt().Lower();
    if (extension.empty())
        return nullptr;
    return wxImage::FindHandler(extension, wxBITMAP_TYPE_ANY);
}

mode_t CurrentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

}  // namespace

PendingPicture::~PendingPicture()
{
    if (!temporary_.empty() && !committed_)
        std::remove(temporary_.c_str());
}

bool PendingPicture::CanWriteFormatOf(const std::string& path)
{
    return HandlerFor(path) != nullptr;
}

bool PendingPicture::Write(const wxImage& picture, std::string& error)
{
    wxImageHandler* handler = HandlerFor(destination_);
    if (!handler) {
        error = "no picture format for the extension of '" + destination_ + "'";
        return false;
    }
    // The temporary name keeps the destination's folder, so the final rename stays on one
    // file system and is atomic.
    const wxFileName target(wxString::FromUTF8(destination_));
    wxString folder = target.GetPath();
    if (folder.empty())
        folder = ".";
    std::string pattern =
        (folder + "/." + target.GetFullName() + ".kerv-XXXXXX").ToStdString(wxConvUTF8);
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        error = "cannot write '" + destination_ + "': " + std::strerror(errno);
        return false;
    }
    temporary_ = pattern;
    // mkstemp creates the file private; give it the permissions a plain new file would get.
    ::fchmod(fd, 0666 & ~CurrentUmask());

    errno = 0;
    wxFileOutputStream file(fd);  // owns and closes fd
    bool written;
    {
        wxBufferedOutputStream buffered(file);
        written = handler->SaveFile(const_cast<wxImage*>(&picture), buffered, false);
        buffered.Sync();
        written = written && buffered.GetLastError() == wxSTREAM_NO_ERROR;
    }
    written = written && file.GetLastError() == wxSTREAM_NO_ERROR && ::fsync(fd) == 0;
    const int writeErrno = errno;
    if (!file.Close() || !written) {
        error = "cannot write '" + destination_ + "': " + (writeErrno ? std::strerror(writeErrno) : "write failed");
        return false;
    }
    return true;
}

bool PendingPicture::Commit(std::string& error)
{
    if (temporary_.empty()) {
        error = "nothing was written for '" + destination_ + "'";
        return false;
    }
    if (std::rename(temporary_.c_str(), destination_.c_str()) != 0) {
        error = "cannot write '" + destination_ + "': " + std::strerror(errno);
        return false;
    }
    committed_ = true;
    return true;
}
