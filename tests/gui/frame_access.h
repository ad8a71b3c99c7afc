// SPDX-License-Identifier: GPL-3.0-or-later
// The window tests' one way into CMainFrame beyond its public operations: the widgets a user
// works with and the few flags a test must set up, by the names the window gives them. Ui(frame)
// is a fresh view for each use, so pDP is always the session's current engine. It brings the
// declarations of everything it hands out, and the identifiers the window gives its commands.
#ifndef KERV_TESTS_GUI_FRAME_ACCESS_H
#define KERV_TESTS_GUI_FRAME_ACCESS_H

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/filehistory.h>
#include <wx/gauge.h>
#include <wx/menu.h>
#include <wx/radiobut.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>
#include <wx/toolbar.h>

#include "dp.h"
#include "file_drop_target.h"
#include "main_frame.h"
#include "main_frame_ids.h"
#include "paint_panel.h"
#include "progress_status_bar.h"

struct CMainFrameTestAccess {
    explicit CMainFrameTestAccess(CMainFrame* window) : frame(window) {}

    CMainFrame* const frame;
    PictureSession& session = frame->session;
    DP* const pDP = frame->session.Engine();
    ProgressStatusBar* const pStatusBar = frame->pStatusBar;
    CPaintPanel* const paintPanel = frame->paintPanel;
    wxMenuBar* const menuBar = frame->menuBar;
    wxToolBar* const toolBar = frame->toolBar;
    wxComboBox* const comboZoom = frame->comboZoom;
    wxStaticText* const textOriginal = frame->textOriginal;
    wxStaticText* const textCurrent = frame->textCurrent;
    wxSlider* const sliderWidth = frame->sliderWidth;
    wxSpinCtrl* const spinWidth = frame->spinWidth;
    wxSlider* const sliderHeight = frame->sliderHeight;
    wxSpinCtrl* const spinHeight = frame->spinHeight;
    wxButton* const btnResetSize = frame->btnResetSize;
    wxTextCtrl* const textAbsWidth = frame->textAbsWidth;
    wxTextCtrl* const textAbsHeight = frame->textAbsHeight;
    wxTextCtrl* const textPercWidth = frame->textPercWidth;
    wxTextCtrl* const textPercHeight = frame->textPercHeight;
    wxCheckBox* const checkAspect = frame->checkAspect;
    wxCheckBox* const checkAnimated = frame->checkAnimated;
    wxButton* const btnKerv = frame->btnKerv;
    wxCheckBox* const checkEnableMask = frame->checkEnableMask;
    wxSlider* const sliderBrush = frame->sliderBrush;
    wxTextCtrl* const textBrushSize = frame->textBrushSize;
    wxRadioButton* const radioProtect = frame->radioProtect;
    wxRadioButton* const radioDelete = frame->radioDelete;
    wxRadioButton* const radioErase = frame->radioErase;
    wxButton* const btnStoreMask = frame->btnStoreMask;
    wxButton* const btnRecallMask = frame->btnRecallMask;
    wxButton* const btnSaveMask = frame->btnSaveMask;
    wxButton* const btnLoadMask = frame->btnLoadMask;
    wxButton* const btnClearMask = frame->btnClearMask;
    wxTimer& timerWidth = frame->timerWidth;
    wxTimer& timerZoom = frame->timerZoom;
    wxTimer& timerStartUp = frame->timerStartUp;
    FileDropTarget* const pDropTarget = frame->pDropTarget;
    wxFileHistory* const pFileHistory = frame->pFileHistory.get();
    wxHtmlHelpController* const pHelpController = frame->pHelpController.get();
    wxBitmap& bmpStoredMask = frame->bmpStoredMask;
    bool& bCalculating = frame->bCalculating;
    bool& bCancelCalc = frame->bCancelCalc;
    bool& bCloseForUpdate = frame->bCloseForUpdate;
    bool& bCloseAfterCalc = frame->bCloseAfterCalc;
};

inline CMainFrameTestAccess Ui(CMainFrame* frame)
{
    return CMainFrameTestAccess(frame);
}

#endif
