// SPDX-License-Identifier: GPL-3.0-or-later
// The target size fields, the immediate carving driver with its progress, "Abort" and "Long
// Calculation" question, "Reset &Size", and the rule of one carving run at a time.
#include <algorithm>

#include <wx/evtloop.h>
#include <wx/spinbutt.h>

#include "frame_access.h"
#include "gui_test_support.h"
#include "test_server.h"

namespace {

const char* const kLongQuestion = "New image might lead to long calculations - continue?";

// The picture of file after seams carved by the engine alone, as kerv-cli would carve them.
wxImage CarvedByEngine(const wxString& file, int verticalSeams, int horizontalSeams)
{
    DP engine(file);
    for (int i = 0; i < std::abs(verticalSeams); ++i)
        engine.GetSeam_Vert(verticalSeams > 0);
    for (int i = 0; i < std::abs(horizontalSeams); ++i)
        engine.GetSeam_Horz(horizontalSeams > 0);
    return engine.GetColourImage().CopyToImage();
}

void StepSpin(CMainFrame* frame, int id, int value)
{
    wxSpinEvent event(wxEVT_SPIN, id);
    event.SetPosition(value);
    event.SetEventObject(frame->FindWindow(id));
    frame->ProcessWindowEvent(event);
}

void Scroll(CMainFrame* frame, wxSlider* slider, wxEventType type, int value)
{
    slider->SetValue(value);
    wxScrollEvent event(type, slider->GetId(), value, wxHORIZONTAL);
    event.SetEventObject(slider);
    frame->ProcessWindowEvent(event);
}

}  // namespace

class SizeControlsTest : public GuiTest {
protected:
    // Writes a test picture of that size and opens it in a new window.
    CMainFrame* FrameWith(int width, int height)
    {
        picture = wxString::Format("%s/picture%dx%d.png", work, width, height);
        WriteTestPicture(picture, width, height, width + height);
        CMainFrame* frame = MakeFrame();
        OpenThroughDialog(frame, picture);
        EXPECT_NE(Ui(frame).pDP, nullptr);
        return frame;
    }

    wxString picture;
};

// A typed field keeps its text and sets the others from the opened size, the other dimension only
// with the aspect kept (the arithmetic and the reading of typed text are tested headless). Fields
// never carve.
TEST_F(SizeControlsTest, EachTargetFieldSetsTheOthersFromTheOpenedSize)
{
    struct Step {
        int width, height;
        bool aspect;
        int id;
        const char* typed;  // nullptr: the field's spin button is stepped to `stepped`
        int stepped;
        const char *absWidth, *percWidth, *absHeight, *percHeight;  // nullptr: not looked at
    };
    const Step steps[] = {
        {400, 300, true, ID_PERC_WIDTH, nullptr, 150, "600", "150", "450", "150"},
        {400, 200, true, ID_ABS_WIDTH, "  300px", 0, "  300px", "75", "150", "75"},
        {400, 200, true, ID_ABS_HEIGHT, "+50 rows", 0, "100", nullptr, "+50 rows", "25"},
        {400, 200, true, ID_PERC_HEIGHT, "abc", 0, "0", nullptr, "0", "abc"},
        {400, 200, true, ID_PERC_WIDTH, "-20%", 0, "-80", "-20%", "-40", nullptr},
        {400, 200, false, ID_ABS_WIDTH, "100", 0, "100", "25", "200", nullptr},
        {400, 200, false, ID_ABS_HEIGHT, nullptr, 150, "100", nullptr, "150", "75"},
    };
    CMainFrame* frame = nullptr;
    const Step* previous = nullptr;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.typed ? step.typed : "spin");
        if (!previous || previous->width != step.width || previous->height != step.height ||
            previous->aspect != step.aspect) {
            if (frame)
                CloseQuietly(frame);
            frame = FrameWith(step.width, step.height);
            Ui(frame).checkAspect->SetValue(step.aspect);
        }
        previous = &step;
        const auto ui = Ui(frame);
        wxTextCtrl* const fields[] = {ui.textAbsWidth, ui.textPercWidth, ui.textAbsHeight,
                                      ui.textPercHeight};
        const int ids[] = {ID_ABS_WIDTH, ID_PERC_WIDTH, ID_ABS_HEIGHT, ID_PERC_HEIGHT};
        if (step.typed)
            // SetValue sends the text event a keystroke would.
            fields[std::find(ids, ids + 4, step.id) - ids]->SetValue(step.typed);
        else
            StepSpin(frame, step.id, step.stepped);
        const char* const expected[] = {step.absWidth, step.percWidth, step.absHeight,
                                        step.percHeight};
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(!expected[i] || fields[i]->GetValue() == expected[i])
                << i << ": " << fields[i]->GetValue();
        EXPECT_EQ(frame->Session().CurrentWidth(), step.width);
    }
}

// A slider move and a spin step carve at once, text typed into a spin control a second later;
// each exactly the engine's seams, and the run counts as a change.
TEST_F(SizeControlsTest, EachImmediateControlCarvesExactlyTheEnginesSeams)
{
    enum class Way { Slide, Step, Type };
    const struct {
        Way way;
        bool width;
        int target;
    } cases[] = {{Way::Slide, true, 120}, {Way::Step, false, 110}, {Way::Type, true, 140}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        CMainFrame* frame = FrameWith(150, 90);
        const auto ui = Ui(frame);
        wxSpinCtrl* spin = c.width ? ui.spinWidth : ui.spinHeight;
        wxSlider* slider = c.width ? ui.sliderWidth : ui.sliderHeight;
        if (c.way == Way::Slide) {
            Scroll(frame, slider, wxEVT_SCROLL_THUMBTRACK, c.target);
        } else {
            spin->SetValue(c.target);
            wxSpinEvent event(c.way == Way::Step ? wxEVT_SPINCTRL : wxEVT_TEXT, spin->GetId());
            event.SetEventObject(spin);
            frame->ProcessWindowEvent(event);
        }
        if (c.way == Way::Type) {
            EXPECT_TRUE(ui.timerWidth.IsRunning());
            EXPECT_EQ(frame->Session().CurrentWidth(), 150);
            EXPECT_TRUE(WaitFor([&] { return frame->Session().CurrentWidth() == c.target; }, 3000));
        }
        const wxSize size(frame->Session().CurrentWidth(), frame->Session().CurrentHeight());
        EXPECT_EQ(size, c.width ? wxSize(c.target, 90) : wxSize(150, c.target));
        EXPECT_TRUE(
            SamePixels(CarvedByEngine(picture, 150 - size.x, 90 - size.y), EnginePicture(frame)));
        EXPECT_EQ(spin->GetValue(), c.target);
        EXPECT_EQ(slider->GetValue(), c.target);
        EXPECT_TRUE(frame->Session().IsModified());
        // The end of a scroll finds nothing left to do.
        Scroll(frame, slider, wxEVT_SCROLL_CHANGED, c.target);
        EXPECT_EQ(size, wxSize(ui.pDP->cols, ui.pDP->rows));
        if (!c.width) {
            EXPECT_EQ(ui.textCurrent->GetLabel(), "Current: Width: 100.00%, Height:122.22%");
        }
        CloseQuietly(frame);
    }
}

TEST_F(SizeControlsTest, AbortAfterSomeSeamsKeepsThoseSeamsAndShowsTheSize)
{
    CMainFrame* frame = FrameWith(1600, 800);
    // The run yields to an event loop between seams, as it does inside the program, 25 times a
    // second: the run is long enough for several yields however fast the machine is, and
    // shorter than half the width, so it is not asked about first.
    wxGUIEventLoop loop;
    wxEventLoopActivator active(&loop);
    AbortWhenGaugeReaches abort(frame, 30);
    abort.Start(1);
    EXPECT_EQ(frame->WidthChange(900), -700);
    abort.Stop();
    const int carved = abort.stepsAtAbort;
    ASSERT_GE(carved, 30);
    ASSERT_LT(carved, 700);
    EXPECT_EQ(frame->Session().CurrentWidth(), 1600 - carved);
    EXPECT_EQ(Ui(frame).spinWidth->GetValue(), 1600 - carved);
    EXPECT_FALSE(Ui(frame).bCancelCalc);
    EXPECT_FALSE(Ui(frame).pStatusBar->btnProgressCancel->IsEnabled());
    EXPECT_TRUE(SamePixels(CarvedByEngine(picture, carved, 0), EnginePicture(frame)));
}

// Which changes count as long is the session's (tested there); here the question and its answers.
TEST_F(SizeControlsTest, ALongChangeIsAskedFirstNoKeepsTheSizeAndATickedYesIsKept)
{
    CMainFrame* frame = FrameWith(400, 20);
    wxTEST_DIALOG(EXPECT_EQ(frame->WidthChange(200), 0),
                  wxExpectModal<CDontShowDialog>(0, false, kLongQuestion, "Long Calculation"));
    EXPECT_EQ(frame->Session().CurrentWidth(), 400);
    EXPECT_EQ(Ui(frame).spinWidth->GetValue(), 400);
    EXPECT_FALSE(frame->Session().IsModified());
    EXPECT_FALSE(frame->IsCarving());

    wxTEST_DIALOG(EXPECT_EQ(frame->WidthChange(200), -200),
                  wxExpectModal<CDontShowDialog>(1, true, kLongQuestion, "Long Calculation"));
    EXPECT_EQ(Ui(frame).pDP->cols, 200);
    EXPECT_EQ(wxConfigBase::Get()->ReadLong("/Confirmations/BigSize", -1), 1);
    // Asked no more: the stored yes lets the next large change through.
    EXPECT_EQ(frame->WidthChange(600), 400);
    EXPECT_EQ(Ui(frame).pDP->cols, 600);
}

TEST_F(SizeControlsTest, ASizeBeyondTheEnginesLimitIsRefused)
{
    CMainFrame* frame = FrameWith(20000, 2);
    ASSERT_EQ(Ui(frame).sliderWidth->GetMax(), 40000);
    wxTEST_DIALOG(EXPECT_EQ(frame->WidthChange(32001), 0),
                  ExpectMessageBox("The target size 32001 x 2 exceeds the limit of 32000 pixels a "
                                   "side and 100000000 pixels in all.",
                                   "Error"));
    EXPECT_EQ(Ui(frame).sliderWidth->GetValue(), 20000);
    EXPECT_FALSE(frame->Session().IsModified());
    EXPECT_FALSE(frame->IsCarving());
}

// What a reset does to the picture, and when it cannot succeed, is the session's (tested there);
// here what the window shows.
TEST_F(SizeControlsTest, ResetReturnsToTheFilesPictureAndStaysEnabledUntilSaved)
{
    CMainFrame* frame = FrameWith(150, 90);
    EXPECT_FALSE(Ui(frame).btnResetSize->IsEnabled());
    frame->WidthChange(130);
    frame->HeightChange(95);
    ASSERT_TRUE(Ui(frame).btnResetSize->IsEnabled());
    Ui(frame).textAbsWidth->SetValue("77");
    ClickButton(frame, ID_BTN_RESET_SIZE);
    EXPECT_EQ(Ui(frame).sliderWidth->GetValue(), 150);
    EXPECT_EQ(Ui(frame).spinHeight->GetValue(), 90);
    EXPECT_TRUE(SamePixels(wxImage(picture), EnginePicture(frame)));
    // Reset leaves the targets as they were (and the modified flag, tested with the session).
    EXPECT_EQ(Ui(frame).textAbsWidth->GetValue(), "77");
    EXPECT_TRUE(Ui(frame).btnResetSize->IsEnabled());

    // A change back to the opened size still counts as a change.
    const wxString saved = work + "/saved.png";
    wxTEST_DIALOG(SendMenu(frame, ID_MENU_SAVE), ExpectFileDialog(saved));
    EXPECT_FALSE(Ui(frame).btnResetSize->IsEnabled());
    frame->WidthChange(149);
    frame->WidthChange(150);
    EXPECT_TRUE(Ui(frame).btnResetSize->IsEnabled());

    // A reset that cannot read the picture again says so and shows the size kept.
    frame->HeightChange(80);
    ASSERT_TRUE(wxRemoveFile(picture));
    wxTEST_DIALOG(ClickButton(frame, ID_BTN_RESET_SIZE),
                  ExpectMessageBox("Error opening image", "Error"));
    EXPECT_EQ(Ui(frame).sliderHeight->GetValue(), 80);
    EXPECT_TRUE(Ui(frame).btnResetSize->IsEnabled());
}

TEST_F(SizeControlsTest, DuringAnImmediateRunEveryOtherSizeOrEngineCommandIsRefused)
{
    CMainFrame* frame = FrameWith(400, 30);
    const wxString other = work + "/other.png";
    WriteTestPicture(other, 50, 40, 8);
    DP* engine = Ui(frame).pDP;
    // A loopback server as the update server: a check would ask it for the version.
    TestServer server;
    wxSetEnv("KERV_SERVER", server.Url(""));
    bool checked = false;
    // The "Long Calculation" question is shown from inside the width run.
    auto duringTheRun = [&](CDontShowDialog*) {
        checked = true;
        EXPECT_TRUE(frame->IsCarving());
        EXPECT_EQ(frame->HeightChange(20), 0);
        EXPECT_EQ(frame->WidthChange(390), 0);
        Scroll(frame, Ui(frame).sliderHeight, wxEVT_SCROLL_THUMBTRACK, 25);
        ClickButton(frame, ID_BTN_RESET_SIZE);
        ClickButton(frame, ID_BTN_KERV);
        // An open or a recent file would show a dialog here, which would fail the test.
        SendMenu(frame, ID_MENU_OPEN);
        SendMenu(frame, ID_MRU_FIRST);
        EXPECT_FALSE(Ui(frame).pDropTarget->OnDrop(1, 1));
        Ui(frame).pDropTarget->OnDropFiles(1, 1, wxArrayString(1, &other));
        SendMenu(frame, ID_MENU_SAVE);
        ClickButton(frame, ID_BTN_CHECK_UPDATE);
        // The window is not closed under the run.
        EXPECT_FALSE(frame->Close(false));
        return 1;
    };
    wxTEST_DIALOG(EXPECT_EQ(frame->WidthChange(150), -250), Answer<CDontShowDialog>(duringTheRun));
    wxUnsetEnv("KERV_SERVER");
    EXPECT_TRUE(checked);
    EXPECT_TRUE(server.Requests().empty()) << "the update check ran during the carve";
    EXPECT_FALSE(frame->IsCarving());
    EXPECT_EQ(Ui(frame).pDP, engine);
    EXPECT_EQ(Ui(frame).pDP->rows, 30);
    // The height controls show the size actually kept.
    EXPECT_EQ(Ui(frame).sliderHeight->GetValue(), 30);
    EXPECT_EQ(frame->Session().FileName(), picture);
    EXPECT_FALSE(frame->IsBeingDeleted());
}

TEST_F(SizeControlsTest, AForcedCloseDuringAnImmediateRunStopsItAndClosesAfterwards)
{
    CMainFrame* frame = FrameWith(400, 30);
    // The close cannot be refused: the run is told to stop and the window closes when the run
    // has unwound, without the exit question.
    auto duringTheRun = [&](CDontShowDialog*) {
        frame->Close(true);
        EXPECT_TRUE(Ui(frame).bCloseAfterCalc);
        EXPECT_TRUE(Ui(frame).bCancelCalc);
        EXPECT_NE(Ui(frame).pDP, nullptr);
        return 1;
    };
    wxTEST_DIALOG(frame->WidthChange(150), Answer<CDontShowDialog>(duringTheRun));
    EXPECT_TRUE(wxPendingDelete.Member(frame) || frame->IsBeingDeleted());
    EXPECT_EQ(Ui(frame).pDP, nullptr);
    PumpEvents(50);
    EXPECT_EQ(wxTopLevelWindows.Find(frame), nullptr);
}
