// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as it opens: placement from the store, options, title, control states, menus,
// tool bar and status bar.
#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/config.h>
#include <wx/filehistory.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/spinbutt.h>
#include <wx/spinctrl.h>
#include <wx/splitter.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>

#include "frame_access.h"
#include "gui_test_support.h"
#include "main_frame.h"
#include "main_frame_ids.h"
#include "progress_status_bar.h"
#include "window_placement.h"

namespace {

wxSize Screen()
{
    return wxSize(wxSystemSettings::GetMetric(wxSYS_SCREEN_X),
                  wxSystemSettings::GetMetric(wxSYS_SCREEN_Y));
}

void StoreLook(long x, long y, long w, long h)
{
    wxConfigBase* config = wxConfigBase::Get();
    config->SetPath("/Look");
    config->Write("x", x);
    config->Write("y", y);
    config->Write("w", w);
    config->Write("h", h);
    config->SetPath("/");
}

wxRect FrameRect(CMainFrame* frame)
{
    return wxRect(frame->GetPosition(), frame->GetSize());
}

}  // namespace

using MainFrameTest = GuiTest;

TEST(WindowPlacement, DefaultsAreOneSixthInAndTwoThirdsOfTheScreenTruncated)
{
    EXPECT_EQ(DefaultWindowRect(wxSize(1600, 1200)), wxRect(266, 200, 1066, 800));
    EXPECT_EQ(DefaultWindowRect(wxSize(1025, 769)), wxRect(170, 128, 683, 512));
}

TEST(WindowPlacement, CornerOnTheScreenIncludingItsFarEdgesIsAccepted)
{
    const wxSize screen(1600, 1200);
    EXPECT_EQ(ChooseWindowRect(screen, wxRect(0, 0, 10, 10)), wxRect(0, 0, 10, 10));
    EXPECT_EQ(ChooseWindowRect(screen, wxRect(1600, 1200, 300, 200)), wxRect(1600, 1200, 300, 200));
}

TEST(WindowPlacement, AnyBadValueReplacesAllFourByTheDefaults)
{
    const wxSize screen(1600, 1200);
    const wxRect defaults = DefaultWindowRect(screen);
    EXPECT_EQ(ChooseWindowRect(screen, wxRect(-1, 10, 300, 200)), defaults);
    EXPECT_EQ(ChooseWindowRect(screen, wxRect(10, -1, 300, 200)), defaults);
    EXPECT_EQ(ChooseWindowRect(screen, wxRect(1601, 10, 300, 200)), defaults);
    EXPECT_EQ(ChooseWindowRect(screen, wxRect(10, 1201, 300, 200)), defaults);
    EXPECT_EQ(ChooseWindowRect(screen, wxRect(10, 10, 0, 200)), defaults);
    EXPECT_EQ(ChooseWindowRect(screen, wxRect(10, 10, 300, -5)), defaults);
}

TEST_F(MainFrameTest, FirstStartPlacesTheWindowFromTheScreenAndTicksBothOptions)
{
    CMainFrame* frame = MakeFrame();
    EXPECT_EQ(FrameRect(frame), DefaultWindowRect(Screen()));
    EXPECT_TRUE(Ui(frame).checkAspect->GetValue());
    EXPECT_TRUE(Ui(frame).checkAnimated->GetValue());
    EXPECT_EQ(frame->GetTitle(), "Vandrel 0.67");
    EXPECT_EQ(Ui(frame).pFileHistory->GetCount(), 0u);
}

TEST_F(MainFrameTest, BeforeAPictureIsOpenTheSizeControlsAndKervAreDisabled)
{
    CMainFrame* frame = MakeFrame();
    for (wxWindow* control : std::initializer_list<wxWindow*>{
             Ui(frame).sliderWidth, Ui(frame).spinWidth, Ui(frame).sliderHeight,
             Ui(frame).spinHeight, Ui(frame).btnResetSize, Ui(frame).textAbsWidth,
             Ui(frame).spinAbsWidth, Ui(frame).textAbsHeight, Ui(frame).spinAbsHeight,
             Ui(frame).textPercWidth, Ui(frame).spinPercWidth, Ui(frame).textPercHeight,
             Ui(frame).spinPercHeight, Ui(frame).checkAspect, Ui(frame).checkAnimated,
             Ui(frame).btnKerv})
        EXPECT_FALSE(control->IsEnabled()) << control->GetLabel();
    EXPECT_EQ(Ui(frame).btnKerv->GetLabel(), "&Kerv");
    EXPECT_EQ(Ui(frame).pDP, nullptr);
    EXPECT_EQ(frame->Session().CurrentWidth(), -1);
    EXPECT_EQ(frame->Session().OriginalHeight(), -1);
    EXPECT_EQ(Ui(frame).nEditSource, -1);
    EXPECT_FALSE(frame->Session().IsModified());
    EXPECT_FALSE(Ui(frame).bCalculating);
}

TEST_F(MainFrameTest, MaskGroupStartsOffWithProtectChosenAndBrushSizeTen)
{
    CMainFrame* frame = MakeFrame();
    EXPECT_TRUE(Ui(frame).checkEnableMask->IsEnabled());
    EXPECT_FALSE(Ui(frame).checkEnableMask->GetValue());
    for (wxWindow* control : std::initializer_list<wxWindow*>{
             Ui(frame).sliderBrush, Ui(frame).textBrushSize, Ui(frame).radioProtect,
             Ui(frame).radioDelete, Ui(frame).radioErase, Ui(frame).btnStoreMask,
             Ui(frame).btnRecallMask, Ui(frame).btnSaveMask, Ui(frame).btnLoadMask,
             Ui(frame).btnClearMask})
        EXPECT_FALSE(control->IsEnabled()) << control->GetLabel();
    EXPECT_TRUE(Ui(frame).radioProtect->GetValue());
    EXPECT_EQ(Ui(frame).sliderBrush->GetValue(), 10);
    EXPECT_EQ(Ui(frame).sliderBrush->GetMin(), 1);
    EXPECT_EQ(Ui(frame).sliderBrush->GetMax(), 100);
    EXPECT_EQ(Ui(frame).textBrushSize->GetValue(), "10");
    EXPECT_FALSE(Ui(frame).bmpStoredMask.IsOk());
}

TEST_F(MainFrameTest, TickingEnableUnlocksTheMaskGroupButNotTheSizeControlsWithoutAPicture)
{
    CMainFrame* frame = MakeFrame();
    Ui(frame).checkEnableMask->SetValue(true);
    frame->DoEnableProtectDelete();
    EXPECT_TRUE(Ui(frame).btnRecallMask->IsEnabled());
    EXPECT_TRUE(Ui(frame).sliderBrush->IsEnabled());
    EXPECT_FALSE(Ui(frame).sliderWidth->IsEnabled());
    EXPECT_FALSE(Ui(frame).spinHeight->IsEnabled());
}

TEST_F(MainFrameTest, StoredGeometryOnTheScreenIsUsed)
{
    StoreLook(40, 30, 700, 500);
    CMainFrame* frame = MakeFrame();
    EXPECT_EQ(FrameRect(frame), wxRect(40, 30, 700, 500));
}

TEST_F(MainFrameTest, StoredCornerAtTheScreenWidthAndHeightIsStillAccepted)
{
    const wxSize screen = Screen();
    StoreLook(screen.x, screen.y, 640, 480);
    CMainFrame* frame = MakeFrame();
    EXPECT_EQ(FrameRect(frame), wxRect(screen.x, screen.y, 640, 480));
}

TEST_F(MainFrameTest, StoredXOfMinusOneResetsPositionAndSize)
{
    StoreLook(-1, 30, 700, 500);
    CMainFrame* frame = MakeFrame();
    EXPECT_EQ(FrameRect(frame), DefaultWindowRect(Screen()));
}

TEST_F(MainFrameTest, StoredYBelowTheScreenResetsPositionAndSize)
{
    StoreLook(10, Screen().y + 1, 700, 500);
    CMainFrame* frame = MakeFrame();
    EXPECT_EQ(FrameRect(frame), DefaultWindowRect(Screen()));
}

TEST_F(MainFrameTest, StoredSizeThatIsNotPositiveResetsPositionAndSize)
{
    StoreLook(10, 20, 0, -300);
    CMainFrame* frame = MakeFrame();
    EXPECT_EQ(FrameRect(frame), DefaultWindowRect(Screen()));
}

TEST_F(MainFrameTest, StoredZeroClearsAnOptionAndAnyOtherNumberTicksIt)
{
    wxConfigBase::Get()->Write("/Operation/AnimatedKerv", 0);
    wxConfigBase::Get()->Write("/Operation/MaintainAspect", 7);
    CMainFrame* frame = MakeFrame();
    EXPECT_FALSE(Ui(frame).checkAnimated->GetValue());
    EXPECT_TRUE(Ui(frame).checkAspect->GetValue());
}

TEST_F(MainFrameTest, RecentFilesAreLoadedFromTheStoreIntoTheFileMenu)
{
    wxConfigBase* config = wxConfigBase::Get();
    config->SetPath("/MRU");
    config->Write("file1", work + "/beach.jpg");
    config->Write("file2", work + "/dunes.png");
    config->SetPath("/");
    CMainFrame* frame = MakeFrame();
    ASSERT_EQ(Ui(frame).pFileHistory->GetCount(), 2u);
    EXPECT_EQ(Ui(frame).pFileHistory->GetHistoryFile(0), work + "/beach.jpg");
    EXPECT_EQ(Ui(frame).pFileHistory->GetBaseId(), ID_MRU_FIRST);
    EXPECT_EQ(Ui(frame).pFileHistory->GetMaxFiles(), 9u);
    wxMenu* menuFile = Ui(frame).menuBar->GetMenu(0);
    EXPECT_NE(menuFile->FindItem(ID_MRU_FIRST), nullptr);
    EXPECT_NE(menuFile->FindItem(ID_MRU_FIRST + 1), nullptr);
    EXPECT_EQ(menuFile->FindItem(ID_MRU_FIRST + 2), nullptr);
}

TEST_F(MainFrameTest, MenusCarryTheirLabelsAcceleratorsAndHelpStrings)
{
    CMainFrame* frame = MakeFrame();
    ASSERT_EQ(Ui(frame).menuBar->GetMenuCount(), 3u);
    EXPECT_EQ(Ui(frame).menuBar->GetMenuLabel(0), "&File");
    EXPECT_EQ(Ui(frame).menuBar->GetMenuLabel(1), "&Edit");
    EXPECT_EQ(Ui(frame).menuBar->GetMenuLabel(2), "&Help");

    struct Item {
        int id;
        const char* label;
        const char* help;
    };
    const Item items[] = {
        {ID_MENU_OPEN, "&Open\tCtrl+O", "Open File to resize"},
        {ID_MENU_SAVE, "&Save\tCtrl+S", "Save image"},
        {ID_MENU_EXIT, "&Exit\tAlt+F4", "Exit Appllication"},
        {ID_COPY, "&Copy\tCtrl+C", "Copy image to clipboard"},
        {ID_MENU_CHECK_UPDATE, "Check for &Update", "Check online if there is an update available"},
        {ID_MENU_HELP_CONTENTS, "&Contents\tF1", "Display Help Topics"},
        {ID_MENU_CHANGELOG, "&What's New", "Show Changelog"},
        {ID_MENU_DONATE, "&Donate", "Make Donation"},
        {ID_MENU_ABOUT, "&About", "About Kerv"},
    };
    for (const Item& item : items) {
        wxMenuItem* menuItem = Ui(frame).menuBar->FindItem(item.id);
        ASSERT_NE(menuItem, nullptr) << item.label;
        EXPECT_EQ(menuItem->GetItemLabel(), item.label);
        EXPECT_EQ(menuItem->GetHelp(), item.help);
    }
    // File: Open, Save, separator, Exit; Help: Update, separator, Contents, What's New,
    // separator, Donate, About.
    EXPECT_EQ(Ui(frame).menuBar->GetMenu(0)->GetMenuItemCount(), 4u);
    EXPECT_EQ(Ui(frame).menuBar->GetMenu(2)->GetMenuItemCount(), 7u);
    EXPECT_TRUE(Ui(frame).menuBar->GetMenu(2)->FindItemByPosition(1)->IsSeparator());
    EXPECT_TRUE(Ui(frame).menuBar->GetMenu(2)->FindItemByPosition(4)->IsSeparator());
}

TEST_F(MainFrameTest, ToolBarHoldsTheThreeToolsTheZoomBoxAndTwoButtons)
{
    CMainFrame* frame = MakeFrame();
    ASSERT_NE(Ui(frame).toolBar, nullptr);
    EXPECT_EQ(frame->GetToolBar(), Ui(frame).toolBar);
    ASSERT_EQ(Ui(frame).toolBar->GetToolsCount(), 8u);
    const int ids[] = {ID_TOOL_OPEN, ID_TOOL_SAVE, ID_COPY};
    const char* labels[] = {"Open", "Save", "Copy"};
    const char* help[] = {"Open image to resize", "Save image", "Copy image to Clipboard"};
    const wxSize sizes[] = {wxSize(16, 15), wxSize(16, 15), wxSize(16, 16)};
    for (int i = 0; i < 3; ++i) {
        const wxToolBarToolBase* tool = Ui(frame).toolBar->GetToolByPos(i);
        EXPECT_EQ(tool->GetId(), ids[i]);
        EXPECT_EQ(tool->GetLabel(), labels[i]);
        EXPECT_EQ(tool->GetShortHelp(), help[i]);
        EXPECT_EQ(tool->GetLongHelp(), help[i]);
        EXPECT_EQ(tool->GetNormalBitmap().GetSize(), sizes[i]);
    }
    EXPECT_TRUE(Ui(frame).toolBar->GetToolByPos(3)->IsSeparator());
    EXPECT_EQ(Ui(frame).toolBar->GetToolByPos(4)->GetControl(), Ui(frame).comboZoom);
    EXPECT_TRUE(Ui(frame).toolBar->GetToolByPos(5)->IsSeparator());
    EXPECT_EQ(Ui(frame).toolBar->GetToolByPos(6)->GetId(), ID_BTN_DONATE);
    EXPECT_EQ(Ui(frame).toolBar->GetToolByPos(6)->GetControl()->GetLabel(), "&Donate");
    EXPECT_EQ(Ui(frame).toolBar->GetToolByPos(7)->GetId(), ID_BTN_CHECK_UPDATE);
    EXPECT_EQ(Ui(frame).toolBar->GetToolByPos(7)->GetControl()->GetLabel(), "Chec&k for Update");

    EXPECT_EQ(Ui(frame).comboZoom->GetValue(), "100%");
    ASSERT_EQ(Ui(frame).comboZoom->GetCount(), 5u);
    const char* zooms[] = {"25%", "50%", "75%", "100%", "150%"};
    for (unsigned i = 0; i < 5; ++i)
        EXPECT_EQ(Ui(frame).comboZoom->GetString(i), zooms[i]);
    EXPECT_TRUE(Ui(frame).comboZoom->IsEnabled());
}

TEST_F(MainFrameTest, SplitterShowsTheControlsLeftOfThePictureWithRoomForAllOfThem)
{
    CMainFrame* frame = MakeFrame();
    EXPECT_EQ(Ui(frame).splitter->GetId(), ID_SPLITTER);
    EXPECT_EQ(Ui(frame).splitter->GetName(), "splitter");
    EXPECT_TRUE(Ui(frame).splitter->IsSplit());
    EXPECT_EQ(Ui(frame).splitter->GetSplitMode(), wxSPLIT_VERTICAL);
    EXPECT_EQ(Ui(frame).splitter->GetWindow1(), static_cast<wxWindow*>(Ui(frame).panelControls));
    // 272 pixels at least, more where the platform's controls need it.
    EXPECT_GE(Ui(frame).splitter->GetSashPosition(), 272);
    EXPECT_GE(Ui(frame).splitter->GetSashPosition(),
              Ui(frame).panelControls->GetSizer()->GetMinSize().x);
}

TEST_F(MainFrameTest, ControlsCarryTheirIdentifiers)
{
    CMainFrame* frame = MakeFrame();
    EXPECT_EQ(Ui(frame).spinWidth->GetId(), ID_SPIN_WIDTH);
    EXPECT_EQ(Ui(frame).spinHeight->GetId(), ID_SPIN_HEIGHT);
    EXPECT_EQ(Ui(frame).textAbsWidth->GetId(), ID_ABS_WIDTH);
    EXPECT_EQ(Ui(frame).spinAbsWidth->GetId(), ID_ABS_WIDTH);
    EXPECT_EQ(Ui(frame).textPercHeight->GetId(), ID_PERC_HEIGHT);
    EXPECT_EQ(Ui(frame).spinPercHeight->GetId(), ID_PERC_HEIGHT);
    EXPECT_EQ(Ui(frame).sliderWidth->GetId(), ID_SLIDER_WIDTH);
    EXPECT_EQ(Ui(frame).sliderHeight->GetId(), ID_SLIDER_HEIGHT);
    EXPECT_EQ(Ui(frame).btnResetSize->GetId(), ID_BTN_RESET_SIZE);
    EXPECT_EQ(Ui(frame).btnKerv->GetId(), ID_BTN_KERV);
    EXPECT_EQ(Ui(frame).checkAspect->GetId(), ID_CHK_ASPECT);
    EXPECT_EQ(Ui(frame).checkEnableMask->GetId(), ID_CHK_ENABLE_MASK);
    EXPECT_EQ(Ui(frame).btnClearMask->GetId(), ID_BTN_CLEAR_MASK);
    EXPECT_EQ(Ui(frame).comboZoom->GetId(), ID_COMBO_ZOOM);
    EXPECT_EQ(Ui(frame).timerStartUp.GetId(), ID_TIMER_STARTUP);
    EXPECT_EQ(Ui(frame).timerZoom.GetId(), ID_TIMER_ZOOM);
}

TEST_F(MainFrameTest, OnlyTheStartUpTimerRunsAndItIsOneShot)
{
    auto* frame = new CMainFrame(nullptr, wxID_ANY, wxEmptyString);
    EXPECT_TRUE(Ui(frame).timerStartUp.IsRunning());
    EXPECT_TRUE(Ui(frame).timerStartUp.IsOneShot());
    EXPECT_EQ(Ui(frame).timerStartUp.GetInterval(), 750);
    EXPECT_FALSE(Ui(frame).timerWidth.IsRunning());
    EXPECT_FALSE(Ui(frame).timerHeight.IsRunning());
    EXPECT_FALSE(Ui(frame).timerZoom.IsRunning());
    Ui(frame).timerStartUp.Stop();
}

TEST_F(MainFrameTest, WindowHasTheIconAndTheDefaultFrameStyle)
{
    CMainFrame* frame = MakeFrame();
    EXPECT_TRUE(frame->GetIcon().IsOk());
    EXPECT_EQ(frame->GetIcon().GetWidth(), 32);
    EXPECT_EQ(frame->GetIcon().GetHeight(), 32);
    EXPECT_TRUE(frame->HasFlag(wxRESIZE_BORDER));
    EXPECT_TRUE(frame->HasFlag(wxCLOSE_BOX));
}

TEST_F(MainFrameTest, DoSetTitleNamesTheFileWithoutItsFolder)
{
    CMainFrame* frame = MakeFrame();
    frame->DoSetTitle("/home/u/beach.jpg");
    EXPECT_EQ(frame->GetTitle(), "Vandrel 0.67 - beach.jpg");
    frame->DoSetTitle(wxEmptyString);
    EXPECT_EQ(frame->GetTitle(), "Vandrel 0.67");
}
