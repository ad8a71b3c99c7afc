// SPDX-License-Identifier: GPL-3.0-or-later
// Leaving the program: the exit question, its standing answer, and the settings written on the
// way out.
#include <wx/fileconf.h>
#include <wx/filename.h>
#include <wx/toplevel.h>

#include "fast_image.h"
#include "frame_access.h"
#include "gui_test_support.h"
#include "main_app.h"

using ExitTest = GuiTest;

// A stored zero clears an option and any other number ticks it.
TEST_F(ExitTest, StoredSettingsComeBackAtTheNextStart)
{
    wxConfigBase::Get()->Write("/Operation/AnimatedKerv", 7);
    CMainFrame* first = MakeFrame();
    EXPECT_TRUE(Ui(first).checkAnimated->GetValue());
    first->Move(55, 66);
    first->SetSize(640, 470);
    Ui(first).checkAspect->SetValue(false);
    PumpEvents(20);
    wxTEST_DIALOG(SendMenu(first, ID_MENU_EXIT), wxExpectModal<CDontShowDialog>(1));
    PumpEvents(20);

    CMainFrame* second = MakeFrame();
    EXPECT_EQ(second->GetPosition(), wxPoint(55, 66));
    EXPECT_EQ(second->GetSize(), wxSize(640, 470));
    EXPECT_FALSE(Ui(second).checkAspect->GetValue());
    EXPECT_TRUE(Ui(second).checkAnimated->GetValue());
}

// A standing answer (any number but 0 counts as yes), the close for an update and a close
// during a calculation (refused) ask nothing; the settings are written only when it closes, and
// what the window holds is released.
TEST_F(ExitTest, SomeClosesAskNothingAndEachCloseReleasesWhatTheWindowHolds)
{
    struct Case {
        long stored;  // -1: none
        bool forUpdate, calculating, closes;
    };
    for (const Case& c : {Case{1, false, false, true}, Case{5, false, false, true},
                          Case{-1, true, false, true}, Case{-1, false, true, false}}) {
        SCOPED_TRACE(::testing::Message() << c.stored << c.forUpdate << c.calculating);
        if (c.stored != -1)
            wxConfigBase::Get()->Write("/Confirmations/OnExit", c.stored);
        CMainFrame* frame = FrameShowing(8, 6, false);
        // The recent files reached the disk at the open.
        if (wxFileExists(SettingsFile()))
            wxRemoveFile(SettingsFile());
        Ui(frame).bCloseForUpdate = c.forUpdate;
        Ui(frame).bCalculating = c.calculating;
        {
            wxTestingModalHook noDialogMayAppear(__FILE__, __LINE__);
            EXPECT_EQ(frame->Close(false), c.closes);
        }
        if (c.closes) {
            // The close released the engine, the store, the handler list and the file history.
            EXPECT_EQ(Ui(frame).pDP, nullptr);
            EXPECT_EQ(Ui(frame).pFileHistory, nullptr);
            EXPECT_EQ(wxConfigBase::Get(false), nullptr);
            EXPECT_TRUE(wxFastImage::sm_handlers.IsEmpty());
            MainApp::RegisterFastImageHandlers();
        }
        PumpEvents(20);
        EXPECT_EQ(IsAlive(frame), !c.closes);
        EXPECT_EQ(wxFileExists(SettingsFile()), c.closes);
        if (!c.closes)
            CloseQuietly(frame);
        delete wxConfigBase::Set(nullptr);
    }
}
