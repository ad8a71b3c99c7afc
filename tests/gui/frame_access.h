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
    explicit CMainFrameTestAccess(CMainFrame* frame)
        : session(frame->session), pDP(frame->session.Engine()), pStatusBar(frame->pStatusBar),
          paintPanel(frame->paintPanel), menuBar(frame->menuBar), toolBar(frame->toolBar),
          comboZoom(frame->comboZoom), textOriginal(frame->textOriginal),
          textCurrent(frame->textCurrent), sliderWidth(frame->sliderWidth),
          spinWidth(frame->spinWidth), sliderHeight(frame->sliderHeight),
          spinHeight(frame->spinHeight), btnResetSize(frame->btnResetSize),
          textAbsWidth(frame->textAbsWidth), textAbsHeight(frame->textAbsHeight),
          textPercWidth(frame->textPercWidth), textPercHeight(frame->textPercHeight),
          checkAspect(frame->checkAspect), checkAnimated(frame->checkAnimated),
          btnKerv(frame->btnKerv), checkEnableMask(frame->checkEnableMask),
          sliderBrush(frame->sliderBrush), textBrushSize(frame->textBrushSize),
          radioProtect(frame->radioProtect), radioDelete(frame->radioDelete),
          radioErase(frame->radioErase), btnStoreMask(frame->btnStoreMask),
          btnRecallMask(frame->btnRecallMask), btnSaveMask(frame->btnSaveMask),
          btnLoadMask(frame->btnLoadMask), btnClearMask(frame->btnClearMask),
          timerWidth(frame->timerWidth), timerZoom(frame->timerZoom),
          timerStartUp(frame->timerStartUp), pDropTarget(frame->pDropTarget),
          pFileHistory(frame->pFileHistory.get()), pHelpController(frame->pHelpController.get()),
          bmpStoredMask(frame->bmpStoredMask), bCalculating(frame->bCalculating),
          bCancelCalc(frame->bCancelCalc), bCloseForUpdate(frame->bCloseForUpdate),
          bCloseAfterCalc(frame->bCloseAfterCalc)
    {
    }

    PictureSession& session;
    DP* const pDP;
    ProgressStatusBar* const pStatusBar;
    CPaintPanel* const paintPanel;
    wxMenuBar* const menuBar;
    wxToolBar* const toolBar;
    wxComboBox* const comboZoom;
    wxStaticText* const textOriginal;
    wxStaticText* const textCurrent;
    wxSlider* const sliderWidth;
    wxSpinCtrl* const spinWidth;
    wxSlider* const sliderHeight;
    wxSpinCtrl* const spinHeight;
    wxButton* const btnResetSize;
    wxTextCtrl* const textAbsWidth;
    wxTextCtrl* const textAbsHeight;
    wxTextCtrl* const textPercWidth;
    wxTextCtrl* const textPercHeight;
    wxCheckBox* const checkAspect;
    wxCheckBox* const checkAnimated;
    wxButton* const btnKerv;
    wxCheckBox* const checkEnableMask;
    wxSlider* const sliderBrush;
    wxTextCtrl* const textBrushSize;
    wxRadioButton* const radioProtect;
    wxRadioButton* const radioDelete;
    wxRadioButton* const radioErase;
    wxButton* const btnStoreMask;
    wxButton* const btnRecallMask;
    wxButton* const btnSaveMask;
    wxButton* const btnLoadMask;
    wxButton* const btnClearMask;
    wxTimer& timerWidth;
    wxTimer& timerZoom;
    wxTimer& timerStartUp;
    FileDropTarget* const pDropTarget;
    wxFileHistory* const pFileHistory;
    wxHtmlHelpController* const pHelpController;
    wxBitmap& bmpStoredMask;
    bool& bCalculating;
    bool& bCancelCalc;
    bool& bCloseForUpdate;
    bool& bCloseAfterCalc;
};

inline CMainFrameTestAccess Ui(CMainFrame* frame)
{
    return CMainFrameTestAccess(frame);
}

#endif
