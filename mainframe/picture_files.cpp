#include "picture_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <wx/filename.h>
#include <wx/image.h>
#include <wx/intl.h>
#include <wx/log.h>
#include <wx/wfstream.h>

wxString DefaultSaveName(const wxString& path)
{
    wxFileName name(path);
    name.SetName(name.GetName() + "_kerv");
    return name.GetFullPath();
}

namespace {

// The permissions the written file gets: those of the file it replaces, or those of a plain
// new file.
mode_t PermissionsFor(const wxCharBuffer& destination)
{
    struct stat existing;
    if (::stat(destination.data(), &existing) == 0)
        return existing.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

wxString SystemError(int code)
{
    return code ? wxString(std::strerror(code)) : wxString(_("the picture could not be written"));
}

}  // namespace

bool SavePictureSafely(const wxImage& picture, const wxString& path, wxString& error)
{
    const wxFileName target(path);
    const wxString extension = target.GetExt().Lower();
    wxImageHandler* handler =
        extension.empty() ? nullptr : wxImage::FindHandler(extension, wxBITMAP_TYPE_ANY);
    if (!handler) {
        error = _("There is no picture format for the extension of this file name.");
        return false;
    }

    // The temporary file lies in the destination's folder, so the rename stays on one file
    // system and replaces the destination in one step.
    wxString folder = target.GetPath();
    if (folder.empty())
        folder = ".";
    const wxCharBuffer destination = path.fn_str();
    wxCharBuffer temporary = wxString(folder + "/." + target.GetFullName() + ".kerv-XXXXXX").fn_str();
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = SystemError(errno);
        return false;
    }
    ::fchmod(fd, PermissionsFor(destination));

    bool written;
    int writeError = 0;
    {
        wxFileOutputStream file(fd);  // closes fd
        {
            // The handler's own log messages would repeat the one report the caller shows.
            wxLogNull quiet;
            wxBufferedOutputStream buffered(file);
            errno = 0;
            written = handler->SaveFile(const_cast<wxImage*>(&picture), buffered, false);
            buffered.Sync();
            written = written && buffered.GetLastError() == wxSTREAM_NO_ERROR
                   && file.GetLastError() == wxSTREAM_NO_ERROR;
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
    }
    if (written && std::rename(temporary.data(), destination.data()) != 0) {
        written = false;
        writeError = errno;
    }
    if (!written) {
        std::remove(temporary.data());
        error = SystemError(writeError);
    }
    return written;
}
