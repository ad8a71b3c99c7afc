// SPDX-License-Identifier: GPL-3.0-or-later
// SizeSpinCtrl: a spin control of the "Immediate Change" group. GTK's spin button reads its text
// whenever it loses the focus, takes Enter, has an arrow pressed or is asked for its value, and
// reads an empty text as 0, which its range then turns into the minimum of 1 pixel. This control
// reads its own text instead: a text that is no size (see PictureSession::ReadSizeText) keeps the
// value it shows for, so no event ever reports a size the user did not type.
#ifndef KERV_MAINFRAME_SIZE_SPIN_CTRL_H
#define KERV_MAINFRAME_SIZE_SPIN_CTRL_H

#include <functional>

#include <wx/spinctrl.h>

class SizeSpinCtrl : public wxSpinCtrl {
public:
    // keep answers the size the control stands for (the picture's current size in its
    // direction), or a number below 1 when there is none.
    SizeSpinCtrl(wxWindow* parent, wxWindowID id, long style, std::function<int()> keep);

private:
    // GTK's conversion of the text into the value: the typed size, or the kept one.
    static int OnGtkInput(void* spinButton, double* value, SizeSpinCtrl* self);

    std::function<int()> keptSize;
};

#endif
