// SPDX-License-Identifier: GPL-3.0-or-later
// The Kerv run: carving to the absolute targets in one run, with the mask when painting is on,
// against kerv-cli as the reference; the order of its steps, "Abort", calculation mode, the
// fresh mask at the end, a close that cannot be refused, and targets refused before the run.
#include <cstdlib>
#include <memory>
#include <vector>

#include <algorithm>

#include <wx/evtloop.h>
#include <wx/toplevel.h>
#include <wx/utils.h>
#include <wx/weakref.h>

#include "frame_access.h"
#include "gui_test_support.h"

namespace {

// Runs a body at every repaint of the canvas while it lives (the run repaints the canvas at
// every step when animated, inside its yield to the event loop).
class RepaintHook {
public:
    RepaintHook(CMainFrame* frame, std::function<void()> body)
        : panel_(Ui(frame).paintPanel), body_(std::move(body))
    {
        panel_->Bind(wxEVT_PAINT, &RepaintHook::OnPaint, this);
    }
    ~RepaintHook()
    {
        if (panel_)
            panel_->Unbind(wxEVT_PAINT, &RepaintHook::OnPaint, this);
    }

private:
    void OnPaint(wxPaintEvent& event)
    {
        body_();
        event.Skip();
    }

    wxWeakRef<CPaintPanel> panel_;
    std::function<void()> body_;
};

class KervRunTest : public GuiTest {
protected:
    void SetUp() override
    {
        GuiTest::SetUp();
        // The run yields to the event loop between steps only when one is active, as the
        // program's main loop is.
        activeLoop = std::make_unique<wxEventLoopActivator>(&loop);
    }
    void TearDown() override
    {
        activeLoop.reset();
        GuiTest::TearDown();
    }

    // A window with the coffee photo (600 x 400) open.
    CMainFrame* OpenCoffee()
    {
        CMainFrame* frame = MakeFrame();
        OpenPicture(frame, CopySample("coffee.png", work));
        EXPECT_EQ(frame->Session().CurrentWidth(), 600);
        EXPECT_EQ(frame->Session().CurrentHeight(), 400);
        return frame;
    }

    // The kerv-cli result for the picture, an optional mask and the targets.
    wxImage CliResult(const wxString& picture, const wxString& mask, int width, int height)
    {
        const wxString output = work + "/cli-result.png";
        wxString command =
            wxString::Format("\"%s\" -q --width %d --height %d ", KERV_CLI, width, height);
        if (!mask.empty())
            command += "--mask \"" + mask + "\" ";
        command += "\"" + picture + "\" \"" + output + "\"";
        EXPECT_EQ(std::system(command.utf8_str()), 0) << command;
        return wxImage(output);
    }

    wxGUIEventLoop loop;
    std::unique_ptr<wxEventLoopActivator> activeLoop;

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

TEST_F(KervRunTest, WithoutPaintingTheResultEqualsKervCliPixelForPixel)
{
    CMainFrame* frame = OpenCoffee();
    const wxString picture = frame->Session().FileName();
    Ui(frame).checkAnimated->SetValue(false);
    SetTargets(frame, 560, 410);
    Click(Ui(frame).btnKerv);

    EXPECT_EQ(frame->Session().CurrentWidth(), 560);
    EXPECT_EQ(frame->Session().CurrentHeight(), 410);
    EXPECT_TRUE(SamePixels(Ui(frame).pDP->GetColourImage().AsImage(),
                           CliResult(picture, wxString(), 560, 410)));
}

TEST_F(KervRunTest, WithAPaintedMaskTheResultEqualsKervCliWithTheSavedMask)
{
    CMainFrame* frame = OpenCoffee();
    const wxString picture = frame->Session().FileName();
    Ui(frame).checkAnimated->SetValue(false);
    SetChecked(Ui(frame).checkEnableMask, true);
    PaintProtectAndDelete(frame);
    const wxString maskFile = work + "/coffee_mask.bmp";
    wxTEST_DIALOG(Click(Ui(frame).btnSaveMask), ExpectFileDialog(maskFile, maskFile, "Save Mask"));
    ASSERT_TRUE(wxFileExists(maskFile));

    SetTargets(frame, 530, 370);
    Click(Ui(frame).btnKerv);

    EXPECT_EQ(frame->Session().CurrentWidth(), 530);
    EXPECT_EQ(frame->Session().CurrentHeight(), 370);
    const wxImage gui = Ui(frame).pDP->GetColourImage().AsImage().Copy();
    EXPECT_TRUE(SamePixels(gui, CliResult(picture, maskFile, 530, 370)));
    // The mask changed the result: without it the seams run elsewhere.
    EXPECT_FALSE(SamePixels(gui, CliResult(picture, wxString(), 530, 370)));
}

TEST_F(KervRunTest, AbortLeavesExactlyTheStepsDone)
{
    CMainFrame* frame = OpenCoffee();
    Ui(frame).checkAnimated->SetValue(true);
    SetTargets(frame, 560, 410);
    // The order of the steps is the session's (tested there); here the gauge and "Abort".
    int doneAtAbort = -1;
    int range = -1;
    // "Abort" from the first progress update of the run, which yields to an active loop.
    wxTimer progress;
    progress.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        const int done = Ui(frame).pStatusBar->gaugeProgress->GetValue();
        range = Ui(frame).pStatusBar->nRange;
        if (Ui(frame).bCalculating && doneAtAbort < 0 && done >= 1) {
            doneAtAbort = done;
            Click(Ui(frame).pStatusBar->btnProgressCancel);
        }
    });
    progress.StartOnce(1);
    wxMilliSleep(5);
    Click(Ui(frame).btnKerv);

    ASSERT_GE(doneAtAbort, 1);
    ASSERT_LT(doneAtAbort, 40);
    EXPECT_EQ(range, 40);
    EXPECT_EQ(Ui(frame).pStatusBar->gaugeProgress->GetValue(), 0);
    EXPECT_EQ(frame->Session().CurrentWidth(), 600 - doneAtAbort);
    EXPECT_EQ(frame->Session().CurrentHeight(), 400 + std::min(doneAtAbort, 10));
    EXPECT_EQ(Ui(frame).pDP->cols, frame->Session().CurrentWidth());
    EXPECT_FALSE(Ui(frame).bCancelCalc);
    EXPECT_FALSE(Ui(frame).bCalculating);
    EXPECT_TRUE(Ui(frame).btnKerv->IsEnabled());
}

// During the run only the targets, "Abort", exit and help can be used; afterwards painting decides
// whether the mask group or the immediate size controls come back.
TEST_F(KervRunTest, TheWindowIsLockedDuringTheRunAndPaintingDecidesWhatComesBack)
{
    for (bool paint : {false, true}) {
        SCOPED_TRACE(paint);
        CMainFrame* frame = OpenCoffee();
        const auto ui = Ui(frame);
        ui.pFileHistory->AddFileToHistory(frame->Session().FileName());
        ui.checkAnimated->SetValue(true);
        SetChecked(ui.checkEnableMask, paint);
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
            // A dropped file is refused and a second run does not start.
            DP* engine = Ui(frame).pDP;
            EXPECT_FALSE(frame->Drop(wxArrayString(1, &frame->Session().FileName())));
            EXPECT_EQ(Ui(frame).pDP, engine);
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

TEST_F(KervRunTest, AnUnanimatedRunRepaintsOnlyAtTheEnd)
{
    CMainFrame* frame = OpenCoffee();
    int paintsDuringRun = 0;
    RepaintHook hook(frame, [&] {
        if (Ui(frame).bCalculating)
            ++paintsDuringRun;
    });
    Ui(frame).checkAnimated->SetValue(false);
    SetTargets(frame, 540, 400);
    Click(Ui(frame).btnKerv);
    EXPECT_LE(paintsDuringRun, 2);
    EXPECT_EQ(frame->Session().CurrentWidth(), 540);
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

TEST_F(KervRunTest, TargetsBelowOnePixelOrBeyondTheLimitsAreRefusedBeforeTheRun)
{
    CMainFrame* frame = OpenCoffee();
    struct Case {
        const char* width;
        const char* height;
        const char* message;
    };
    const Case cases[] = {
        {"0", "400", "The target width 0 is below 1 pixel."},
        {"-20", "400", "The target width -20 is below 1 pixel."},
        {"abc", "400", "The target width 0 is below 1 pixel."},
        {"600", " -3px", "The target height -3 is below 1 pixel."},
        {"32001", "400",
         "The target size 32001 x 400 exceeds the limit of 32000 pixels a side "
         "and 100000000 pixels in all."},
        {"20000", "20000",
         "The target size 20000 x 20000 exceeds the limit of 32000 pixels a "
         "side and 100000000 pixels in all."},
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

// The status bar's progress protocol: SetRange makes it busy, Finish idle, "Abort" sets the
// frame's cancel flag.
using ProgressStatusBarTest = GuiTest;

TEST_F(ProgressStatusBarTest, ARunStepsTheGaugeWithinItsRangeAndAbortIsClearedByFinish)
{
    CMainFrame* frame = MakeFrame();
    ProgressStatusBar* bar = Ui(frame).pStatusBar;
    auto resize = [bar] {
        wxSizeEvent size(bar->GetSize(), bar->GetId());
        size.SetEventObject(bar);
        bar->GetEventHandler()->ProcessEvent(size);
    };
    bar->SetRange(-300);
    EXPECT_EQ(bar->nRange, 300);
    EXPECT_EQ(bar->gaugeProgress->GetRange(), 300);
    EXPECT_TRUE(bar->gaugeProgress->IsEnabled());
    EXPECT_TRUE(bar->btnProgressCancel->IsEnabled());
    for (int i = 1; i <= 300; ++i) {
        bar->Step();
        ASSERT_EQ(bar->gaugeProgress->GetValue(), i);
    }
    bar->Step();
    EXPECT_EQ(bar->gaugeProgress->GetValue(), 300);
    bar->SetProgress(-2);
    EXPECT_EQ(bar->gaugeProgress->GetValue(), 0);

    // Resizing the window during the run keeps "Abort" available.
    frame->SetSize(frame->GetSize() + wxSize(40, 0));
    resize();
    PumpEvents(30);
    EXPECT_TRUE(bar->btnProgressCancel->IsEnabled());
    Click(bar->btnProgressCancel);
    EXPECT_TRUE(Ui(frame).bCancelCalc);

    bar->Finish();
    EXPECT_FALSE(Ui(frame).bCancelCalc);
    EXPECT_EQ(bar->gaugeProgress->GetValue(), 0);
    resize();
    EXPECT_FALSE(bar->gaugeProgress->IsEnabled());
    EXPECT_FALSE(bar->btnProgressCancel->IsEnabled());
}
