// SPDX-License-Identifier: GPL-3.0-or-later
// The Kerv run: carving to the absolute targets in one run, with the mask when painting is on,
// against kerv-cli as the reference; the order of its steps, "Abort", calculation mode, the
// fresh mask at the end, a close that cannot be refused, and targets refused before the run.
#include <algorithm>
#include <memory>
#include <vector>

#include <wx/evtloop.h>
#include <wx/toplevel.h>

#include "frame_access.h"
#include "gui_test_support.h"

namespace {

class KervRunTest : public GuiTest {
protected:
    // The run yields to the event loop between steps only when one is active, as the program's
    // main loop is.
    wxGUIEventLoop loop;
    wxEventLoopActivator active{&loop};

    // Paints a protected stripe across the cup and a deleted patch beside it.
    void PaintProtectAndDelete(CMainFrame* frame)
    {
        Ui(frame).radioProtect->SetValue(true);
        PaintStroke(frame, wxPoint(150, 120), wxPoint(420, 300));
        Ui(frame).radioDelete->SetValue(true);
        PaintStroke(frame, wxPoint(470, 60), wxPoint(560, 90));
        const wxImage mask = MaskImage(frame);
        ASSERT_GT(CountPixels(mask, 255, 0, 0), 1000);
        ASSERT_GT(CountPixels(mask, 0, 255, 0), 500);
    }
};

}  // namespace

// With painting on, the mask is the one saved from the window; the mask changes the result.
TEST_F(KervRunTest, TheResultEqualsKervCliPixelForPixelWithAndWithoutAPaintedMask)
{
    for (bool paint : {false, true}) {
        SCOPED_TRACE(paint);
        CMainFrame* frame = OpenCoffee();
        const wxString picture = frame->Session().FileName();
        const wxString maskFile = work + "/coffee_mask.bmp";
        Ui(frame).checkAnimated->SetValue(false);
        if (paint) {
            SetChecked(Ui(frame).checkEnableMask, true);
            PaintProtectAndDelete(frame);
            wxTEST_DIALOG(Click(Ui(frame).btnSaveMask),
                          ExpectFileDialog(maskFile, maskFile, "Save Mask"));
            ASSERT_TRUE(wxFileExists(maskFile));
        }
        const wxSize target = paint ? wxSize(530, 370) : wxSize(560, 410);
        SetTargets(frame, target.x, target.y);
        int paintsDuringRun = 0;
        RepaintHook hook(frame, [&] { paintsDuringRun += Ui(frame).bCalculating; });
        Click(Ui(frame).btnKerv);
        // An unanimated run repaints only at the end.
        EXPECT_LE(paintsDuringRun, 2);

        const wxString size = wxString::Format("--width %d --height %d", target.x, target.y);
        EXPECT_EQ(static_cast<bool>(SamePixels(EnginePicture(frame), KervCli(size, picture))),
                  !paint);
        if (paint) {
            EXPECT_TRUE(SamePixels(EnginePicture(frame),
                                   KervCli(size + " --mask \"" + maskFile + "\"", picture)));
        }
        CloseQuietly(frame);
    }
}

TEST_F(KervRunTest, AbortLeavesExactlyTheStepsDone)
{
    CMainFrame* frame = OpenCoffee();
    Ui(frame).checkAnimated->SetValue(true);
    SetTargets(frame, 560, 410);
    // The order of the steps is the session's (tested there); here the gauge and "Abort".
    AbortWhenGaugeReaches abort(frame, 1);
    abort.Start(1);
    Click(Ui(frame).btnKerv);
    const int done = abort.stepsAtAbort;
    ASSERT_GE(done, 1);
    ASSERT_LT(done, 40);
    EXPECT_EQ(Ui(frame).pStatusBar->nRange, 40);
    EXPECT_EQ(Ui(frame).pStatusBar->gaugeProgress->GetValue(), 0);
    EXPECT_EQ(frame->Session().CurrentWidth(), 600 - done);
    EXPECT_EQ(frame->Session().CurrentHeight(), 400 + std::min(done, 10));
    EXPECT_FALSE(Ui(frame).bCancelCalc);
    EXPECT_FALSE(Ui(frame).bCalculating);
    EXPECT_TRUE(Ui(frame).btnKerv->IsEnabled());
}

// Before the run and after it, painting decides whether the mask group or the immediate size
// controls can be used; during the run only the targets, "Abort", exit and help.
TEST_F(KervRunTest, TheWindowIsLockedDuringTheRunAndPaintingDecidesWhatComesBack)
{
    for (bool paint : {false, true}) {
        SCOPED_TRACE(paint);
        CMainFrame* frame = OpenCoffee();
        const auto ui = Ui(frame);
        ui.pFileHistory->AddFileToHistory(frame->Session().FileName());
        ui.checkAnimated->SetValue(true);
        SetTargets(frame, 590, 395);
        using Controls = std::vector<wxWindow*>;
        const Controls sizeControls{ui.sliderWidth, ui.spinWidth, ui.sliderHeight, ui.spinHeight};
        const Controls brush{ui.sliderBrush, ui.textBrushSize, ui.radioProtect, ui.radioDelete,
                             ui.radioErase};
        const Controls maskButtons{ui.btnStoreMask, ui.btnRecallMask, ui.btnClearMask,
                                   ui.btnSaveMask, ui.btnLoadMask};
        const Controls others{ui.btnKerv,     ui.btnResetSize,  ui.checkEnableMask,
                              ui.checkAspect, ui.checkAnimated, ui.toolBar};
        auto expect = [&](const Controls& controls, bool enabled) {
            for (wxWindow* control : controls)
                EXPECT_EQ(control->IsEnabled(), enabled) << control->GetLabel();
        };
        auto expectCommands = [&](bool enabled) {
            for (int id : {ID_MENU_OPEN, ID_MENU_SAVE, ID_COPY, ID_MENU_CHECK_UPDATE, ID_MRU_FIRST})
                EXPECT_EQ(ui.menuBar->IsEnabled(id), enabled) << id;
            for (int id : {ID_TOOL_OPEN, ID_TOOL_SAVE, ID_COPY})
                EXPECT_EQ(ui.toolBar->GetToolEnabled(id), enabled) << id;
        };
        SetChecked(ui.checkEnableMask, paint);
        bool checked = false;
        RepaintHook hook(frame, [&] {
            if (!ui.bCalculating || checked)
                return;
            checked = true;
            expect(sizeControls, false);
            expect(maskButtons, false);
            expect(others, false);
            expectCommands(false);
            expect({ui.textAbsWidth, ui.pStatusBar->btnProgressCancel}, true);
            EXPECT_TRUE(ui.menuBar->IsEnabled(ID_MENU_EXIT));
            EXPECT_TRUE(ui.menuBar->IsEnabled(ID_MENU_ABOUT));
            // The canvas shows the picture without the mask.
            EXPECT_FALSE(ui.paintPanel->maskShown);
        });
        Click(ui.btnKerv);
        ASSERT_TRUE(checked);
        EXPECT_FALSE(ui.bCalculating);
        expect(sizeControls, !paint);
        expect(brush, paint);
        expect(maskButtons, paint);
        expect(others, true);
        expectCommands(true);
        EXPECT_EQ(ui.paintPanel->paintEnabled, paint);
        CloseQuietly(frame);
    }
}

TEST_F(KervRunTest, EveryRunEndsWithAFreshBlackMaskOfTheNewSizeAndCountsAsAChange)
{
    // Targets equal to the size carve nothing, but clear the mask all the same.
    for (const wxSize target : {wxSize(570, 380), wxSize(600, 400)}) {
        CMainFrame* frame = OpenCoffee();
        Ui(frame).checkAnimated->SetValue(false);
        SetChecked(Ui(frame).checkEnableMask, true);
        PaintProtectAndDelete(frame);
        EXPECT_FALSE(Ui(frame).btnResetSize->IsEnabled());
        SetTargets(frame, target.x, target.y);
        Click(Ui(frame).btnKerv);

        EXPECT_EQ(Ui(frame).pDP->cols, target.x);
        EXPECT_EQ(Ui(frame).pDP->rows, target.y);
        const wxImage mask = MaskImage(frame);
        ASSERT_TRUE(mask.IsOk());
        EXPECT_EQ(mask.GetSize(), target);
        EXPECT_EQ(CountPixels(mask, 0, 0, 0), target.x * target.y);
        EXPECT_TRUE(Ui(frame).paintPanel->maskShown);
        EXPECT_FALSE(Ui(frame).paintPanel->maskChanged);
        EXPECT_TRUE(frame->Session().IsModified());
        EXPECT_TRUE(Ui(frame).btnResetSize->IsEnabled());
        CloseQuietly(frame);
    }
}

// The limit is checked as for the immediate controls (tested with them).
TEST_F(KervRunTest, TargetsBelowOnePixelAreRefusedBeforeTheRun)
{
    CMainFrame* frame = OpenCoffee();
    struct Case {
        const char* width;
        const char* height;
        const char* message;
    };
    const Case cases[] = {
        {"0", "400", "The target width 0 is below 1 pixel."},
        {"600", " -3px", "The target height -3 is below 1 pixel."},
    };
    for (const Case& c : cases) {
        Ui(frame).textAbsWidth->ChangeValue(c.width);
        Ui(frame).textAbsHeight->ChangeValue(c.height);
        wxTEST_DIALOG(Click(Ui(frame).btnKerv), ExpectMessageBox(c.message, "Error"));
        EXPECT_EQ(Ui(frame).pDP->cols, 600);
        EXPECT_EQ(Ui(frame).pDP->rows, 400);
        EXPECT_FALSE(Ui(frame).bCalculating);
        EXPECT_FALSE(frame->Session().IsModified());
        EXPECT_TRUE(Ui(frame).btnKerv->IsEnabled());
    }
}

TEST_F(KervRunTest, AForcedCloseDuringTheRunStopsItAndThenClosesTheWindow)
{
    CMainFrame* frame = OpenCoffee();
    Ui(frame).checkAnimated->SetValue(true);
    SetTargets(frame, 500, 400);
    int doneAtClose = -1;
    RepaintHook hook(frame, [&] {
        if (Ui(frame).bCalculating && doneAtClose < 0) {
            doneAtClose = Ui(frame).pStatusBar->gaugeProgress->GetValue();
            frame->Close(true);
            // Nothing is freed under the running loop.
            EXPECT_NE(Ui(frame).pDP, nullptr);
            EXPECT_TRUE(IsAlive(frame));
        }
    });
    Click(Ui(frame).btnKerv);
    ASSERT_GE(doneAtClose, 1);
    EXPECT_EQ(Ui(frame).pDP, nullptr);
    PumpEvents(30);
    EXPECT_FALSE(IsAlive(frame));
    EXPECT_TRUE(wxFileExists(SettingsFile()));
}

// The status bar's progress protocol: SetRange makes it busy, Finish idle; the gauge stays within
// its range. What "Abort" does is tested with the aborted runs.
using ProgressStatusBarTest = GuiTest;

TEST_F(ProgressStatusBarTest, ARunStepsTheGaugeWithinItsRangeAndAbortIsClearedByFinish)
{
    CMainFrame* frame = MakeFrame();
    ProgressStatusBar* bar = Ui(frame).pStatusBar;
    // What the bar gets when the window is resized.
    auto resize = [bar] {
        wxSizeEvent size(bar->GetSize(), bar->GetId());
        size.SetEventObject(bar);
        bar->GetEventHandler()->ProcessEvent(size);
    };
    bar->SetRange(-3);
    EXPECT_EQ(bar->gaugeProgress->GetRange(), 3);
    for (int expected : {1, 2, 3, 3}) {
        bar->Step();
        EXPECT_EQ(bar->gaugeProgress->GetValue(), expected);
    }
    bar->SetProgress(-2);
    EXPECT_EQ(bar->gaugeProgress->GetValue(), 0);
    // Resizing the window during the run keeps "Abort" available.
    resize();
    EXPECT_TRUE(bar->btnProgressCancel->IsEnabled());
    bar->Finish();
    resize();
    EXPECT_FALSE(bar->gaugeProgress->IsEnabled());
    EXPECT_FALSE(bar->btnProgressCancel->IsEnabled());
}

// The start of a run shows the gauge and "Abort" enabled in one repaint: the theme's fade from
// the disabled look, a repaint at every frame for a fifth of a second, would fill the run's
// yields.
TEST_F(ProgressStatusBarTest, ARunsStartRepaintsTheStatusBarOnceNotFrameByFrame)
{
    CMainFrame* frame = MakeFrame();
    ProgressStatusBar* bar = Ui(frame).pStatusBar;
    PumpEvents(500);                         // the window's own first paints and fades
    auto paints = std::make_shared<int>(0);  // the handler outlives the test's frame
    bar->Bind(wxEVT_PAINT, [paints](wxPaintEvent& event) {
        ++*paints;
        event.Skip();
    });
    bar->SetRange(100);
    PumpEvents(50);
    EXPECT_GE(*paints, 1) << "the enabled gauge was never shown";
    // A fade would go on repainting for the next 150 ms, at every frame of the display.
    const int shown = *paints;
    PumpEvents(250);
    EXPECT_LE(*paints - shown, 2);
    bar->Finish();
}
