// SPDX-License-Identifier: GPL-3.0-or-later
#include "pending_picture.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <wx/filename.h>
#include <wx/image.h>
#include <wx/log.h>
#include <wx/wfstream.h>

namespace {

wxImageHandler* HandlerFor(const wxString& path)
{
    const wxString extension = wxFileName(path).GetExt().Lower();
    return extension.empty() ? nullptr : wxImage::FindHandler(extension, wxBITMAP_TYPE_ANY);
}

// The permissions the written file gets: those of the file it replaces, or those of a plain
// new file.
mode_t PermissionsFor(const wxString& destination)
{
    struct stat existing;
    if (::stat(destination.fn_str(), &existing) == 0)
        return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

WriteProblem SystemProblem(int code)
{
    return {WriteProblem::kSystem, code};
}

}  // namespace

PendingPicture::~PendingPicture()
{
    if (temporary_.length() > 0 && !committed_)
        std::remove(temporary_.data());
}

bool PendingPicture::CanWriteFormatOf(const wxString& path)
{
    return HandlerFor(path) != nullptr;
}

WriteProblem PendingPicture::Write(const wxImage& picture)
{
    wxImageHandler* handler = HandlerFor(destination_);
    if (!handler)
        return {WriteProblem::kNoFormat, 0};

    // The temporary file lies in the destination's folder, so the rename stays on one file
    // system and replaces the destination in one step.
    const wxFileName target(destination_);
    wxString folder = target.GetPath();
    if (folder.empty())
        folder = ".";
    wxCharBuffer temporary =
        wxString(folder + "/." + target.GetFullName() + ".kerv-XXXXXX").fn_str();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return SystemProblem(errno);
    temporary_ = temporary;
    ::fchmod(fd, PermissionsFor(destination_));

    bool written;
    int writeError = 0;
    wxFileOutputStream file(fd);  // closes fd
    {
        // The encoder's own log messages would only repeat the one report the caller makes.
        wxLogNull quiet;
        wxBufferedOutputStream buffered(file);
        errno = 0;
        written = handler->SaveFile(const_cast<wxImage*>(&picture), buffered, false);
        buffered.Sync();
        written = written && buffered.GetLastError() == wxSTREAM_NO_ERROR &&
                  file.GetLastError() == wxSTREAM_NO_ERROR;
        writeError = errno;
    }
    if (written && ::fsync(fd) != 0) {
        written = false;
        writeError = errno;
    }
    if (!file.Close() && written) {
        written = false;
        writeError = errno;
    }
    return written ? WriteProblem{} : SystemProblem(writeError);
}

WriteProblem PendingPicture::Commit()
{
    if (temporary_.length() == 0)
        return SystemProblem(0);
    if (std::rename(temporary_.data(), destination_.fn_str()) != 0)
        return SystemProblem(errno);
    committed_ = true;
    return {};
}
