// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture_fixtures.h"

#include <cstring>

#include <wx/filedlg.h>

#include "gui_test_support.h"
#include "main_frame.h"
#include "main_frame_ids.h"

void WriteTestPicture(const wxString& path, int width, int height, int seed, bool alpha)
{
    wxImage picture(width, height);
    unsigned state = 2654435761u * static_cast<unsigned>(seed);
    unsigned char* rgb = picture.GetData();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            const int noise = static_cast<int>(state >> 27);  // 0..31
            // Two bright bars and a dark diagonal: edges the seams must go around.
            int value = 110 + noise;
            if ((x + seed * 7) % 53 < 4 || (y + seed * 5) % 41 < 3)
                value = 230 - noise;
            if (x - y * width / (height + 1) == seed % 17)
                value = 10 + noise;
            unsigned char* pixel = rgb + 3 * (static_cast<size_t>(y) * width + x);
            pixel[0] = static_cast<unsigned char>(value);
            pixel[1] = static_cast<unsigned char>((value * 3 + x) & 255);
            pixel[2] = static_cast<unsigned char>((value + 2 * y) & 255);
        }
    }
    if (alpha) {
        picture.SetAlpha();
        std::memset(picture.GetAlpha(), 128, static_cast<size_t>(width) * height);
    }
    ASSERT_TRUE(picture.SaveFile(path)) << path;
}

::testing::AssertionResult SamePixels(const wxImage& expected, const wxImage& actual)
{
    if (!expected.IsOk() || !actual.IsOk())
        return ::testing::AssertionFailure() << "a picture is missing";
    if (expected.GetSize() != actual.GetSize())
        return ::testing::AssertionFailure()
               << "size " << actual.GetWidth() << "x" << actual.GetHeight() << ", expected "
               << expected.GetWidth() << "x" << expected.GetHeight();
    const size_t bytes = static_cast<size_t>(expected.GetWidth()) * expected.GetHeight() * 3;
    for (size_t i = 0; i < bytes; ++i)
        if (expected.GetData()[i] != actual.GetData()[i])
            return ::testing::AssertionFailure()
                   << "first difference at pixel " << i / 3 << " (x " << i / 3 % expected.GetWidth()
                   << ", y " << i / 3 / expected.GetWidth() << ")";
    return ::testing::AssertionSuccess();
}

void SendMenu(CMainFrame* frame, int id)
{
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(frame);
    frame->ProcessWindowEvent(event);
}

void ClickButton(CMainFrame* frame, int id)
{
    wxCommandEvent event(wxEVT_BUTTON, id);
    event.SetEventObject(frame->FindWindow(id));
    frame->ProcessWindowEvent(event);
}

void OpenThroughDialog(CMainFrame* frame, const wxString& path)
{
    wxTEST_DIALOG(SendMenu(frame, ID_MENU_OPEN), ExpectOpenDialog(path));
}

int ExpectOpenDialog::OnInvoked(wxFileDialog* dialog) const
{
    dialog->SetPath(m_path);
    EXPECT_TRUE(WaitFor([&] { return dialog->GetPath() == m_path; }, 5000)) << m_path;
    return wxID_OK;
}

int ExpectAnswer::OnInvoked(wxMessageDialog* dialog) const
{
    EXPECT_EQ(dialog->GetMessage(), m_message);
    EXPECT_EQ(dialog->GetTitle(), m_caption);
    return m_code;
}

wxString ExpectAnswer::GetDefaultDescription() const
{
    return "message box \"" + m_message + "\"";
}

int WhileAsked::OnInvoked(CDontShowDialog* WXUNUSED(dialog)) const
{
    m_check();
    return m_code;
}
