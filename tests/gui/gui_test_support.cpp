// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui_test_support.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/stopwatch.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include "fast_image.h"
#include "frame_access.h"
#include "main_app.h"

wxExpectModal<CDontShowDialog>::wxExpectModal(int code, bool tickDontAsk, const wxString& text,
                                              const wxString& title)
    : Answer([=](CDontShowDialog* dialog) {
          if (!text.empty()) {
              EXPECT_EQ(dialog->textQuestion->GetLabel(), text);
          }
          if (!title.empty()) {
              EXPECT_EQ(dialog->GetTitle(), title);
          }
          if (tickDontAsk)
              dialog->checkDontAsk->SetValue(true);
          return code;
      })
{
}

ExpectAnswer::ExpectAnswer(int code, const wxString& message, const wxString& caption)
    : Answer([=](wxMessageDialog* dialog) {
          EXPECT_EQ(dialog->GetMessage(), message);
          EXPECT_EQ(dialog->GetTitle(), caption);
          return code;
      })
{
    m_description = "message box \"" + message + "\"";
}

ExpectFileDialog::ExpectFileDialog(const wxString& path, const wxString& proposed,
                                   const wxString& title)
    : Answer([=](wxFileDialog* dialog) {
          if (!proposed.empty()) {
              EXPECT_EQ(wxFileName(dialog->GetDirectory(), dialog->GetFilename()).GetFullPath(),
                        proposed);
              EXPECT_TRUE(dialog->HasFlag(wxFD_OVERWRITE_PROMPT));
          }
          if (!title.empty()) {
              EXPECT_EQ(dialog->GetMessage(), title);
          }
          dialog->SetPath(path);
          EXPECT_TRUE(WaitFor([&] { return dialog->GetPath() == path; }, 5000)) << path;
          return wxID_OK;
      })
{
}

void PumpEvents(int milliseconds)
{
    wxStopWatch watch;
    do {
        wxTheApp->Yield(true);
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();
        wxMilliSleep(5);
    } while (watch.Time() < milliseconds);
}

bool IsAlive(wxWindow* window)
{
    return wxTopLevelWindows.Find(window) != nullptr && !wxPendingDelete.Member(window);
}

bool WaitFor(const std::function<bool()>& done, int milliseconds)
{
    wxStopWatch watch;
    while (!done()) {
        if (watch.Time() > milliseconds)
            return done();
        PumpEvents(10);
    }
    return true;
}

namespace {

void OpenPicture(CMainFrame* frame, wxString path)
{
    frame->DoOpenFile(path, -1);
    PumpEvents(20);
    ASSERT_TRUE(frame->Session().IsOpen()) << path;
}

}  // namespace

void GuiTest::SetUp()
{
    previousCwd = wxGetCwd();
    wxSetEnv("HOME", home);
    wxSetWorkingDirectory(work);

    // The store is created again, from the new home, on its next use.
    delete wxConfigBase::Set(nullptr);
    wxFastImage::CleanUpHandlers();
    MainApp::RegisterFastImageHandlers();
}

void GuiTest::TearDown()
{
    // Closing a window changes the list of windows: work on a copy, and re-check each.
    std::vector<wxWindow*> windows(wxTopLevelWindows.begin(), wxTopLevelWindows.end());
    for (wxWindow* window : windows)
        if (IsAlive(window))
            if (auto* frame = dynamic_cast<CMainFrame*>(window))
                CloseQuietly(frame);
    windows.assign(wxTopLevelWindows.begin(), wxTopLevelWindows.end());
    for (wxWindow* window : windows)
        if (IsAlive(window))
            window->Destroy();
    PumpEvents(20);

    delete wxConfigBase::Set(nullptr);
    wxSetWorkingDirectory(previousCwd);
}

CMainFrame* GuiTest::MakeFrame()
{
    auto* frame = new CMainFrame(nullptr, wxID_ANY, wxEmptyString);
    // The start-up housekeeping (update reminder, clean-up) belongs to the update check's
    // tests; here it would ask its question in the middle of another test.
    Ui(frame).timerStartUp.Stop();
    frame->Show();
    PumpEvents(30);
    return frame;
}

void GuiTest::CloseQuietly(CMainFrame* frame)
{
    Ui(frame).bCalculating = false;
    frame->Close(true);
    PumpEvents(20);
    // The close released the picture readers, as the program's last window does; a test that
    // goes on with another window needs them again.
    if (wxFastImage::sm_handlers.IsEmpty())
        MainApp::RegisterFastImageHandlers();
}

CMainFrame* GuiTest::OpenCoffee()
{
    CMainFrame* frame = MakeFrame();
    const wxString coffee = work + "/coffee.png";
    EXPECT_TRUE(wxCopyFile(KERV_SAMPLES_DIR "/coffee.png", coffee));
    OpenPicture(frame, coffee);
    EXPECT_EQ(frame->Session().CurrentWidth(), 600);
    EXPECT_EQ(frame->Session().CurrentHeight(), 400);
    return frame;
}

CMainFrame* GuiTest::FrameShowing(int cols, int rows, bool paint)
{
    CMainFrame* frame = MakeFrame();
    static int shown = 0;
    const wxString path = wxString::Format("%s/shown-%d.png", work, ++shown);
    EXPECT_TRUE(DistinctPixelsPicture(cols, rows).AsImage().SaveFile(path));
    OpenPicture(frame, path);
    Ui(frame).checkEnableMask->SetValue(paint);
    frame->DoEnableProtectDelete();
    Ui(frame).paintPanel->Init(cols, rows);
    PumpEvents(30);
    return frame;
}

wxString GuiTest::SettingsFile() const
{
    return home + "/.Kerv";
}

wxImage GuiTest::KervCli(const wxString& options, const wxString& picture)
{
    const wxString out = work + "/cli.png";
    const wxString command =
        wxString::Format("\"%s\" -q %s \"%s\" \"%s\"", KERV_CLI, options, picture, out);
    EXPECT_EQ(std::system(command.utf8_str()), 0) << command;
    return wxImage(out);
}

wxImage EnginePicture(CMainFrame* frame)
{
    return Ui(frame).pDP->GetColourImage().CopyToImage();
}

RepaintHook::RepaintHook(CMainFrame* frame, std::function<void()> body)
    : m_panel(Ui(frame).paintPanel), m_body(std::move(body))
{
    m_panel->Bind(wxEVT_PAINT, &RepaintHook::OnPaint, this);
}

RepaintHook::~RepaintHook()
{
    if (m_panel)
        m_panel->Unbind(wxEVT_PAINT, &RepaintHook::OnPaint, this);
}

void RepaintHook::OnPaint(wxPaintEvent& event)
{
    m_body();
    event.Skip();
}

void AbortWhenGaugeReaches::Notify()
{
    const int done = Ui(m_frame).pStatusBar->gaugeProgress->GetValue();
    if (stepsAtAbort >= 0 || done < m_after)
        return;
    stepsAtAbort = done;
    Click(Ui(m_frame).pStatusBar->btnProgressCancel);
}

void SendMenu(CMainFrame* frame, int id)
{
    wxCommandEvent event(wxEVT_MENU, id);
    event.SetEventObject(frame);
    frame->ProcessWindowEvent(event);
}

void ClickButton(CMainFrame* frame, int id)
{
    Click(frame->FindWindow(id));
}

void OpenThroughDialog(CMainFrame* frame, const wxString& path)
{
    wxTEST_DIALOG(SendMenu(frame, ID_MENU_OPEN), ExpectFileDialog(path));
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

void SendMouse(CPaintPanel* panel, wxEventType type, wxPoint at, bool leftDown)
{
    wxMouseEvent event(type);
    event.SetPosition(at);
    event.m_leftDown = leftDown;
    event.SetEventObject(panel);
    panel->GetEventHandler()->ProcessEvent(event);
}

bool SendKey(CPaintPanel* panel, wxEventType type, int code)
{
    wxKeyEvent event(type);
    event.m_keyCode = code;
    event.SetEventObject(panel);
    return !panel->GetEventHandler()->ProcessEvent(event);
}

void PaintStroke(CMainFrame* frame, wxPoint from, wxPoint to)
{
    // The canvas paints where the pointer was at the previous event: arrive first, then drag.
    CPaintPanel* panel = Ui(frame).paintPanel;
    SendMouse(panel, wxEVT_MOTION, from);
    const int steps = 20;
    for (int i = 1; i <= steps; ++i) {
        const wxPoint at(from.x + (to.x - from.x) * i / steps,
                         from.y + (to.y - from.y) * i / steps);
        SendMouse(panel, wxEVT_MOTION, at, true);
    }
    SendMouse(panel, wxEVT_LEFT_UP, to);
    PumpEvents(10);
}

wxImage MaskImage(CMainFrame* frame)
{
    const wxBitmap* mask = Ui(frame).paintPanel->maskBitmap.get();
    if (mask == nullptr || !mask->IsOk())
        return wxImage();
    return mask->ConvertToImage();
}

wxFastImage DistinctPixelsPicture(int cols, int rows)
{
    wxFastImage picture(cols, rows);
    unsigned char* p = picture.GetData();
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < cols; ++x, p += 3) {
            p[0] = static_cast<unsigned char>(x * 7 + y * 3 + 40);
            p[1] = static_cast<unsigned char>(x * 5 + y * 11 + 90);
            p[2] = static_cast<unsigned char>(x * 13 + y * 2 + 10);
        }
    return picture;
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
