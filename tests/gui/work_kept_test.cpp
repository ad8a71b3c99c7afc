// SPDX-License-Identifier: GPL-3.0-or-later
// The user's work is never lost and the user never trapped: unsaved changes are asked about on
// every close and before an update, a failed open keeps the picture, the painted mask is applied
// or the run refused, typed sizes that are no number carve nothing, and the recent files reach
// the disk at once.
#include <cstdlib>

#include <wx/file.h>
#include <wx/fileconf.h>
#include <wx/utils.h>

#include "frame_access.h"
#include "gui_test_support.h"

namespace {

class WorkKeptTest : public GuiTest {
protected:
    // A window with a 150 x 90 picture whose width was changed: modified.
    CMainFrame* ModifiedFrame()
    {
        picture = work + "/beach.png";
        WriteTestPicture(picture, 150, 90, 5);
        CMainFrame* frame = MakeFrame();
        OpenThroughDialog(frame, picture);
        frame->WidthChange(140);
        EXPECT_TRUE(frame->Session().IsModified());
        return frame;
    }

    wxString picture;
};

}  // namespace

// Whatever answer to "Really quit?" is stored; a close that Kerv itself asks for to let the
// updater run asks too.
TEST_F(WorkKeptTest, UnsavedChangesAreAskedOnEveryCloseAndBeforeAnUpdate)
{
    CMainFrame* frame = ModifiedFrame();
    wxConfigBase::Get()->Write("/Confirmations/OnExit", 1L);
    DP* engine = Ui(frame).pDP;
    const ExpectAnswer no(wxID_NO, "Dismiss Changes?", "Image not Saved");
    // "No": the updater is not started (the build's own lies beside this test program).
    wxTEST_DIALOG(frame->DoUpdate("9.99"), no);
    PumpEvents(20);
    EXPECT_FALSE(Ui(frame).bCloseForUpdate);
    wxTEST_DIALOG(SendMenu(frame, ID_MENU_EXIT), no);
    // What Alt+F4 and the close box send.
    wxTEST_DIALOG(frame->Close(false), no);
    PumpEvents(20);
    ASSERT_TRUE(IsAlive(frame));
    EXPECT_EQ(Ui(frame).pDP, engine);
    EXPECT_EQ(frame->Session().CurrentWidth(), 140);
    EXPECT_TRUE(frame->Session().IsModified());
    wxTEST_DIALOG(frame->Close(false),
                  ExpectAnswer(wxID_YES, "Dismiss Changes?", "Image not Saved"));
    PumpEvents(20);
    EXPECT_FALSE(IsAlive(frame));
}

TEST_F(WorkKeptTest, AStandingNoToReallyQuitIsNeverStoredNorObeyed)
{
    CMainFrame* frame = MakeFrame();
    wxTEST_DIALOG(frame->Close(false),
                  wxExpectModal<CDontShowDialog>(0, true, "Really quit?", "Question"));
    EXPECT_EQ(wxConfigBase::Get()->ReadLong("/Confirmations/OnExit", -1), -1);

    wxConfigBase::Get()->Write("/Confirmations/OnExit", 0L);
    wxTEST_DIALOG(frame->Close(false), wxExpectModal<CDontShowDialog>(0, false, "Really quit?"));
    EXPECT_TRUE(IsAlive(frame));
    wxTEST_DIALOG(frame->Close(false), wxExpectModal<CDontShowDialog>(1, true, "Really quit?"));
    PumpEvents(20);
    EXPECT_FALSE(IsAlive(frame));
    wxFileConfig disk(wxEmptyString, wxEmptyString, SettingsFile(), wxEmptyString,
                      wxCONFIG_USE_LOCAL_FILE);
    EXPECT_EQ(disk.ReadLong("/Confirmations/OnExit", -1), 1);
}

// Each reason the session gives has its message (alpha itself is tested with the session; a
// transparent colour is refused the same way); a header that says 40000 pixels wide is refused
// before decoding, with the limit named.
TEST_F(WorkKeptTest, AFailedOpenKeepsThePictureAndNamesTheFileAndTheReason)
{
    wxFile(work + "/text.png", wxFile::write).Write("not a picture");
    wxFile(work + "/wide.ppm", wxFile::write).Write("P6\n40000 30\n255\n");
    ASSERT_EQ(std::system(("convert -size 30x20 xc:white -fill red -draw 'point 3,3' "
                           "-transparent red '" +
                           work + "/clear.gif'")
                              .utf8_str()),
              0);
    struct Case {
        const char* name;
        const char* reason;
        bool drop;
    };
    for (const Case& c :
         {Case{"missing.png", "The file does not exist.", true},
          Case{"text.png", "The file is not a picture in a format Kerv reads.", false},
          Case{"clear.gif", "Image with Alpha Channel not supported YET.", false},
          Case{"wide.ppm",
               "the picture is 40000 x 30 pixels, over the limit of 32000 pixels a side and "
               "100000000 pixels in all",
               false}}) {
        SCOPED_TRACE(c.name);
        const wxString path = work + "/" + c.name;
        CMainFrame* frame = ModifiedFrame();
        Ui(frame).textAbsWidth->SetValue("77");
        const wxBitmap* mask = Ui(frame).paintPanel->maskBitmap.get();
        DP* engine = Ui(frame).pDP;
        const wxString message = "Error opening image " + path + ":\n" + c.reason;
        if (c.drop) {
            wxArrayString names;
            names.Add(path);
            wxTEST_DIALOG(frame->Drop(names),
                          ExpectAnswer(wxID_YES, "Dismiss Changes?", "Image not Saved"),
                          ExpectMessageBox(message, "Error"));
        } else {
            wxTEST_DIALOG(SendMenu(frame, ID_MENU_OPEN),
                          ExpectAnswer(wxID_YES, "Dismiss Changes?", "Image not Saved"),
                          ExpectFileDialog(path), ExpectMessageBox(message, "Error"));
        }
        EXPECT_EQ(Ui(frame).pDP, engine);
        EXPECT_EQ(Ui(frame).paintPanel->maskBitmap.get(), mask);
        EXPECT_EQ(frame->Session().FileName(), picture);
        EXPECT_EQ(Ui(frame).pFileHistory->GetHistoryFile(0), picture);
        EXPECT_EQ(frame->GetTitle(), "Vandrel 0.67 - beach.png");
        EXPECT_EQ(Ui(frame).spinWidth->GetValue(), 140);
        EXPECT_TRUE(Ui(frame).spinWidth->IsEnabled());
        EXPECT_EQ(Ui(frame).textAbsWidth->GetValue(), "77");
        EXPECT_TRUE(frame->Session().IsModified());
        CloseQuietly(frame);
    }
}

// Painting and the runs exclude each other: painting cannot start under a run, stops a typed
// size from carving, and a mask that does not fit refuses the Kerv run before it carves.
TEST_F(WorkKeptTest, EnableIsRefusedDuringARunStopsTheTypingDelayAndAMaskThatDoesNotFitStopsKerv)
{
    CMainFrame* frame = ModifiedFrame();
    PictureSession& session = Ui(frame).session;
    ASSERT_TRUE(session.BeginRun(PictureSession::RunKind::Width));
    SetChecked(Ui(frame).checkEnableMask, true);
    EXPECT_FALSE(Ui(frame).checkEnableMask->GetValue());
    EXPECT_FALSE(Ui(frame).paintPanel->paintEnabled);
    session.EndRun(PictureSession::RunKind::Width);

    Ui(frame).timerWidth.StartOnce(1000);
    SetChecked(Ui(frame).checkEnableMask, true);
    EXPECT_FALSE(Ui(frame).timerWidth.IsRunning());
    // Whatever still comes from the immediate controls carves nothing under the mask.
    EXPECT_EQ(frame->WidthChange(120), 0);
    const wxBitmap* mask = Ui(frame).paintPanel->maskBitmap.get();
    ASSERT_NE(mask, nullptr);
    EXPECT_EQ(mask->GetSize(), wxSize(140, 90));

    Ui(frame).paintPanel->maskBitmap = std::make_unique<wxBitmap>(150, 90);
    Ui(frame).textAbsWidth->SetValue("100");
    wxTEST_DIALOG(ClickButton(frame, ID_BTN_KERV),
                  ExpectMessageBox("The painted mask does not have the picture's size, so it "
                                   "cannot be applied. Nothing was carved.",
                                   "Error"));
    EXPECT_EQ(frame->Session().CurrentWidth(), 140);
    EXPECT_FALSE(frame->IsCarving());
    EXPECT_TRUE(Ui(frame).btnKerv->IsEnabled());
}

TEST_F(WorkKeptTest, AfterAKervRunBeyondTwiceTheSizeOneSpinStepIsOneSeam)
{
    CMainFrame* frame = MakeFrame();
    const wxString small = work + "/small.png";
    WriteTestPicture(small, 20, 10, 4);
    OpenThroughDialog(frame, small);
    Ui(frame).textAbsWidth->SetValue("50");
    ClickButton(frame, ID_BTN_KERV);
    ASSERT_EQ(frame->Session().CurrentWidth(), 50);
    wxSpinCtrl* spin = Ui(frame).spinWidth;
    EXPECT_EQ(spin->GetValue(), 50);
    EXPECT_EQ(Ui(frame).sliderWidth->GetValue(), 50);
    spin->SetValue(spin->GetValue() - 1);
    wxSpinEvent step(wxEVT_SPINCTRL, ID_SPIN_WIDTH);
    step.SetEventObject(spin);
    step.SetPosition(spin->GetValue());
    frame->ProcessWindowEvent(step);
    EXPECT_EQ(frame->Session().CurrentWidth(), 49);
}
