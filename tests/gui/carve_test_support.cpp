// SPDX-License-Identifier: GPL-3.0-or-later
#include "carve_test_support.h"

#include <cstring>

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/textctrl.h>

#include "frame_access.h"
#include "gui_test_support.h"
#include "main_frame.h"
#include "paint_panel.h"

wxString CopySample(const wxString& name, const wxString& folder)
{
    const wxString copy = folder + "/" + name;
    EXPECT_TRUE(wxCopyFile(wxString(KERV_SAMPLES_DIR) + "/" + name, copy));
    return copy;
}

void OpenPicture(CMainFrame* frame, wxString path)
{
    frame->DoOpenFile(path, -1);
    PumpEvents(20);
    ASSERT_NE(Ui(frame).pDP, nullptr) << path;
}

void Click(wxWindow* button)
{
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

void SetChecked(wxCheckBox* box, bool checked)
{
    box->SetValue(checked);
    wxCommandEvent click(wxEVT_CHECKBOX, box->GetId());
    click.SetEventObject(box);
    click.SetInt(checked ? 1 : 0);
    box->GetEventHandler()->ProcessEvent(click);
}

void SetTargets(CMainFrame* frame, int width, int height)
{
    Ui(frame).textAbsWidth->ChangeValue(wxString::Format("%d", width));
    Ui(frame).textAbsHeight->ChangeValue(wxString::Format("%d", height));
}

namespace {

void SendMouse(CMainFrame* frame, wxEventType type, wxPoint at, bool leftDown)
{
    wxMouseEvent event(type);
    event.SetPosition(at);
    event.m_leftDown = leftDown;
    event.SetEventObject(Ui(frame).paintPanel);
    Ui(frame).paintPanel->GetEventHandler()->ProcessEvent(event);
}

}  // namespace

void PaintStroke(CMainFrame* frame, wxPoint from, wxPoint to)
{
    // The canvas paints where the pointer was at the previous event: arrive first, then drag.
    SendMouse(frame, wxEVT_MOTION, from, false);
    const int steps = 20;
    for (int i = 1; i <= steps; ++i) {
        const wxPoint at(from.x + (to.x - from.x) * i / steps,
                         from.y + (to.y - from.y) * i / steps);
        SendMouse(frame, wxEVT_MOTION, at, true);
    }
    SendMouse(frame, wxEVT_LEFT_UP, to, false);
    PumpEvents(10);
}

void MovePointer(CMainFrame* frame, wxPoint to)
{
    SendMouse(frame, wxEVT_MOTION, to, false);
}

wxImage MaskImage(CMainFrame* frame)
{
    const wxBitmap* mask = Ui(frame).paintPanel->maskBitmap.get();
    if (mask == nullptr || !mask->IsOk())
        return wxImage();
    return mask->ConvertToImage();
}

int CountPixels(const wxImage& image, unsigned char r, unsigned char g, unsigned char b)
{
    if (!image.IsOk())
        return 0;
    int count = 0;
    const unsigned char* pixel = image.GetData();
    const long pixels = static_cast<long>(image.GetWidth()) * image.GetHeight();
    for (long i = 0; i < pixels; ++i, pixel += 3)
        if (pixel[0] == r && pixel[1] == g && pixel[2] == b)
            ++count;
    return count;
}

bool SamePixels(const wxImage& a, const wxImage& b)
{
    return a.IsOk() && b.IsOk() && a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight() &&
           std::memcmp(a.GetData(), b.GetData(), size_t(a.GetWidth()) * a.GetHeight() * 3) == 0;
}

int ExpectFileDialog::OnInvoked(wxFileDialog* dialog) const
{
    if (!m_proposed.empty()) {
        EXPECT_EQ(wxFileName(dialog->GetDirectory(), dialog->GetFilename()).GetFullPath(),
                  m_proposed);
        EXPECT_TRUE(dialog->HasFlag(wxFD_OVERWRITE_PROMPT));
    }
    if (!m_title.empty()) {
        EXPECT_EQ(dialog->GetMessage(), m_title);
    }
    dialog->SetPath(m_path);
    // GTK's chooser reports the path once it has read the folder.
    EXPECT_TRUE(WaitFor([&] { return dialog->GetPath() == m_path; }, 5000)) << m_path;
    return wxID_OK;
}
