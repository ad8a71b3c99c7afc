// SPDX-License-Identifier: GPL-3.0-or-later
// The zoom box: reading a zoom, a list choice applied at once, typed text applied a second after
// the last change, values outside 1 to 800 refused; and the splitter's sash, which a double
// click cannot unsplit.
#include <utility>

#include <gtest/gtest.h>
#include <wx/combobox.h>
#include <wx/splitter.h>

#include "dp.h"
#include "fast_image.h"
#include "frame_access.h"
#include "gui_test_support.h"
#include "main_frame.h"
#include "main_frame_ids.h"
#include "paint_panel.h"
#include "zoom_value.h"

namespace {

void ChooseFromList(CMainFrame* frame, const wxString& entry)
{
    wxCommandEvent event(wxEVT_COMBOBOX, ID_COMBO_ZOOM);
    event.SetString(entry);
    event.SetEventObject(Ui(frame).comboZoom);
    Ui(frame).comboZoom->GetEventHandler()->ProcessEvent(event);
}

// Counts the canvas's repaints without taking them over.
int* CountPaints(CPaintPanel* panel)
{
    auto* count = new int(0);
    panel->Bind(wxEVT_PAINT, [count](wxPaintEvent& event) {
        ++*count;
        event.Skip();
    });
    panel->Bind(wxEVT_DESTROY, [count](wxWindowDestroyEvent& event) {
        delete count;
        event.Skip();
    });
    return count;
}

}  // namespace

using ZoomTest = GuiTest;

TEST(ZoomValue, OneWholeNumberFromOneToEightHundredWithOnePercentSignAndBlanks)
{
    const std::pair<const char*, int> cases[] = {
        {"135%", 135},
        {"135 %", 135},
        {"  135  ", 135},
        {"135", 135},
        {"\t135 % ", 135},
        {"12 %", 12},
        {"+40%", 40},
        {"1%", 1},
        {"200%", 200},
        // Not one whole number, more than one percent sign, or outside 1 to 800.
        {"%", -1},
        {"", -1},
        {"   ", -1},
        {"12.5%", -1},
        {"12x", -1},
        {"x12", -1},
        {"1 2", -1},
        {"50%%", -1},
        {"%50", -1},
        {"99999999999999999999", -1},
        {"0%", -1},
        {"-50%", -1},
        {"801%", -1},
        {"1000", -1}};
    for (const auto& [text, zoom] : cases)
        EXPECT_EQ(ParseZoom(text), zoom) << "\"" << text << "\"";
}

TEST_F(ZoomTest, ProcessZoomReadsTheBoxWhenGivenNoText)
{
    CMainFrame* frame = MakeFrame();
    EXPECT_EQ(Ui(frame).comboZoom->GetValue(), "100%");
    EXPECT_EQ(frame->ProcessZoom(wxEmptyString), 100);
    Ui(frame).comboZoom->ChangeValue(" 75 % ");
    EXPECT_EQ(frame->ProcessZoom(wxEmptyString), 75);
    EXPECT_EQ(frame->ProcessZoom("25%"), 25);
    Ui(frame).comboZoom->ChangeValue("abc");
    EXPECT_EQ(frame->ProcessZoom(wxEmptyString), -1);
}

TEST_F(ZoomTest, ChoosingAListEntryZoomsTheCanvasAtOnce)
{
    CMainFrame* frame = MakeFrame();
    ChooseFromList(frame, "50%");
    EXPECT_EQ(Ui(frame).paintPanel->zoom, 50);
    ChooseFromList(frame, "150%");
    EXPECT_EQ(Ui(frame).paintPanel->zoom, 150);
}

TEST_F(ZoomTest, AListEntryThatDoesNotParseShowsTheErrorAndKeepsTheZoom)
{
    CMainFrame* frame = MakeFrame();
    ChooseFromList(frame, "75%");
    for (const char* entry : {"12x", "0%", "900%"}) {
        wxTEST_DIALOG(
            ChooseFromList(frame, entry),
            ExpectMessageBox("Cannot parse zoom value. Correct Values (135% or 135 % or 12 %)",
                             "Error"));
        EXPECT_EQ(Ui(frame).paintPanel->zoom, 75) << entry;
    }
}

TEST_F(ZoomTest, TypedZoomTakesEffectOneSecondAfterTheLastChange)
{
    CMainFrame* frame = MakeFrame();
    Ui(frame).comboZoom->SetValue("3");
    PumpEvents(300);
    Ui(frame).comboZoom->SetValue("30");
    EXPECT_TRUE(Ui(frame).timerZoom.IsRunning());
    PumpEvents(700);
    // The first change's second is over, but the second change restarted the timer.
    EXPECT_EQ(Ui(frame).paintPanel->zoom, 100);
    EXPECT_TRUE(WaitFor([frame] { return Ui(frame).paintPanel->zoom == 30; }, 1500));
    EXPECT_FALSE(Ui(frame).timerZoom.IsRunning());
}

TEST_F(ZoomTest, TypedTextThatDoesNotParseGivesWayToTheZoomInEffect)
{
    CMainFrame* frame = MakeFrame();
    for (const char* text : {"12.5%", "0", "-50%", "900%"}) {
        Ui(frame).comboZoom->SetValue(text);
        // No dialog may open: an unexpected modal dialog fails the test.
        ASSERT_TRUE(WaitFor([frame] { return !Ui(frame).timerZoom.IsRunning(); }, 2000));
        PumpEvents(20);
        EXPECT_EQ(Ui(frame).paintPanel->zoom, 100) << text;
        EXPECT_EQ(Ui(frame).comboZoom->GetValue(), "100%") << text;
    }
}

TEST_F(ZoomTest, ApplyingTheZoomAlreadySetDoesNotRepaint)
{
    CMainFrame* frame = MakeFrame();
    CPaintPanel* panel = Ui(frame).paintPanel;
    ShowPicture(frame, wxFastImage(80, 60));
    panel->Init(80, 60);
    // The picture has the keyboard already, as it gets it back after a choice.
    panel->SetFocus();
    int* paints = CountPaints(panel);
    // The repaints and relayouts that the opening set off come first, however slow the machine.
    for (int last = -1; last != *paints;) {
        last = *paints;
        panel->Update();
        PumpEvents(150);
    }
    *paints = 0;
    ChooseFromList(frame, "100%");
    panel->Update();
    PumpEvents(50);
    EXPECT_EQ(*paints, 0);
    ChooseFromList(frame, "50%");
    panel->Update();
    PumpEvents(50);
    EXPECT_GE(*paints, 1);
    EXPECT_EQ(panel->ViewSize().x, 40);
}

TEST_F(ZoomTest, DoubleClickOnTheSashLeavesBothPanes)
{
    CMainFrame* frame = MakeFrame();
    auto* splitter = static_cast<wxSplitterWindow*>(frame->FindWindow(ID_SPLITTER));
    ASSERT_NE(splitter, nullptr);
    ASSERT_TRUE(splitter->IsSplit());
    const int sash = splitter->GetSashPosition();
    splitter->OnDoubleClickSash(sash, 10);
    PumpEvents(20);
    EXPECT_TRUE(splitter->IsSplit());
    EXPECT_EQ(splitter->GetWindow2(), Ui(frame).paintPanel);

    wxSplitterEvent event(wxEVT_SPLITTER_DOUBLECLICKED, splitter);
    event.SetEventObject(splitter);
    splitter->GetEventHandler()->ProcessEvent(event);
    EXPECT_FALSE(event.IsAllowed());
}
