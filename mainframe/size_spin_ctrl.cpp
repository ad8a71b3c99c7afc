// SPDX-License-Identifier: GPL-3.0-or-later
#include "size_spin_ctrl.h"

#include <utility>

#include "picture_session.h"

namespace {

// The values GTK's "input" signal expects of a handler: the text converted, or left to the
// default conversion.
constexpr int kGtkInputDone = 1;
constexpr int kGtkInputDefault = 0;

}  // namespace

SizeSpinCtrl::SizeSpinCtrl(wxWindow* parent, wxWindowID id, long style, std::function<int()> keep)
    : wxSpinCtrl(parent, id, wxEmptyString, wxDefaultPosition, wxDefaultSize, style, 0, 100, 0),
      keptSize(std::move(keep))
{
    GTKConnectWidget("input", reinterpret_cast<wxGTKCallback>(&SizeSpinCtrl::OnGtkInput));
}

int SizeSpinCtrl::OnGtkInput(void* WXUNUSED(spinButton), double* value, SizeSpinCtrl* self)
{
    int typed = 0;
    if (!PictureSession::ReadSizeText(self->GetTextValue(), typed)) {
        typed = self->keptSize();
        if (typed < 1)
            return kGtkInputDefault;
    }
    // GTK clamps the value to the control's range.
    *value = typed;
    return kGtkInputDone;
}
