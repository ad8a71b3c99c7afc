// SPDX-License-Identifier: GPL-3.0-or-later
// CDontShowDialog: the question, its stored standing answer and its buttons.
#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/config.h>
#include <wx/stattext.h>

#include "dont_show_dialog.h"
#include "gui_test_support.h"

namespace {
const char* const kKey = "/Confirmations/OnExit";

class DontShowDialogTest : public GuiTest {
protected:
    long Stored() { return wxConfigBase::Get()->ReadLong(kKey, -1); }
};

void Click(wxButton* button)
{
    wxCommandEvent click(wxEVT_BUTTON, button->GetId());
    click.SetEventObject(button);
    button->GetEventHandler()->ProcessEvent(click);
}

}  // namespace

TEST_F(DontShowDialogTest, IsBuiltWithYesNoAndAClearBox)
{
    CDontShowDialog dialog(nullptr, wxID_ANY, "Long Calculation");
    EXPECT_EQ(dialog.GetTitle(), "Long Calculation");
    EXPECT_EQ(dialog.btnYes->GetLabel(), "&Yes");
    EXPECT_EQ(dialog.btnYes->GetId(), wxID_OK);
    EXPECT_EQ(dialog.btnNo->GetLabel(), "&No");
    EXPECT_EQ(dialog.btnNo->GetId(), wxID_CANCEL);
    EXPECT_EQ(dialog.checkDontAsk->GetLabel(), "&Don't ask this question again");
    EXPECT_EQ(dialog.checkDontAsk->GetId(), 1000);
    EXPECT_FALSE(dialog.checkDontAsk->GetValue());
    EXPECT_EQ(dialog.GetDefaultItem(), dialog.btnYes);
}

TEST_F(DontShowDialogTest, UnansweredQuestionIsShownWithItsTextAndNothingIsStored)
{
    CDontShowDialog dialog(nullptr, wxID_ANY, "Question");
    int answer = -2;
    wxTEST_DIALOG(answer = dialog.ShowModal(kKey, "Really quit?"),
                  wxExpectModal<CDontShowDialog>(wxID_OK, false, "Really quit?"));
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(dialog.strKey, kKey);
    EXPECT_EQ(Stored(), -1);
}

TEST_F(DontShowDialogTest, EndCodesOneAndOkAreYesAndAnyOtherIsNo)
{
    const int codes[] = {1, wxID_OK, 0, wxID_CANCEL, wxID_NO, 7};
    const int answers[] = {1, 1, 0, 0, 0, 0};
    for (int i = 0; i < 6; ++i) {
        CDontShowDialog dialog(nullptr, wxID_ANY, "Question");
        int answer = -2;
        wxTEST_DIALOG(answer = dialog.ShowModal(kKey, "Really quit?"),
                      wxExpectModal<CDontShowDialog>(codes[i]));
        EXPECT_EQ(answer, answers[i]) << "end code " << codes[i];
    }
}

TEST_F(DontShowDialogTest, TickedBoxStoresOneForYes)
{
    CDontShowDialog dialog(nullptr, wxID_ANY, "Question");
    int answer = -2;
    wxTEST_DIALOG(answer = dialog.ShowModal(kKey, "Really quit?"),
                  wxExpectModal<CDontShowDialog>(1, true));
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(Stored(), 1);
}

TEST_F(DontShowDialogTest, TickedBoxStoresZeroForNo)
{
    CDontShowDialog dialog(nullptr, wxID_ANY, "Question");
    int answer = -2;
    wxTEST_DIALOG(answer = dialog.ShowModal(kKey, "Really quit?"),
                  wxExpectModal<CDontShowDialog>(0, true));
    EXPECT_EQ(answer, 0);
    EXPECT_EQ(Stored(), 0);
}

TEST_F(DontShowDialogTest, StoredAnswerSkipsTheDialogAndIsReturnedAsItIs)
{
    wxConfigBase::Get()->Write(kKey, 5);
    CDontShowDialog dialog(nullptr, wxID_ANY, "Question");
    wxTestingModalHook noDialogMayAppear(__FILE__, __LINE__);
    EXPECT_EQ(dialog.ShowModal(kKey, "Really quit?"), 5);
    wxConfigBase::Get()->Write(kKey, 0);
    EXPECT_EQ(dialog.ShowModal(kKey, "Really quit?"), 0);
}

TEST_F(DontShowDialogTest, RemovingTheKeyBringsTheQuestionBack)
{
    wxConfigBase::Get()->Write(kKey, 1);
    wxConfigBase::Get()->DeleteEntry(kKey);
    CDontShowDialog dialog(nullptr, wxID_ANY, "Question");
    int answer = -2;
    wxTEST_DIALOG(answer = dialog.ShowModal(kKey, "Really quit?"),
                  wxExpectModal<CDontShowDialog>(wxID_CANCEL));
    EXPECT_EQ(answer, 0);
}

TEST_F(DontShowDialogTest, QuestionTextIsSetAndTheDialogFitsIt)
{
    CDontShowDialog dialog(nullptr, wxID_ANY, "Warning");
    const wxString text = "Mask will be lost\nContinue without Storing?";
    wxTEST_DIALOG(dialog.ShowModal("/Confirmations/LoseMask", text),
                  wxExpectModal<CDontShowDialog>(1, false, text, "Warning"));
    EXPECT_EQ(dialog.textQuestion->GetLabel(), text);
    const wxRect question = dialog.textQuestion->GetRect();
    EXPECT_LE(question.GetRight(), dialog.GetClientSize().x);
    EXPECT_LE(dialog.btnNo->GetRect().GetBottom(), dialog.GetClientSize().y);
}

// The real modal loop: the buttons end it with 1 and 0, the close box does not end it.
TEST_F(DontShowDialogTest, YesButtonAnswersYesInARealModalRun)
{
    CDontShowDialog dialog(nullptr, wxID_ANY, "Question");
    wxTheApp->CallAfter([&dialog] {
        dialog.checkDontAsk->SetValue(true);
        Click(dialog.btnYes);
    });
    EXPECT_EQ(dialog.ShowModal(kKey, "Really quit?"), 1);
    EXPECT_EQ(Stored(), 1);
}

TEST_F(DontShowDialogTest, CloseBoxDoesNotAnswerAndNoButtonAnswersNo)
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
}

TEST_F(DontShowDialogTest, CloseThatCannotBeRefusedIsLetThrough)
{
    CDontShowDialog dialog(nullptr, wxID_ANY, "Question");
    wxCloseEvent close(wxEVT_CLOSE_WINDOW, dialog.GetId());
    close.SetEventObject(&dialog);
    close.SetCanVeto(true);
    dialog.OnClose(close);
    EXPECT_TRUE(close.GetVeto());

    wxCloseEvent forced(wxEVT_CLOSE_WINDOW, dialog.GetId());
    forced.SetCanVeto(false);
    dialog.OnClose(forced);
    EXPECT_FALSE(forced.GetVeto());
    EXPECT_TRUE(forced.GetSkipped());
}
