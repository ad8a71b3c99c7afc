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

TEST_F(ProgressStatusBarTest, GaugeAndAbortSitInTheMiddleFieldIdleUntilARunStarts)
{
    CMainFrame* frame = MakeFrame();
    ProgressStatusBar* bar = Ui(frame).pStatusBar;
    Resize(bar);
    EXPECT_FALSE(bar->gaugeProgress->IsEnabled());
    EXPECT_FALSE(bar->btnProgressCancel->IsEnabled());
    wxRect field;
    ASSERT_TRUE(bar->GetFieldRect(1, field));
    const wxRect button = bar->btnProgressCancel->GetRect();
    EXPECT_EQ(button.x, field.x + field.width - 100);
    EXPECT_EQ(button.width, 96);
    const wxRect gauge = bar->gaugeProgress->GetRect();
    EXPECT_EQ(gauge.x, field.x + 2);
    EXPECT_EQ(gauge.width, field.width - 104);
}

TEST_F(ProgressStatusBarTest, ARunStepsTheGaugeWithinItsRangeAndAbortIsClearedByFinish)
{
    CMainFrame* frame = MakeFrame();
    ProgressStatusBar* bar = Ui(frame).pStatusBar;
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
    Resize(bar);
    PumpEvents(30);
    EXPECT_TRUE(bar->btnProgressCancel->IsEnabled());
    ClickAbort(bar);
    EXPECT_TRUE(Ui(frame).bCancelCalc);

    bar->Finish();
    EXPECT_FALSE(Ui(frame).bCancelCalc);
    EXPECT_EQ(bar->gaugeProgress->GetValue(), 0);
    Resize(bar);
    EXPECT_FALSE(bar->gaugeProgress->IsEnabled());
    EXPECT_FALSE(bar->btnProgressCancel->IsEnabled());
}
