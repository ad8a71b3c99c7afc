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

bool SavePictureSafely(const wxImage& picture, const wxString& path, wxString& error)
{
    PendingPicture pending(path);
    WriteProblem problem = pending.Write(picture);
    if (!problem)
        problem = pending.Commit();
    if (!problem)
        return true;
    if (problem.kind == WriteProblem::kNoFormat)
        error = _("There is no picture format for the extension of this file name.");
    else if (problem.systemError != 0)
        error = std::strerror(problem.systemError);
    else
        error = _("the picture could not be written");
    return false;
}
