// CMainFrame: the target size fields, the immediate carving driver, "Reset &Size" and the
// status line, and the one-run-at-a-time guard every size-changing command obeys.
#include "main_frame.h"

#include <wx/textctrl.h>

#include "target_size.h"

namespace {

// A run of the immediate driver in that direction is in progress (WidthChange, HeightChange;
// IsCarving reads them too).
bool bWidthChanging = false;
bool bHeightChanging = false;

}  // namespace

bool CMainFrame::IsCarving() const
{
    return bWidthChanging || bHeightChanging || bCalculating;
}

int CMainFrame::ReadTargetField(const wxTextCtrl* field) const
{
    return target::ReadLeadingInteger(std::string(field->GetValue().utf8_str()));
}
