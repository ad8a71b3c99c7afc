// SPDX-License-Identifier: GPL-3.0-or-later
// CMainFrame: construction, layout, placement and the window title.
#include "main_frame.h"
#include "config_keys.h"

#include <algorithm>
#include <climits>
#include <memory>

#include <wx/accel.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/combobox.h>
#include <wx/config.h>
#include <wx/filehistory.h>
#include <wx/filename.h>
#include <wx/html/helpctrl.h>
#include <wx/icon.h>
#include <wx/intl.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/radiobut.h>
#include <wx/scrolwin.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/slider.h>
#include <wx/spinbutt.h>
#include <wx/spinctrl.h>
#include <wx/splitter.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>

#include "app_identity.h"
#include "file_drop_target.h"
#include "icons.h"
#include "main_frame_ids.h"
#include "paint_panel.h"
#include "progress_status_bar.h"
#include "size_spin_ctrl.h"
#include "window_placement.h"

namespace {

// The narrowest either pane of the splitter can become.
constexpr int kMinPaneWidth = 100;

}  // namespace

// Only the commands that exist so far are bound; the order of the entries is the order in
// which matching entries run when a handler lets its event pass on.
wxBEGIN_EVENT_TABLE(CMainFrame, wxFrame)
    // Image file commands (main_frame_file.cpp); tool clicks arrive as menu events, and the
    // Copy tool shares the menu item's id.
    EVT_MENU(ID_MENU_OPEN, CMainFrame::OnFileOpen)
    EVT_MENU(ID_MENU_SAVE, CMainFrame::OnSave)
    EVT_MENU(ID_COPY, CMainFrame::OnEditCopy)
    EVT_MENU(ID_MENU_UNDO, CMainFrame::OnUndo)
    EVT_MENU(ID_MENU_REDO, CMainFrame::OnRedo)
    EVT_MENU(ID_MENU_SHOW_ENERGY, CMainFrame::OnShowView)
    EVT_MENU(ID_MENU_SHOW_SEAMS, CMainFrame::OnShowView)
    EVT_MENU(ID_TOOL_OPEN, CMainFrame::OnFileOpen)
    EVT_MENU(ID_TOOL_SAVE, CMainFrame::OnSave)
    EVT_MENU_RANGE(ID_MRU_FIRST, ID_MRU_LAST, CMainFrame::OnMRUFile)
    // Size controls (main_frame_size.cpp). The slider entries cover the nine scroll kinds; a
    // scroll-changed event runs OnWidthScroll, then OnWidthEndScroll (both pass it on).
    EVT_COMMAND_SCROLL(ID_SLIDER_WIDTH, CMainFrame::OnWidthScroll)
    EVT_COMMAND_SCROLL_CHANGED(ID_SLIDER_WIDTH, CMainFrame::OnWidthEndScroll)
    EVT_SPINCTRL(ID_SPIN_WIDTH, CMainFrame::OnSpinWidth)
    EVT_COMMAND_SCROLL(ID_SLIDER_HEIGHT, CMainFrame::OnHeightScroll)
    EVT_COMMAND_SCROLL_CHANGED(ID_SLIDER_HEIGHT, CMainFrame::OnHeightEndScroll)
    EVT_SPINCTRL(ID_SPIN_HEIGHT, CMainFrame::OnSpinHeight)
    EVT_BUTTON(ID_BTN_RESET_SIZE, CMainFrame::OnHeight100)
    EVT_TEXT(ID_ABS_WIDTH, CMainFrame::OnSpinAbsWidthText)
    EVT_SPIN(ID_ABS_WIDTH, CMainFrame::OnSpinAbsWidth)
    EVT_TEXT(ID_ABS_HEIGHT, CMainFrame::OnSpinAbsHeightText)
    EVT_SPIN(ID_ABS_HEIGHT, CMainFrame::OnSpinAbsHeight)
    EVT_TEXT(ID_PERC_WIDTH, CMainFrame::OnSpinPercWidthText)
    EVT_SPIN(ID_PERC_WIDTH, CMainFrame::OnSpinPercWidth)
    EVT_TEXT(ID_PERC_HEIGHT, CMainFrame::OnSpinPercHeightText)
    EVT_SPIN(ID_PERC_HEIGHT, CMainFrame::OnSpinPercHeight)
    EVT_TEXT(ID_SPIN_WIDTH, CMainFrame::OnSpinWidthText)
    EVT_TEXT(ID_SPIN_HEIGHT, CMainFrame::OnSpinHeightText)
    EVT_TIMER(ID_TIMER_WIDTH, CMainFrame::OnWidthTimer)
    EVT_TIMER(ID_TIMER_HEIGHT, CMainFrame::OnHeightTimer)
    EVT_MENU(ID_MENU_EXIT, CMainFrame::OnFileExit)
    EVT_MENU(ID_MENU_HELP_CONTENTS, CMainFrame::OnHelpContents)
    EVT_MENU(ID_MENU_CHANGELOG, CMainFrame::OnChangelog)
    EVT_MENU(ID_MENU_DONATE, CMainFrame::OnDonate)
    EVT_MENU(ID_MENU_ABOUT, CMainFrame::OnMenuAbout)
    EVT_BUTTON(ID_BTN_DONATE, CMainFrame::OnDonate)
    EVT_MENU(ID_MENU_CHECK_UPDATE, CMainFrame::OnCheckUpdate)
    EVT_BUTTON(ID_BTN_CHECK_UPDATE, CMainFrame::OnCheckUpdate)
    EVT_TIMER(ID_TIMER_STARTUP, CMainFrame::OnStartUpTimer)
    EVT_CLOSE(CMainFrame::OnCloseMainFrame)
    // Zoom (main_frame_zoom.cpp).
    EVT_COMBOBOX(ID_COMBO_ZOOM, CMainFrame::OnComboZoom)
    EVT_TEXT(ID_COMBO_ZOOM, CMainFrame::OnComboZoomText)
    EVT_TIMER(ID_TIMER_ZOOM, CMainFrame::OnZoomTimer)
    EVT_TEXT_ENTER(ID_COMBO_ZOOM, CMainFrame::OnComboZoomEnter)
    EVT_MENU(ID_MENU_ZOOM_IN, CMainFrame::OnZoomIn)
    EVT_MENU(ID_MENU_ZOOM_OUT, CMainFrame::OnZoomOut)
    EVT_MENU(ID_MENU_ZOOM_ACTUAL, CMainFrame::OnZoomActual)
    EVT_MENU(ID_MENU_ZOOM_FIT, CMainFrame::OnZoomFit)
    EVT_SPLITTER_DCLICK(ID_SPLITTER, CMainFrame::OnSashDblClick)
    // The Kerv run (main_frame_kerv.cpp) and the mask commands (main_frame_mask.cpp). The brush
    // entry takes every scroll event of the window; it stays below the size sliders' entries,
    // whose handlers pass their events on to it.
    EVT_BUTTON(ID_BTN_KERV, CMainFrame::OnKerv)
    EVT_BUTTON(ID_BTN_REMOVE_OBJECT, CMainFrame::OnRemoveObject)
    EVT_CHOICE(ID_CHOICE_ENERGY, CMainFrame::OnEnergyMode)
    EVT_CHECKBOX(ID_CHK_ENABLE_MASK, CMainFrame::OnEnableProtectDelete)
    EVT_COMMAND_SCROLL(wxID_ANY, CMainFrame::OnSliderBrush)
    EVT_BUTTON(ID_BTN_STORE_MASK, CMainFrame::OnBtnStoreMask)
    EVT_BUTTON(ID_BTN_RECALL_MASK, CMainFrame::OnBtnRecallMask)
    EVT_BUTTON(ID_BTN_SAVE_MASK, CMainFrame::OnBtnSaveMask)
    EVT_BUTTON(ID_BTN_LOAD_MASK, CMainFrame::OnBtnLoadMask)
    EVT_BUTTON(ID_BTN_CLEAR_MASK, CMainFrame::OnBtnMaskClear)
wxEND_EVENT_TABLE()

namespace {

int ToInt(long value)
{
    return static_cast<int>(std::clamp<long>(value, INT_MIN, INT_MAX));
}

// The widths below are lower bounds: where the platform's control needs more room to show its
// text and arrows (GTK 3's spin controls do), it gets it.
void SetMinWidth(wxWindow* control, int width)
{
    control->SetMinSize(wxSize(std::max(width, control->GetBestSize().x), -1));
}

}  // namespace

CMainFrame::CMainFrame(wxWindow* parent, int id, const wxString& title, const wxPoint& pos,
                       const wxSize& size, long WXUNUSED(style))
    : wxFrame(parent, id, title, pos, size, wxDEFAULT_FRAME_STYLE), pStatusBar(nullptr),
      bCloseForUpdate(false), bCancelCalc(false), paintPanel(nullptr),
      timerWidth(this, ID_TIMER_WIDTH), timerHeight(this, ID_TIMER_HEIGHT),
      timerZoom(this, ID_TIMER_ZOOM), timerStartUp(this, ID_TIMER_STARTUP),
      bUpdatingControls(false), nEditSource(-1), bCalculating(false), bCloseAfterCalc(false),
      toolBar(nullptr), comboZoom(nullptr)
{
    splitter = new wxSplitterWindow(this, ID_SPLITTER, wxDefaultPosition, wxDefaultSize,
                                    wxSP_3D | wxSP_LIVE_UPDATE, "splitter");
    // The panel scrolls whenever its pane is too low or too narrow to show every group.
    auto* panelScrolled =
        new wxScrolledWindow(splitter, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                             wxBORDER_SIMPLE | wxTAB_TRAVERSAL | wxVSCROLL | wxHSCROLL);
    panelScrolled->SetScrollRate(10, 10);
    panelControls = panelScrolled;
    boxProtectDelete = new wxStaticBox(panelControls, wxID_ANY, _("Protect/Delete"));
    boxAbsolute = new wxStaticBox(panelControls, wxID_ANY, _("Absolute Change (to original size)"));
    boxImmediate = new wxStaticBox(panelControls, wxID_ANY, _("Immediate Change"));
    boxInfo = new wxStaticBox(panelControls, wxID_ANY, _("Information"));

    menuBar = CreateMenus();
    SetMenuBar(menuBar);

    CreateSizeControls();
    CreateMaskControls();
    CreatePaintPanel();
    BindStrokeSteps();

    set_properties();
    do_layout();

    CreateToolBarItems();
    CreateProgressStatusBar();

    wxIcon icon;
    icon.CopyFromBitmap(LoadIconPng());
    SetIcon(icon);

    RestorePlacementAndOptions();
    CreateFileHistory();
    DoSetTitle(wxEmptyString);
    pDropTarget = new FileDropTarget(this);
    SetDropTarget(pDropTarget);
    DoEnableProtectDelete();
    UpdateUndoMenu();
    SetExtraAccelerators();

    bCalculating = false;
    timerStartUp.StartOnce(750);
}

CMainFrame::~CMainFrame() = default;

wxVisualAttributes CMainFrame::GetDefaultAttributes() const
{
    return themeAttributes.Get([this] { return wxFrame::GetDefaultAttributes(); });
}

void CMainFrame::CreateSizeControls()
{
    textOriginal = new wxStaticText(panelControls, wxID_ANY, _("Original Size n/a"));
    textCurrent = new wxStaticText(panelControls, wxID_ANY, _("Percent Size Changed n/a"));

    // Ranges and values are replaced when a picture is opened.
    const long spinStyle = wxSP_ARROW_KEYS | wxALIGN_CENTRE_HORIZONTAL | wxTE_READONLY;
    sliderWidth = new wxSlider(panelControls, ID_SLIDER_WIDTH, 0, 0, 10, wxDefaultPosition,
                               wxDefaultSize, wxSL_HORIZONTAL);
    spinWidth = new SizeSpinCtrl(panelControls, ID_SPIN_WIDTH, spinStyle,
                                 [this] { return session.CurrentWidth(); });
    sliderHeight = new wxSlider(panelControls, ID_SLIDER_HEIGHT, 0, 0, 10, wxDefaultPosition,
                                wxDefaultSize, wxSL_HORIZONTAL);
    spinHeight = new SizeSpinCtrl(panelControls, ID_SPIN_HEIGHT, spinStyle,
                                  [this] { return session.CurrentHeight(); });
    btnResetSize = new wxButton(panelControls, ID_BTN_RESET_SIZE, _("Reset &Size"));

    textAbsWidth = new wxTextCtrl(panelControls, ID_ABS_WIDTH, wxEmptyString);
    spinAbsWidth = new wxSpinButton(panelControls, ID_ABS_WIDTH);
    textAbsHeight = new wxTextCtrl(panelControls, ID_ABS_HEIGHT, wxEmptyString);
    spinAbsHeight = new wxSpinButton(panelControls, ID_ABS_HEIGHT);
    textPercWidth = new wxTextCtrl(panelControls, ID_PERC_WIDTH, wxEmptyString);
    spinPercWidth = new wxSpinButton(panelControls, ID_PERC_WIDTH);
    textPercHeight = new wxTextCtrl(panelControls, ID_PERC_HEIGHT, wxEmptyString);
    spinPercHeight = new wxSpinButton(panelControls, ID_PERC_HEIGHT);
    checkAspect = new wxCheckBox(panelControls, ID_CHK_ASPECT, _("&Maintain aspect ratio"));
    checkAnimated = new wxCheckBox(panelControls, wxID_ANY, _("&Animated Kerving (slower)"));
    btnKerv = new wxButton(panelControls, ID_BTN_KERV, _("&Kerv"), wxDefaultPosition, wxDefaultSize,
                           wxBU_EXACTFIT);
    btnRemoveObject = new wxButton(panelControls, ID_BTN_REMOVE_OBJECT, _("Remove &Object"));
    const wxString energyModes[] = {_("Sobel"), _("Forward")};
    choiceEnergy = new wxChoice(panelControls, ID_CHOICE_ENERGY, wxDefaultPosition, wxDefaultSize,
                                WXSIZEOF(energyModes), energyModes);
    choiceEnergy->SetSelection(0);
}

void CMainFrame::CreateMaskControls()
{
    checkEnableMask = new wxCheckBox(panelControls, ID_CHK_ENABLE_MASK, _("&Enable"));
    sliderBrush = new wxSlider(panelControls, wxID_ANY, 10, 1, 100, wxDefaultPosition,
                               wxDefaultSize, wxSL_HORIZONTAL);
    textBrushSize = new wxTextCtrl(panelControls, wxID_ANY, "10", wxDefaultPosition, wxDefaultSize,
                                   wxTE_READONLY | wxTE_CENTRE);
    radioProtect = new wxRadioButton(panelControls, wxID_ANY, _("&Protect Area"), wxDefaultPosition,
                                     wxDefaultSize, wxRB_GROUP);
    radioDelete = new wxRadioButton(panelControls, wxID_ANY, _("&Delete Area"));
    radioErase = new wxRadioButton(panelControls, wxID_ANY, _("Erase Mas&k"));
    btnStoreMask = new wxButton(panelControls, ID_BTN_STORE_MASK, _("&Store Mask"));
    btnRecallMask = new wxButton(panelControls, ID_BTN_RECALL_MASK, _("Re&call Mask"));
    btnSaveMask = new wxButton(panelControls, ID_BTN_SAVE_MASK, _("Save Mask"));
    btnLoadMask = new wxButton(panelControls, ID_BTN_LOAD_MASK, _("Load Mask"));
    btnClearMask = new wxButton(panelControls, ID_BTN_CLEAR_MASK, _("&Clear Mask"));
}

void CMainFrame::SetExtraAccelerators()
{
    std::vector<wxAcceleratorEntry> keys = ZoomKeysWithoutShift();
    // Redo's second key; its menu item shows Ctrl+Y.
    keys.emplace_back(wxACCEL_CTRL | wxACCEL_SHIFT, 'Z', ID_MENU_REDO);
    SetAcceleratorTable(wxAcceleratorTable(static_cast<int>(keys.size()), keys.data()));
}

wxMenuBar* CMainFrame::CreateMenus()
{
    auto* bar = new wxMenuBar();

    auto* menuFile = new wxMenu();
    menuFile->Append(ID_MENU_OPEN, _("&Open\tCtrl+O"), _("Open File to resize"));
    menuFile->Append(ID_MENU_SAVE, _("&Save\tCtrl+S"), _("Save image"));
    menuFile->AppendSeparator();
    menuFile->Append(ID_MENU_EXIT, _("&Exit\tAlt+F4"), _("Exit Appllication"));
    bar->Append(menuFile, _("&File"));

    auto* menuEdit = new wxMenu();
    menuEdit->Append(ID_MENU_UNDO, _("&Undo\tCtrl+Z"), _("Undo the last change"));
    menuEdit->Append(ID_MENU_REDO, _("&Redo\tCtrl+Y"), _("Redo the last change undone"));
    menuEdit->AppendSeparator();
    menuEdit->Append(ID_COPY, _("&Copy\tCtrl+C"), _("Copy image to clipboard"));
    bar->Append(menuEdit, _("&Edit"));
    bar->Append(CreateViewMenu(), _("&View"));

    auto* menuHelp = new wxMenu();
    menuHelp->Append(ID_MENU_CHECK_UPDATE, _("Check for &Update"),
                     _("Check online if there is an update available"));
    menuHelp->AppendSeparator();
    menuHelp->Append(ID_MENU_HELP_CONTENTS, _("&Contents\tF1"), _("Display Help Topics"));
    menuHelp->Append(ID_MENU_CHANGELOG, _("&What's New"), _("Show Changelog"));
    menuHelp->AppendSeparator();
    menuHelp->Append(ID_MENU_DONATE, _("&Donate"), _("Make Donation"));
    menuHelp->Append(ID_MENU_ABOUT, _("&About"), _("About Kerv"));
    bar->Append(menuHelp, _("&Help"));

    return bar;
}

void CMainFrame::set_properties()
{
    // A placeholder until DoSetTitle runs at the end of construction.
    SetTitle("rovUvivur");
    SetSize(wxSize(750, 657));

    SetMinWidth(sliderWidth, 100);
    SetMinWidth(sliderHeight, 100);
    SetMinWidth(spinWidth, 70);
    SetMinWidth(spinHeight, 70);
    for (wxTextCtrl* text : {textAbsWidth, textAbsHeight, textPercWidth, textPercHeight})
        text->SetMinSize(wxSize(50, -1));
    for (wxSpinButton* spin : {spinAbsWidth, spinAbsHeight, spinPercWidth, spinPercHeight})
        SetMinWidth(spin, 15);
    SetMinWidth(sliderBrush, 100);
    textBrushSize->SetMinSize(wxSize(50, -1));
    // Exact fit leaves GTK 3's button frame touching the text; the run's button keeps at
    // least the platform's usual button width.
    SetMinWidth(btnKerv, wxButton::GetDefaultSize(this).x);

    // Nothing can be resized before a picture is open.
    for (wxWindow* control : std::initializer_list<wxWindow*>{
             sliderWidth, spinWidth, sliderHeight, spinHeight, btnResetSize, textAbsWidth,
             spinAbsWidth, textAbsHeight, spinAbsHeight, textPercWidth, spinPercWidth,
             textPercHeight, spinPercHeight, checkAspect, checkAnimated, btnKerv, btnRemoveObject,
             btnRecallMask})
        control->Disable();
    checkAspect->SetValue(true);
    checkAnimated->SetValue(true);
    radioProtect->SetValue(true);
}

void CMainFrame::do_layout()
{
    auto* sizerFrame = new wxBoxSizer(wxVERTICAL);
    auto* sizerControls = new wxBoxSizer(wxVERTICAL);
    for (wxSizer* group : {LayoutInformation(), LayoutImmediateChange(), LayoutAbsoluteChange(),
                           LayoutProtectDelete()})
        sizerControls->Add(group, 0, wxALL | wxEXPAND, 3);

    panelControls->SetSizer(sizerControls);

    // 272 pixels, or what the controls need where the platform's controls are wider.
    const int controlsWidth = sizerControls->GetMinSize().x +
                              wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, panelControls) + 4;
    splitter->SplitVertically(panelControls, paintPanel, std::max(272, controlsWidth));
    // No drag of the sash (and no narrowing of the window) takes either pane out of sight.
    splitter->SetMinimumPaneSize(kMinPaneWidth);
    sizerFrame->Add(splitter, 1, wxEXPAND, 0);
    SetSizer(sizerFrame);
    Layout();
}

wxSizer* CMainFrame::LayoutInformation()
{
    auto* sizerInfo = new wxStaticBoxSizer(boxInfo, wxVERTICAL);
    sizerInfo->Add(textOriginal, 0, wxLEFT | wxRIGHT | wxTOP, 3);
    sizerInfo->Add(textCurrent, 0, wxLEFT | wxRIGHT | wxTOP, 3);
    return sizerInfo;
}

wxSizer* CMainFrame::LayoutImmediateChange()
{
    auto* sizerImmediate = new wxStaticBoxSizer(boxImmediate, wxHORIZONTAL);
    auto* gridImmediate = new wxFlexGridSizer(3, 3, 3, 3);
    gridImmediate->Add(new wxStaticText(panelControls, wxID_ANY, _("Width")), 0,
                       wxALIGN_CENTER_VERTICAL);
    gridImmediate->Add(sliderWidth, 0, wxEXPAND);
    gridImmediate->Add(spinWidth, 0, 0);
    gridImmediate->Add(new wxStaticText(panelControls, wxID_ANY, _("Height")), 0,
                       wxALIGN_CENTER_VERTICAL);
    gridImmediate->Add(sliderHeight, 0, wxEXPAND);
    gridImmediate->Add(spinHeight, 0, 0);
    gridImmediate->AddSpacer(0);
    gridImmediate->AddSpacer(0);
    gridImmediate->Add(btnResetSize, 0, wxALIGN_RIGHT);
    gridImmediate->AddGrowableCol(1);
    sizerImmediate->Add(gridImmediate, 1, wxEXPAND | wxTOP, 3);
    return sizerImmediate;
}

wxSizer* CMainFrame::LayoutAbsoluteChange()
{
    auto* sizerAbsolute = new wxStaticBoxSizer(boxAbsolute, wxVERTICAL);
    auto* gridAbsolute = new wxFlexGridSizer(3, 4, 3, 3);
    auto addTarget = [&](const wxString& label, wxTextCtrl* text, wxSpinButton* spin) {
        gridAbsolute->Add(new wxStaticText(panelControls, wxID_ANY, label), 0,
                          wxALIGN_CENTER_VERTICAL);
        auto* pair = new wxBoxSizer(wxHORIZONTAL);
        pair->Add(text, 1, wxEXPAND);
        pair->Add(spin, 0, wxLEFT | wxEXPAND, 1);
        gridAbsolute->Add(pair, 1, wxEXPAND);
    };
    addTarget(_("Width"), textAbsWidth, spinAbsWidth);
    addTarget(_("Height"), textAbsHeight, spinAbsHeight);
    addTarget(_("Width%"), textPercWidth, spinPercWidth);
    addTarget(_("Height%"), textPercHeight, spinPercHeight);
    gridAbsolute->AddGrowableRow(1);
    gridAbsolute->AddGrowableRow(2);
    gridAbsolute->AddGrowableCol(1);
    gridAbsolute->AddGrowableCol(3);
    sizerAbsolute->Add(gridAbsolute, 0, wxEXPAND, 0);
    auto* sizerAspect = new wxBoxSizer(wxHORIZONTAL);
    sizerAspect->Add(checkAspect, 0, wxTOP, 3);
    sizerAbsolute->Add(sizerAspect, 1, wxEXPAND, 0);
    sizerAbsolute->Add(checkAnimated, 0, wxTOP | wxBOTTOM, 3);
    auto* rowRun = new wxBoxSizer(wxHORIZONTAL);
    rowRun->Add(new wxStaticText(panelControls, wxID_ANY, _("Energy")), 0,
                wxALIGN_CENTER_VERTICAL | wxRIGHT, 3);
    rowRun->Add(choiceEnergy, 0, wxALIGN_CENTER_VERTICAL, 0);
    rowRun->AddStretchSpacer(1);
    rowRun->Add(btnRemoveObject, 0, wxRIGHT, 3);
    rowRun->Add(btnKerv, 0, 0, 0);
    sizerAbsolute->Add(rowRun, 0, wxEXPAND, 0);
    return sizerAbsolute;
}

wxSizer* CMainFrame::LayoutProtectDelete()
{
    auto* sizerMask = new wxStaticBoxSizer(boxProtectDelete, wxVERTICAL);
    sizerMask->Add(checkEnableMask, 0, wxALL, 3);
    auto* rowBrush = new wxBoxSizer(wxHORIZONTAL);
    rowBrush->Add(new wxStaticText(panelControls, wxID_ANY, _("Brush Size")), 0,
                  wxALIGN_CENTER_VERTICAL | wxRIGHT, 3);
    rowBrush->Add(sliderBrush, 1, wxEXPAND, 0);
    rowBrush->Add(textBrushSize, 0, wxALIGN_CENTER_VERTICAL, 0);
    sizerMask->Add(rowBrush, 0, wxEXPAND | wxALL, 3);
    sizerMask->Add(radioProtect, 0, wxALL, 3);
    sizerMask->Add(radioDelete, 0, wxALL, 3);
    sizerMask->Add(radioErase, 0, wxALL, 3);
    auto* rowStoreRecall = new wxBoxSizer(wxHORIZONTAL);
    rowStoreRecall->Add(btnStoreMask, 1, wxRIGHT, 3);
    rowStoreRecall->Add(btnRecallMask, 1, 0, 0);
    sizerMask->Add(rowStoreRecall, 0, wxEXPAND | wxALL, 3);
    auto* rowSaveLoad = new wxBoxSizer(wxHORIZONTAL);
    rowSaveLoad->Add(btnSaveMask, 1, wxRIGHT, 3);
    rowSaveLoad->Add(btnLoadMask, 1, 0, 0);
    sizerMask->Add(rowSaveLoad, 0, wxEXPAND | wxALL, 3);
    auto* rowClear = new wxBoxSizer(wxHORIZONTAL);
    rowClear->Add(btnClearMask, 1, wxEXPAND, 0);
    sizerMask->Add(rowClear, 0, wxEXPAND | wxALL, 3);
    return sizerMask;
}

void CMainFrame::CreateToolBarItems()
{
    toolBar = new wxToolBar(this, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                            wxTB_HORIZONTAL | wxTB_FLAT | wxTB_HORZ_TEXT);
    SetToolBar(toolBar);

    toolBar->AddTool(ID_TOOL_OPEN, _("Open"), wxBitmap(open_xpm), wxNullBitmap, wxITEM_NORMAL,
                     _("Open image to resize"), _("Open image to resize"));
    toolBar->AddTool(ID_TOOL_SAVE, _("Save"), wxBitmap(save_xpm), wxNullBitmap, wxITEM_NORMAL,
                     _("Save image"), _("Save image"));
    toolBar->AddTool(ID_COPY, _("Copy"), wxBitmap(editcopy_xpm), wxNullBitmap, wxITEM_NORMAL,
                     _("Copy image to Clipboard"), _("Copy image to Clipboard"));
    toolBar->AddSeparator();

    const wxString zoomChoices[] = {"25%", "50%", "75%", "100%", "150%", "200%", _("Fit")};
    comboZoom =
        new wxComboBox(toolBar, ID_COMBO_ZOOM, "100%", wxDefaultPosition, wxSize(75, -1),
                       WXSIZEOF(zoomChoices), zoomChoices, wxCB_DROPDOWN | wxTE_PROCESS_ENTER);
    // 75 pixels, or enough to show a four-digit zoom beside the platform's drop-down button.
    const int zoomWidth = comboZoom->GetSizeFromTextSize(comboZoom->GetTextExtent("1000%").x).x;
    if (zoomWidth > 75) {
        comboZoom->SetMinSize(wxSize(zoomWidth, -1));
        comboZoom->SetSize(wxSize(zoomWidth, -1));
    }
    toolBar->AddControl(comboZoom);
    toolBar->AddSeparator();
    toolBar->AddControl(new wxButton(toolBar, ID_BTN_DONATE, _("&Donate")));
    toolBar->AddControl(new wxButton(toolBar, ID_BTN_CHECK_UPDATE, _("Chec&k for Update")));
    toolBar->Realize();
}

void CMainFrame::CreateProgressStatusBar()
{
    pStatusBar = new ProgressStatusBar(this, wxID_ANY, wxSTB_SIZEGRIP, "statusBar");
    const int widths[] = {-1, -1, -1};
    pStatusBar->SetFieldsCount(3, widths);
    SetStatusBar(pStatusBar);
}

void CMainFrame::RestorePlacementAndOptions()
{
    const wxSize screen(wxSystemSettings::GetMetric(wxSYS_SCREEN_X),
                        wxSystemSettings::GetMetric(wxSYS_SCREEN_Y));
    const wxRect defaults = DefaultWindowRect(screen);

    wxConfigBase* config = wxConfigBase::Get();
    config->SetPath(kGroupLook);
    const wxRect stored(ToInt(config->ReadLong(kKeyLookX, defaults.x)),
                        ToInt(config->ReadLong(kKeyLookY, defaults.y)),
                        ToInt(config->ReadLong(kKeyLookWidth, defaults.width)),
                        ToInt(config->ReadLong(kKeyLookHeight, defaults.height)));
    config->SetPath(kConfigRoot);
    const wxRect placement = ChooseWindowRect(screen, stored);
    Move(placement.GetPosition());
    SetSize(placement.GetSize());

    checkAnimated->SetValue(config->ReadLong(kKeyAnimatedKerv, 1) != 0);
    checkAspect->SetValue(config->ReadLong(kKeyMaintainAspect, 1) != 0);
}

void CMainFrame::CreateFileHistory()
{
    pFileHistory = std::make_unique<wxFileHistory>(kMaxRecentFiles, ID_MRU_FIRST);
    pFileHistory->UseMenu(menuBar->GetMenu(0));
    wxConfigBase* config = wxConfigBase::Get();
    config->SetPath(kGroupRecentFiles);
    pFileHistory->Load(*config);
    config->SetPath(kConfigRoot);
}

void CMainFrame::DoSetTitle(wxString path)
{
    wxString title = wxString::Format("%s %s", szProductTitle, szVersion);
    if (!path.empty())
        title += " - " + wxFileName(path).GetFullName();
    SetTitle(title);
}
