// SPDX-License-Identifier: GPL-3.0-or-later
// The window as a user drives it, with real pointer and key events: the splitter keeps both
// panes, the control panel scrolls to every mask button, an immediate size field that holds no
// number carves nothing however it is left, the zoom keys without Shift work, a zoom already set
// repaints nothing, and a long run paces its repaints and tells the time.
#include <string>

#include <wx/evtloop.h>
#include <wx/regex.h>
#include <wx/scrolwin.h>
#include <wx/splitter.h>
#include <wx/uiaction.h>

#include "frame_access.h"
#include "gui_test_support.h"
#include "window_placement.h"

namespace {

class WindowRunsTest : public GuiTest {
protected:
    // A window of the size Kerv takes on a 1600 x 1000 screen, with a width x height picture.
    CMainFrame* Frame(int width, int height)
    {
        CMainFrame* frame = MakeFrame();
        frame->SetSize(DefaultWindowRect(wxSize(1600, 1000)));
        WriteTestPicture(work + "/p.png", width, height, 3);
        OpenThroughDialog(frame, work + "/p.png");
        PumpEvents(100);
        return frame;
    }
    // Real pointer events through the display server.
    void Drag(wxPoint from, wxPoint to)
    {
        sim.MouseMove(from);
        PumpEvents(50);
        sim.MouseDown();
        for (int i = 1; i <= 4; ++i) {
            sim.MouseMove(from + (to - from) * i / 4);
            PumpEvents(30);
        }
        sim.MouseUp();
        PumpEvents(100);
    }
    wxUIActionSimulator sim;
};

}  // namespace

TEST_F(WindowRunsTest, CtrlEqualsZoomsInBesideRedosSecondKey)
{
    CMainFrame* frame = Frame(60, 40);
    Ui(frame).paintPanel->SetFocus();
    PumpEvents(50);
    const wxString before = Ui(frame).comboZoom->GetValue();
    sim.Char('=', wxMOD_CONTROL);
    PumpEvents(100);
    EXPECT_NE(Ui(frame).comboZoom->GetValue(), before) << "Ctrl+= left the zoom at " << before;
}

// A double click on the sash cannot unsplit the window either.
TEST_F(WindowRunsTest, TheSashNeverHidesAPaneAndThePanelScrollsToEveryControl)
{
    CMainFrame* frame = Frame(60, 40);
    auto* splitter = static_cast<wxSplitterWindow*>(frame->FindWindow(ID_SPLITTER));
    ASSERT_NE(splitter, nullptr);
    splitter->OnDoubleClickSash(splitter->GetSashPosition(), 10);
    PumpEvents(20);
    EXPECT_TRUE(splitter->IsSplit());
    EXPECT_EQ(splitter->GetWindow2(), Ui(frame).paintPanel);
    wxSplitterEvent doubleClick(wxEVT_SPLITTER_DOUBLECLICKED, splitter);
    doubleClick.SetEventObject(splitter);
    splitter->GetEventHandler()->ProcessEvent(doubleClick);
    EXPECT_FALSE(doubleClick.IsAllowed());
    auto* panel = static_cast<wxScrolledWindow*>(splitter->GetWindow1());
    for (int target : {0, -400, 4000, -400}) {  // 0: the sash where Kerv puts it
        SCOPED_TRACE(target);
        const wxPoint sash = splitter->ClientToScreen(
            wxPoint(splitter->GetSashPosition() + splitter->GetSashSize() / 2, 200));
        if (target != 0)
            Drag(sash, wxPoint(splitter->GetScreenPosition().x + target, sash.y));
        EXPECT_GE(panel->GetSize().x, 100);
        EXPECT_GE(Ui(frame).paintPanel->GetSize().x, 100);
        for (wxWindow* control : std::initializer_list<wxWindow*>{
                 Ui(frame).btnClearMask, Ui(frame).btnKerv, Ui(frame).spinHeight}) {
            panel->Scroll(panel->CalcUnscrolledPosition(control->GetPosition()) / 10);
            PumpEvents(30);
            const wxRect shown(panel->GetClientSize()), rect = control->GetRect();
            EXPECT_TRUE(rect.width > shown.width ? shown.Contains(rect.GetTopLeft())
                                                 : shown.Contains(rect))
                << control->GetName() << " at " << rect.x << "," << rect.y << " in " << shown.width
                << "x" << shown.height;
        }
    }
}

TEST_F(WindowRunsTest, ASizeFieldLeftEmptyCarvesNothingAndShowsTheSizeAgain)
{
    CMainFrame* frame = Frame(150, 90);
    wxSpinCtrl* spin = Ui(frame).spinWidth;
    // How the field is left, and the width that leaving it asks for.
    const std::pair<int, int> ways[] = {{0, 150}, {WXK_RETURN, 150}, {WXK_UP, 151}};
    for (const auto& [key, width] : ways) {
        SCOPED_TRACE(key);
        sim.MouseMove(spin->GetScreenPosition() + wxPoint(12, spin->GetSize().y / 2));
        sim.MouseClick();
        PumpEvents(50);
        sim.Char('a', wxMOD_CONTROL);
        sim.Char(WXK_BACK);
        PumpEvents(50);
        ASSERT_EQ(spin->GetTextValue(), "");
        if (key != 0)
            sim.Char(key);
        else
            Ui(frame).btnKerv->SetFocus();
        PumpEvents(1200);  // the typing delay ends too
        EXPECT_EQ(frame->Session().CurrentWidth(), width);
        EXPECT_EQ(spin->GetTextValue(), wxString::Format("%d", width));
        frame->WidthChange(150);
    }
}

// Here no other window can come and go over the canvas, which would repaint it too.
TEST_F(WindowRunsTest, ApplyingTheZoomAlreadySetDoesNotRepaint)
{
    CMainFrame* frame = Frame(80, 60);
    CPaintPanel* panel = Ui(frame).paintPanel;
    // The picture has the keyboard already, as it gets it back after a choice.
    panel->SetFocus();
    int paints = 0;
    RepaintHook hook(frame, [&paints] { ++paints; });
    // The repaints and relayouts that the opening set off come first, however slow the machine.
    for (int last = -1; last != paints;) {
        last = paints;
        panel->Update();
        PumpEvents(150);
    }
    for (const char* zoom : {"100%", "50%"}) {
        paints = 0;
        wxCommandEvent choice(wxEVT_COMBOBOX, ID_COMBO_ZOOM);
        choice.SetString(zoom);
        choice.SetEventObject(Ui(frame).comboZoom);
        Ui(frame).comboZoom->GetEventHandler()->ProcessEvent(choice);
        panel->Update();
        PumpEvents(50);
        EXPECT_EQ(paints > 0, zoom != std::string("100%")) << zoom;
    }
    EXPECT_EQ(panel->ViewSize().x, 40);
}

TEST_F(WindowRunsTest, ALongAnimatedRunRepaintsAtMost25TimesASecondAndTellsTheTimeLeft)
{
    // Wide enough that the run lasts well over a second on a fast machine.
    constexpr int kWidth = 4000;
    CMainFrame* frame = Frame(kWidth, 1600);
    ProgressStatusBar* bar = Ui(frame).pStatusBar;
    wxString shown;
    int percent = -1;
    // The first progress update that shows the time left (once the run has taken a second)
    // reads the status bar and presses "Abort".
    wxTimer probe;
    probe.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        shown = bar->GetStatusText(2);
        if (shown.empty())
            return;
        probe.Stop();
        percent = 100 * bar->gaugeProgress->GetValue() / bar->nRange;
        wxCommandEvent abort(wxEVT_BUTTON, ID_BTN_PROGRESS_CANCEL);
        bar->ProcessWindowEvent(abort);
    });
    Ui(frame).checkAnimated->SetValue(true);
    Ui(frame).checkAspect->SetValue(false);
    Ui(frame).textAbsWidth->SetValue("100");
    int repaints = 0;
    RepaintHook hook(frame, [&repaints] { ++repaints; });
    probe.Start(100);
    // The run yields only to an active event loop, as in the program.
    wxGUIEventLoop loop;
    wxEventLoopActivator active(&loop);
    wxStopWatch watch;
    ClickButton(frame, ID_BTN_KERV);
    const double seconds = watch.Time() / 1000.0;
    ASSERT_FALSE(shown.empty()) << "the run ended after " << seconds << " s, at width "
                                << frame->Session().CurrentWidth();
    wxRegEx estimate("^([0-9]+)% done, [0-9]+:[0-5][0-9] left$");
    ASSERT_TRUE(estimate.Matches(shown)) << shown;
    EXPECT_NEAR(wxAtoi(estimate.GetMatch(shown, 1)), percent, 1);
    const int steps = kWidth - frame->Session().CurrentWidth();
    EXPECT_LT(steps, kWidth - 100);  // aborted
    EXPECT_EQ(bar->GetStatusText(2), "");
    EXPECT_GE(repaints, 3);
    EXPECT_LE(repaints, 25 * seconds + 3) << seconds << " s";
    EXPECT_LE(repaints, steps / 3) << "a repaint for each step or so";
}
