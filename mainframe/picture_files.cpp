// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture_files.h"

#include <cstring>

#include <wx/filename.h>
#include <wx/intl.h>

#include "pending_picture.h"

wxString DefaultSaveName(const wxString& path)
{
    wxFileName name(path);
    name.SetName(name.GetName() + "_kerv");
    return name.GetFullPath();
}

namespace {

wxString Reason(const WriteProblem& problem)
{
    switch (problem.kind) {
        case WriteProblem::kNoFormat:
            return _("There is no picture format for the extension of this file name.");
        case WriteProblem::kReadOnlyFormat:
            return _("Pictures can be read in this format but not written.");
        case WriteProblem::kGreyFormat:
            return _("This format holds grey pictures only; save as .ppm or .pnm instead.");
        case WriteProblem::kSystem:
            return std::strerror(problem.systemError);
        default:
            return problem.detail.empty() ? _("the picture could not be written")
                                          : wxString::FromUTF8(problem.detail);
    }
}

}  // namespace

bool SavePictureSafely(const wxImage& picture, const PictureMetadata* metadata,
                       const wxString& path, wxString& error, wxString& warning)
{
    PendingPicture pending(path);
    WriteProblem problem = pending.Write(picture, {metadata, 0});
    if (!problem)
        problem = pending.Commit();
    if (problem) {
        error = Reason(problem);
        return false;
    }
    if (!pending.Warning().empty())
        warning = wxString::Format(_("Saved without some of the original's metadata: %s"),
                                   wxString::FromUTF8(pending.Warning()));
    return true;
}
