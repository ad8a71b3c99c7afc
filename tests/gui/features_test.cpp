// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo over every kind of step, object removal and forward energy against kerv-cli,
// and the energy and seam views against an engine of their own, in a real window.
#include <cstdlib>
#include <vector>

#include <wx/choice.h>
#include <wx/evtloop.h>

#include "frame_access.h"
#include "gui_test_support.h"
#include "seam_trace.h"

namespace {

wxImage Shown(CMainFrame* frame)
{
    return frame->PictureToShow()->AsImage().Copy();
}

class FeaturesTest : public GuiTest {
protected:
    CMainFrame* OpenCoffee()
    {
        CMainFrame* frame = GuiTest::OpenCoffee();
        Ui(frame).checkAnimated->SetValue(false);
        return frame;
    }
    wxGUIEventLoop loop;
    wxEventLoopActivator active{&loop};
};

struct State {
    wxImage picture, mask;
    bool modified;
};

State Now(CMainFrame* frame)
{
    return {Shown(frame), MaskImage(frame), frame->Session().IsModified()};
}

void ExpectState(const State& expected, CMainFrame* frame, int step)
{
    EXPECT_TRUE(SamePixels(Shown(frame), expected.picture)) << step;
    EXPECT_TRUE(SamePixels(MaskImage(frame), expected.mask)) << step;
    EXPECT_EQ(frame->Session().IsModified(), expected.modified) << step;
}

}  // namespace

TEST_F(FeaturesTest, UndoAndRedoGoThroughEveryKindOfStepAndCarvingGoesOn)
{
    CMainFrame* frame = OpenCoffee();
    const wxString picture = frame->Session().FileName();
    const wxString maskFile = work + "/stroke.bmp";
    std::vector<State> states{Now(frame)};
    auto step = [&](auto body) { body(), states.push_back(Now(frame)); };
    step([&] { frame->WidthChange(580); });
    step([&] { frame->HeightChange(390); });
    SetChecked(Ui(frame).checkEnableMask, true);  // no step, but a fresh mask
    states.back().mask = MaskImage(frame);
    step([&] { PaintStroke(frame, wxPoint(100, 100), wxPoint(300, 200)); });
    ASSERT_TRUE(MaskImage(frame).SaveFile(maskFile));
    Click(Ui(frame).btnStoreMask);
    step([&] { Click(Ui(frame).btnClearMask); });
    step([&] { Click(Ui(frame).btnRecallMask); });
    step([&] { Click(Ui(frame).btnClearMask); });
    step([&] { wxTEST_DIALOG(Click(Ui(frame).btnLoadMask), ExpectFileDialog(maskFile)); });
    step([&] { SetTargets(frame, 560, 380), Click(Ui(frame).btnKerv); });
    Ui(frame).radioDelete->SetValue(true);
    step([&] { PaintStroke(frame, wxPoint(400, 50), wxPoint(420, 80)); });
    step([&] { ClickButton(frame, ID_BTN_REMOVE_OBJECT); });
    step([&] { Click(Ui(frame).btnResetSize); });
    for (size_t i = 1; i < states.size(); ++i)
        ASSERT_FALSE(SamePixels(states[i].picture, states[i - 1].picture) &&
                     SamePixels(states[i].mask, states[i - 1].mask))
            << i;

    for (size_t i = states.size() - 1; i-- > 0;) {
        ASSERT_TRUE(Ui(frame).menuBar->IsEnabled(ID_MENU_UNDO)) << i;
        SendMenu(frame, ID_MENU_UNDO);
        ExpectState(states[i], frame, int(i));
    }
    EXPECT_FALSE(Ui(frame).menuBar->IsEnabled(ID_MENU_UNDO));
    for (size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(Ui(frame).menuBar->IsEnabled(ID_MENU_REDO)) << i;
        SendMenu(frame, ID_MENU_REDO);
        ExpectState(states[i], frame, int(i));
    }
    EXPECT_FALSE(Ui(frame).menuBar->IsEnabled(ID_MENU_REDO));
    // Back to 580 x 400 and on to 570: as one run of kerv-cli from the file.
    for (size_t i = 1; i < states.size(); ++i)
        SendMenu(frame, ID_MENU_UNDO);
    SendMenu(frame, ID_MENU_REDO);
    SetChecked(Ui(frame).checkEnableMask, false);
    frame->WidthChange(570);
    EXPECT_TRUE(SamePixels(Shown(frame), KervCli("--width 570 --height 400", picture)));
}

TEST_F(FeaturesTest, RemoveObjectAndForwardEnergyGiveKervCliPixels)
{
    CMainFrame* frame = OpenCoffee();
    const wxString picture = frame->Session().FileName();
    SetChecked(Ui(frame).checkEnableMask, true);
    PaintStroke(frame, wxPoint(150, 120), wxPoint(420, 300));
    Ui(frame).radioDelete->SetValue(true);
    PaintStroke(frame, wxPoint(470, 60), wxPoint(500, 120));
    const wxString mask = work + "/mask.bmp";
    ASSERT_TRUE(MaskImage(frame).SaveFile(mask));
    ClickButton(frame, ID_BTN_REMOVE_OBJECT);
    EXPECT_TRUE(
        SamePixels(Shown(frame), KervCli("--remove-object --mask \"" + mask + "\"", picture)));

    wxChoice* energy = static_cast<wxChoice*>(frame->FindWindow(ID_CHOICE_ENERGY));
    Click(Ui(frame).btnResetSize);
    energy->SetSelection(1);
    wxCommandEvent chosen(wxEVT_CHOICE, ID_CHOICE_ENERGY);
    energy->GetEventHandler()->ProcessEvent(chosen);
    SetChecked(Ui(frame).checkEnableMask, false);
    SetTargets(frame, 560, 380);
    Click(Ui(frame).btnKerv);
    const wxImage forward = Shown(frame);
    EXPECT_TRUE(
        SamePixels(forward, KervCli("--energy-mode forward --width 560 --height 380", picture)));
    EXPECT_FALSE(SamePixels(forward, KervCli("--width 560 --height 380", picture)));
}

TEST_F(FeaturesTest, TheViewsShowTheEnergyAndTheNextSeamsOfAFreshEngine)
{
    CMainFrame* frame = OpenCoffee();
    const wxString picture = frame->Session().FileName();
    Ui(frame).menuBar->Check(ID_MENU_SHOW_ENERGY, true);
    SendMenu(frame, ID_MENU_SHOW_ENERGY);
    DP reference(picture);
    EXPECT_TRUE(SamePixels(Shown(frame), reference.GetEnergyImage().AsImage()));

    Ui(frame).menuBar->Check(ID_MENU_SHOW_ENERGY, false);
    Ui(frame).menuBar->Check(ID_MENU_SHOW_SEAMS, true);
    SendMenu(frame, ID_MENU_SHOW_SEAMS);
    // The seams twenty removals of each direction carve, traced back and marked.
    const wxFastImage start = reference.GetColourImage();
    wxImage expected = start.AsImage().Copy();
    for (seam::Direction direction : {seam::Direction::Vertical, seam::Direction::Horizontal}) {
        DP carved(picture);
        SeamTrace trace(carved);
        for (int i = 0; i < 20; ++i) {
            trace.BeforeCarve(carved, direction, true);
            direction == seam::Direction::Vertical ? carved.GetSeam_Vert(true)
                                                   : carved.GetSeam_Horz(true);
        }
        const wxFastImage drawn = trace.Draw(start);
        for (int i = 0; i < 600 * 400 * 3; ++i)
            if (drawn.GetData()[i] != start.GetData()[i])
                expected.GetData()[i] = drawn.GetData()[i];
    }
    EXPECT_TRUE(SamePixels(Shown(frame), expected));
    EXPECT_TRUE(SamePixels(Ui(frame).paintPanel->ComposeView(wxRect(0, 0, 600, 400)), expected));
}
