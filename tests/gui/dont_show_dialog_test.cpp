// SPDX-License-Identifier: GPL-3.0-or-later
// CDontShowDialog: the question, its stored standing answer and its buttons.
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/stattext.h>

#include "gui_test_support.h"

namespace {
const char* const kKey = "/Confirmations/OnExit";

class DontShowDialogTest : public GuiTest {
protected:
    long Stored() { return wxConfigBase::Get()->ReadLong(kKey, -1); }
};

}  // namespace

TEST_F(DontShowDialogTest, EndCodesOneAndOkAreYesAndATickedBoxStoresTheAnswer)
{
    struct Case {
        int code;
        bool tick;
        int answer;
        long stored;  // -1: nothing
    };
    for (const Case& c :
         {Case{1, false, 1, -1}, Case{wxID_OK, false, 1, -1}, Case{0, false, 0, -1},
          Case{wxID_CANCEL, false, 0, -1}, Case{1, true, 1, 1}, Case{0, true, 0, 0}}) {
        wxConfigBase::Get()->DeleteEntry(kKey);
        CDontShowDialog dialog(nullptr, wxID_ANY, "Warning");
        const wxString text = "Mask will be lost\nContinue without Storing?";
        int answer = -2;
        wxTEST_DIALOG(answer = dialog.ShowModal(kKey, text),
                      wxExpectModal<CDontShowDialog>(c.code, c.tick, text, "Warning"));
        EXPECT_EQ(answer, c.answer) << "end code " << c.code;
        EXPECT_EQ(Stored(), c.stored) << "end code " << c.code;
        // The dialog fits the question it was given.
        EXPECT_LE(dialog.textQuestion->GetRect().GetRight(), dialog.GetClientSize().x);
        EXPECT_LE(dialog.btnNo->GetRect().GetBottom(), dialog.GetClientSize().y);
    }
}

TEST_F(DontShowDialogTest, StoredAnswerSkipsTheDialogAndIsReturnedAsItIs)
{
    CDontShowDialog dialog(nullptr, wxID_ANY, "Question");
    wxTestingModalHook noDialogMayAppear(__FILE__, __LINE__);
    for (long stored : {5L, 0L}) {
        wxConfigBase::Get()->Write(kKey, stored);
        EXPECT_EQ(dialog.ShowModal(kKey, "Really quit?"), stored);
    }
}

// The real modal loop: the buttons end it with 1 and 0, the close box does not end it; a close
// that cannot be refused is let through.
TEST_F(DontShowDialogTest, InARealModalRunTheButtonsAnswerAndOnlyAForcedCloseEndsIt)
{
    CDontShowDialog dialog(nullptr, wxID_ANY, "Question");
    bool stillAsking = false;
    wxTheApp->CallAfter([&] {
        dialog.Close(false);
        wxTheApp->CallAfter([&] {
            stillAsking = dialog.IsModal();
            Click(dialog.btnNo);
        });
    });
    EXPECT_EQ(dialog.ShowModal(kKey, "Really quit?"), 0);
    EXPECT_TRUE(stillAsking);
    EXPECT_EQ(Stored(), -1);

    wxTheApp->CallAfter([&dialog] {
        dialog.checkDontAsk->SetValue(true);
        Click(dialog.btnYes);
    });
    EXPECT_EQ(dialog.ShowModal(kKey, "Really quit?"), 1);
    EXPECT_EQ(Stored(), 1);

    // A close that cannot be refused is let through.
    wxCloseEvent forced(wxEVT_CLOSE_WINDOW, dialog.GetId());
    forced.SetCanVeto(false);
    dialog.OnClose(forced);
    EXPECT_FALSE(forced.GetVeto());
    EXPECT_TRUE(forced.GetSkipped());
}
