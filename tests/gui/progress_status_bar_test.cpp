// SPDX-License-Identifier: GPL-3.0-or-later
// The status bar's progress protocol: SetRange makes it busy, Finish idle, "Abort" sets the
// frame's cancel flag.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/gauge.h>

#include "frame_access.h"
#include "gui_test_support.h"
#include "main_frame.h"
#include "main_frame_ids.h"
#include "progress_status_bar.h"

using ProgressStatusBarTest = GuiTest;

namespace {

void ClickAbort(ProgressStatusBar* bar)
{
    wxCommandEvent click(wxEVT_BUTTON, ID_BTN_PROGRESS_CANCEL);
    click.SetEventObject(bar->btnProgressCancel);
    bar->btnProgressCancel->GetEventHandler()->ProcessEvent(click);
}

void Resize(ProgressStatusBar* bar)
{
    wxSizeEvent size(bar->GetSize(), bar->GetId());
    size.SetEventObject(bar);
    bar->GetEventHandler()->ProcessEvent(size);
}

}  // namespace

TEST_F(ProgressStatusBarTest, HasThreeEqualFieldsAndStartsIdle)
{
    CMainFrame* frame = MakeFrame();
    ProgressStatusBar* bar = Ui(frame).pStatusBar;
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(frame->GetStatusBar(), bar);
    EXPECT_EQ(bar->GetName(), "statusBar");
    EXPECT_EQ(bar->GetFieldsCount(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(bar->GetStatusWidth(i), -1);
    EXPECT_EQ(bar->pFrame, frame);
    EXPECT_EQ(bar->btnProgressCancel->GetId(), ID_BTN_PROGRESS_CANCEL);
    EXPECT_EQ(bar->btnProgressCancel->GetLabel(), "Abort");
    EXPECT_EQ(bar->btnProgressCancel->GetFont().GetPointSize(), 8);
    EXPECT_TRUE(bar->gaugeProgress->IsShown());
    EXPECT_TRUE(bar->btnProgressCancel->IsShown());
    EXPECT_FALSE(bar->gaugeProgress->IsEnabled());
    EXPECT_FALSE(bar->btnProgressCancel->IsEnabled());
    EXPECT_EQ(bar->gaugeProgress->GetValue(), 0);
    EXPECT_FALSE(Ui(frame).bCancelCalc);
}

TEST_F(ProgressStatusBarTest, GaugeAndAbortSitInTheMiddleField)
{
    CMainFrame* frame = MakeFrame();
    ProgressStatusBar* bar = Ui(frame).pStatusBar;
    Resize(bar);
    wxRect field;
    ASSERT_TRUE(bar->GetFieldRect(1, field));
    const wxRect button = bar->btnProgressCancel->GetRect();
    EXPECT_EQ(button.x, field.x + field.width - 100);
    EXPECT_EQ(button.width, 96);
    const wxRect gauge = bar->gaugeProgress->GetRect();
    EXPECT_EQ(gauge.x, field.x + 2);
    EXPECT_EQ(gauge.width, field.width - 104);
    EXPECT_LT(gauge.GetRight(), button.x);
}

TEST_F(ProgressStatusBarTest, SetRangeTakesTheMagnitudeAndMakesTheBarBusy)
{
    CMainFrame* frame = MakeFrame();
    ProgressStatusBar* bar = Ui(frame).pStatusBar;
    bar->SetRange(-40);
    EXPECT_EQ(bar->nRange, 40);
    EXPECT_EQ(bar->gaugeProgress->GetRange(), 40);
    EXPECT_EQ(bar->gaugeProgress->GetValue(), 0);
    EXPECT_TRUE(bar->gaugeProgress->IsEnabled());
    EXPECT_TRUE(bar->btnProgressCancel->IsEnabled());

    bar->SetProgress(bar->gaugeProgress->GetValue() + 1);
    bar->SetProgress(bar->gaugeProgress->GetValue() + 1);
    EXPECT_EQ(bar->gaugeProgress->GetValue(), 2);
}

TEST_F(ProgressStatusBarTest, EveryStepAdvancesTheGaugeByOneUpToTheRange)
{
    CMainFrame* frame = MakeFrame();
    ProgressStatusBar* bar = Ui(frame).pStatusBar;
    bar->SetRange(300);
    for (int i = 1; i <= 300; ++i) {
        bar->Step();
        ASSERT_EQ(bar->gaugeProgress->GetValue(), i);
    }
    bar->Step();
    EXPECT_EQ(bar->gaugeProgress->GetValue(), 300);
}

TEST_F(ProgressStatusBarTest, ProgressBeyondTheRangeIsHeldAtItsEnds)
{
    CMainFrame* frame = MakeFrame();
    ProgressStatusBar* bar = Ui(frame).pStatusBar;
    bar->SetRange(3);
    bar->SetProgress(5);
    EXPECT_EQ(bar->gaugeProgress->GetValue(), 3);
    bar->SetProgress(-2);
    EXPECT_EQ(bar->gaugeProgress->GetValue(), 0);
}

TEST_F(ProgressStatusBarTest, AbortSetsTheFramesCancelFlagAndFinishClearsIt)
{
    CMainFrame* frame = MakeFrame();
    ProgressStatusBar* bar = Ui(frame).pStatusBar;
    bar->SetRange(10);
    bar->SetProgress(4);
    ClickAbort(bar);
    EXPECT_TRUE(Ui(frame).bCancelCalc);

    bar->Finish();
    EXPECT_FALSE(Ui(frame).bCancelCalc);
    EXPECT_EQ(bar->gaugeProgress->GetValue(), 0);
    EXPECT_FALSE(bar->gaugeProgress->IsEnabled());
    EXPECT_FALSE(bar->btnProgressCancel->IsEnabled());
}

TEST_F(ProgressStatusBarTest, ResizingDuringARunKeepsAbortAvailable)
{
    CMainFrame* frame = MakeFrame();
    ProgressStatusBar* bar = Ui(frame).pStatusBar;
    bar->SetRange(10);
    Resize(bar);
    frame->SetSize(frame->GetSize() + wxSize(40, 0));
    PumpEvents(30);
    EXPECT_TRUE(bar->btnProgressCancel->IsEnabled());
    EXPECT_TRUE(bar->gaugeProgress->IsEnabled());

    bar->Finish();
    Resize(bar);
    EXPECT_FALSE(bar->btnProgressCancel->IsEnabled());
}

TEST_F(ProgressStatusBarTest, StatusTextReachesTheToolkitsField)
{
    CMainFrame* frame = MakeFrame();
    Ui(frame).pStatusBar->SetStatusText("640 x 480", 2);
    EXPECT_EQ(Ui(frame).pStatusBar->GetStatusText(2), "640 x 480");
}
