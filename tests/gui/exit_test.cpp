// SPDX-License-Identifier: GPL-3.0-or-later
// Leaving the program: the exit question, its standing answer, and the settings written on the
// way out.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/checkbox.h>
#include <wx/config.h>
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/toplevel.h>

#include "dp.h"
#include "fast_image.h"
#include "frame_access.h"
#include "gui_test_support.h"
#include "main_frame.h"
#include "main_frame_ids.h"

namespace {

class ExitTest : public GuiTest {
protected:
    // Asks the frame to close as the Exit command does and reports whether it is going.
    bool ChooseExit(CMainFrame* frame)
    {
        wxCommandEvent exit(wxEVT_MENU, ID_MENU_EXIT);
        exit.SetEventObject(frame);
        frame->GetEventHandler()->ProcessEvent(exit);
        const bool going = wxPendingDelete.Member(frame);
        PumpEvents(20);
        return going;
    }

    bool IsAlive(CMainFrame* frame)
    {
        for (wxWindow* window : wxTopLevelWindows)
            if (window == frame)
                return true;
        return false;
    }

    // The settings as they were written to the disk.
    long StoredOnDisk(const wxString& key, long fallback = -12345)
    {
        wxFileConfig file(wxEmptyString, wxEmptyString, SettingsFile(), wxEmptyString,
                          wxCONFIG_USE_LOCAL_FILE);
        return file.ReadLong(key, fallback);
    }
};

}  // namespace

TEST_F(ExitTest, ExitAsksReallyQuitAndNoKeepsTheWindowOpen)
{
    CMainFrame* frame = MakeFrame();
    bool going = true;
    wxTEST_DIALOG(going = ChooseExit(frame),
                  wxExpectModal<CDontShowDialog>(0, false, "Really quit?", "Question"));
    EXPECT_FALSE(going);
    EXPECT_TRUE(IsAlive(frame));
    EXPECT_FALSE(wxFileExists(SettingsFile()));
    EXPECT_NE(Ui(frame).pFileHistory, nullptr);
}

TEST_F(ExitTest, YesWritesLookAndOperationToTheSettingsFile)
{
    CMainFrame* frame = MakeFrame();
    frame->Move(31, 42);
    frame->SetSize(733, 544);
    Ui(frame).checkAnimated->SetValue(false);
    PumpEvents(20);
    const wxPoint position = frame->GetPosition();
    const wxSize size = frame->GetSize();

    bool going = false;
    wxTEST_DIALOG(going = ChooseExit(frame), wxExpectModal<CDontShowDialog>(1));
    EXPECT_TRUE(going);
    EXPECT_FALSE(IsAlive(frame));

    ASSERT_TRUE(wxFileExists(SettingsFile()));
    EXPECT_EQ(StoredOnDisk("/Look/x"), position.x);
    EXPECT_EQ(StoredOnDisk("/Look/y"), position.y);
    EXPECT_EQ(StoredOnDisk("/Look/w"), size.x);
    EXPECT_EQ(StoredOnDisk("/Look/h"), size.y);
    EXPECT_EQ(StoredOnDisk("/Operation/AnimatedKerv"), 0);
    EXPECT_EQ(StoredOnDisk("/Operation/MaintainAspect"), 1);
    // Not ticked: the question stays.
    EXPECT_EQ(StoredOnDisk("/Confirmations/OnExit"), -12345);
}

TEST_F(ExitTest, ClosingReleasesTheEngineTheStoreTheHandlerListAndTheFileHistory)
{
    CMainFrame* frame = MakeFrame();
    ShowPicture(frame, wxFastImage(8, 6));
    ASSERT_FALSE(wxFastImage::sm_handlers.IsEmpty());
    wxTEST_DIALOG(frame->Close(false), wxExpectModal<CDontShowDialog>(1));
    EXPECT_TRUE(wxFastImage::sm_handlers.IsEmpty());
    EXPECT_EQ(wxConfigBase::Get(false), nullptr);
    EXPECT_EQ(Ui(frame).pFileHistory, nullptr);
    EXPECT_EQ(Ui(frame).pDP, nullptr);
    PumpEvents(20);
    EXPECT_FALSE(IsAlive(frame));
}

TEST_F(ExitTest, StoredSettingsComeBackAtTheNextStart)
{
    CMainFrame* first = MakeFrame();
    first->Move(55, 66);
    first->SetSize(640, 470);
    Ui(first).checkAspect->SetValue(false);
    PumpEvents(20);
    wxTEST_DIALOG(first->Close(false), wxExpectModal<CDontShowDialog>(1));
    PumpEvents(20);

    CMainFrame* second = MakeFrame();
    EXPECT_EQ(second->GetPosition(), wxPoint(55, 66));
    EXPECT_EQ(second->GetSize(), wxSize(640, 470));
    EXPECT_FALSE(Ui(second).checkAspect->GetValue());
    EXPECT_TRUE(Ui(second).checkAnimated->GetValue());
}

TEST_F(ExitTest, TickedYesIsRemembered)
{
    CMainFrame* frame = MakeFrame();
    wxTEST_DIALOG(frame->Close(false), wxExpectModal<CDontShowDialog>(1, true));
    PumpEvents(20);
    EXPECT_EQ(StoredOnDisk("/Confirmations/OnExit"), 1);
}

// A standing answer (any number but 0 counts as yes), the close for an update and a close
// during a calculation (refused) ask nothing; the settings are written only when it closes.
TEST_F(ExitTest, SomeClosesAskNothing)
{
    struct Case {
        long stored;  // -1: none
        bool forUpdate, calculating, closes;
    };
    for (const Case& c : {Case{1, false, false, true}, Case{5, false, false, true},
                          Case{-1, true, false, true}, Case{-1, false, true, false}}) {
        SCOPED_TRACE(::testing::Message() << c.stored << c.forUpdate << c.calculating);
        if (wxFileExists(SettingsFile()))
            wxRemoveFile(SettingsFile());
        if (c.stored != -1)
            wxConfigBase::Get()->Write("/Confirmations/OnExit", c.stored);
        CMainFrame* frame = MakeFrame();
        Ui(frame).bCloseForUpdate = c.forUpdate;
        Ui(frame).bCalculating = c.calculating;
        {
            wxTestingModalHook noDialogMayAppear(__FILE__, __LINE__);
            EXPECT_EQ(frame->Close(false), c.closes);
        }
        PumpEvents(20);
        EXPECT_EQ(IsAlive(frame), !c.closes);
        EXPECT_EQ(wxFileExists(SettingsFile()), c.closes);
        if (!c.closes)
            CloseQuietly(frame);
        delete wxConfigBase::Set(nullptr);
    }
}

TEST_F(ExitTest, ForcedCloseDuringACalculationStopsTheRunAndWaitsForIt)
{
    CMainFrame* frame = MakeFrame();
    ShowPicture(frame, wxFastImage(8, 6));
    DP* engine = Ui(frame).pDP;
    Ui(frame).bCalculating = true;
    {
        wxTestingModalHook noDialogMayAppear(__FILE__, __LINE__);
        frame->Close(true);
    }
    PumpEvents(20);
    // The run still on the stack keeps its window and its engine until it unwinds.
    EXPECT_TRUE(IsAlive(frame));
    EXPECT_FALSE(wxPendingDelete.Member(frame));
    EXPECT_EQ(Ui(frame).pDP, engine);
    EXPECT_EQ(engine->cols, 8);
    EXPECT_TRUE(Ui(frame).bCancelCalc);
    EXPECT_TRUE(Ui(frame).bCloseAfterCalc);
    // The open wrote the recent files; the settings of the close are not written yet.
    EXPECT_FALSE(ReadTextFile(SettingsFile()).Contains("[Look]"));

    // The run ends and closes the window as asked.
    Ui(frame).bCalculating = false;
    frame->Close(true);
    EXPECT_EQ(Ui(frame).pDP, nullptr);
    PumpEvents(20);
    EXPECT_FALSE(IsAlive(frame));
    EXPECT_TRUE(wxFileExists(SettingsFile()));
}
