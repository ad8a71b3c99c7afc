// SPDX-License-Identifier: GPL-3.0-or-later
#include "pending_picture.h"

#include <cerrno>
#include <cstdio>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <wx/filename.h>
#include <wx/log.h>

#include "picture_metadata.h"
#include "string_output_stream.h"

namespace {

constexpr int kDefaultJpegQuality = 92;

wxImageHandler* HandlerFor(const wxString& extension)
{
    return extension.empty() ? nullptr : wxImage::FindHandler(extension.Lower(), wxBITMAP_TYPE_ANY);
}

// Keeps the toolkit's last log message of a scope instead of showing it.
class LastLogMessage : public wxLog {
public:
    LastLogMessage() : previous_(wxLog::SetActiveTarget(this)) {}
    ~LastLogMessage() override { wxLog::SetActiveTarget(previous_); }
    const std::string& Text() const { return text_; }

protected:
    void DoLogRecord(wxLogLevel level, const wxString& message, const wxLogRecordInfo&) override
    {
        if (level <= wxLOG_Warning)
            text_ = message.ToStdString(wxConvUTF8);
    }

private:
    wxLog* previous_;
    std::string text_;
};

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
    return {WriteProblem::kSystem, code, {}};
}

void ApplySettings(wxImage& picture, const SaveSettings& settings)
{
    picture.SetOption(wxIMAGE_OPTION_QUALITY, JpegQualityFor(settings));
    const PictureMetadata* metadata = settings.metadata;
    if (!metadata || metadata->resolution.unit == PictureResolution::kNone)
        return;
    picture.SetOption(wxIMAGE_OPTION_RESOLUTIONUNIT, metadata->resolution.unit);
    picture.SetOption(wxIMAGE_OPTION_RESOLUTIONX, metadata->resolution.x);
    picture.SetOption(wxIMAGE_OPTION_RESOLUTIONY, metadata->resolution.y);
}

bool WriteAll(int fd, const std::string& bytes)
{
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

WriteProblem CheckWritableFormat(const wxString& extension)
{
    const wxString lower = extension.Lower();
    if (lower == "gif" || lower == "ani" || lower == "iff")
        return {WriteProblem::kReadOnlyFormat, 0, {}};
    if (lower == "pgm" || lower == "pbm")
        return {WriteProblem::kGreyFormat, 0, {}};
    if (!HandlerFor(lower))
        return {WriteProblem::kNoFormat, 0, {}};
    return {};
}

int JpegQualityFor(const SaveSettings& settings)
{
    if (settings.quality > 0)
        return settings.quality;
    if (settings.metadata && settings.metadata->jpegQuality > 0)
        return settings.metadata->jpegQuality;
    return kDefaultJpegQuality;
}

WriteProblem EncodePicture(wxImage& picture, const wxString& extension,
                           const SaveSettings& settings, EncodedPicture& encoded)
{
    if (WriteProblem problem = CheckWritableFormat(extension))
        return problem;
    ApplySettings(picture, settings);
    StringOutputStream stream(encoded.bytes);
    bool written;
    std::string message;
    {
        LastLogMessage log;
        written = HandlerFor(extension)->SaveFile(&picture, stream, true) &&
                  stream.GetLastError() == wxSTREAM_NO_ERROR;
        message = log.Text();
    }
    if (!written)
        return {WriteProblem::kEncoder, 0, message};
    if (settings.metadata)
        encoded.warning =
            EmbedMetadata(encoded.bytes, ContainerForExtension(extension.ToStdString()),
                          *settings.metadata, picture.GetWidth(), picture.GetHeight());
    return {};
}

PendingPicture::~PendingPicture()
{
    if (temporary_.length() > 0 && !committed_)
        std::remove(temporary_.data());
    DropBackup();
}

WriteProblem PendingPicture::CheckFormatOf(const wxString& path)
{
    return CheckWritableFormat(wxFileName(path).GetExt());
}

WriteProblem PendingPicture::Write(wxImage picture, const SaveSettings& settings)
{
    EncodedPicture encoded;
    if (WriteProblem problem =
            EncodePicture(picture, wxFileName(destination_).GetExt(), settings, encoded))
        return problem;
    warning_ = encoded.warning;

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
    // Each failing call below sets errno; nothing in between may touch it.
    if (::fchmod(fd, PermissionsFor(destination_)) != 0 || !WriteAll(fd, encoded.bytes) ||
        ::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        return SystemProblem(error);
    }
    if (::close(fd) != 0)
        return SystemProblem(errno);
    return {};
}

WriteProblem PendingPicture::Commit()
{
    if (temporary_.length() == 0)
        return {WriteProblem::kEncoder, 0, {}};
    if (std::rename(temporary_.data(), destination_.fn_str()) != 0)
        return SystemProblem(errno);
    committed_ = true;
    return {};
}

bool PendingPicture::KeepBackup()
{
    struct stat existing;
    if (::lstat(destination_.fn_str(), &existing) != 0)
        return errno == ENOENT;  // nothing to keep
    if (!S_ISREG(existing.st_mode))
        return true;  // a folder or the like: the rename will fail and replace nothing
    const wxFileName target(destination_);
    wxString folder = target.GetPath();
    if (folder.empty())
        folder = ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        wxCharBuffer name = wxString::Format("%s/.%s.kerv-keep-%d-%d", folder, target.GetFullName(),
                                             int(::getpid()), attempt)
                                .fn_str();
        if (::link(destination_.fn_str(), name.data()) == 0) {
            backup_ = name;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

void PendingPicture::Restore()
{
    if (!committed_)
        return;
    if (backup_.length() > 0) {
        std::rename(backup_.data(), destination_.fn_str());
        backup_ = wxCharBuffer();
    } else {
        std::remove(destination_.fn_str());
    }
    committed_ = false;
}

void PendingPicture::DropBackup()
{
    if (backup_.length() > 0)
        std::remove(backup_.data());
    backup_ = wxCharBuffer();
}

WriteProblem PendingPicture::CommitAll(const std::vector<PendingPicture*>& pictures,
                                       const std::function<WriteProblem()>& finish)
{
    for (PendingPicture* picture : pictures) {
        if (!picture->KeepBackup()) {
            const int error = errno;
            for (PendingPicture* kept : pictures)
                kept->DropBackup();
            return SystemProblem(error);
        }
    }
    WriteProblem problem;
    size_t committed = 0;
    for (; committed < pictures.size() && !problem; ++committed)
        problem = pictures[committed]->Commit();
    if (!problem && finish)
        problem = finish();
    if (problem) {
        for (size_t i = 0; i < committed; ++i)
            pictures[i]->Restore();
    }
    for (PendingPicture* picture : pictures)
        picture->DropBackup();
    return problem;
}
