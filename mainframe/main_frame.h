// CMainFrame: the program's only top-level window. It owns the engine (DP) of the picture being
// edited and all user-interface state: a splitter with the control panel on the left and the
// picture canvas on the right, the menu bar, the tool bar with the zoom box, the status bar with
// its progress gauge, and four one-shot timers.
//
// The implementation is split by concern: main_frame.cpp (construction, layout, title),
// main_frame_exit.cpp (exit question, close and settings), main_frame_help.cpp (about, help
// book, donation), main_frame_mask.cpp (mask-control state), main_frame_update.cpp (update
// check).
#ifndef KERV_MAINFRAME_MAIN_FRAME_H
#define KERV_MAINFRAME_MAIN_FRAME_H

#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/string.h>
#include <wx/timer.h>

#include "fast_image.h"

class CPaintPanel;
class DP;
class ProgressStatusBar;
class wxButton;
class wxCheckBox;
class wxComboBox;
class wxFileHistory;
class wxHtmlHelpController;
class wxMenuBar;
class wxPanel;
class wxRadioButton;
class wxSlider;
class wxSpinButton;
class wxSpinCtrl;
class wxSplitterWindow;
class wxStaticBox;
class wxStaticText;
class wxTextCtrl;
class wxToolBar;

class CMainFrame : public wxFrame {
public:
    // The frame always gets the toolkit's default frame style, whatever style says.
    CMainFrame(wxWindow* parent, int id, const wxString& title,
               const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
               long style = wxDEFAULT_FRAME_STYLE);
    // Destroys only the by-value members; the close handler has already released the engine,
    // the file history and the help controller.
    ~CMainFrame() override;

    // Title "Vandrel 0.67", followed by " - " and the file's name when path is not empty.
    void DoSetTitle(wxString path);

    // Enables the "Protect/Delete" group as "&Enable" says, and the four immediate size
    // controls only while a picture is open and painting is off.
    void DoEnableProtectDelete();

    // Opens the help book "kerv" from the working directory at topic, or at its contents when
    // topic is empty. The viewer is created on first success and reused afterwards.
    void ShowHelp(wxString topic);

    void OnFileExit(wxCommandEvent& event);
    void OnCloseMainFrame(wxCloseEvent& event);
    void OnHelpContents(wxCommandEvent& event);
    void OnChangelog(wxCommandEvent& event);
    void OnDonate(wxCommandEvent& event);
    void OnMenuAbout(wxCommandEvent& event);

    // The update check (main_frame_update.cpp).
    void OnCheckUpdate(wxCommandEvent& event);
    void OnStartUpTimer(wxTimerEvent& event);
    void StartCheckUpdate();
    // One attempt at the version file, directly or through proxy ("host:port"); true when
    // it held a version, whatever the user then answered.
    bool DoCheckUpdate(wxString proxy);
    // Starts the updater for serverVersion and closes the window without the exit question.
    void DoUpdate(wxString serverVersion);

    ProgressStatusBar* pStatusBar;
    wxString strFileName;
    DP* pDP;                        // owned; null while no picture is open
    wxFastImage imgEnergyCache;     // shared with the engine, so Reset need not recompute it
    bool bImageModified;
    bool bCloseForUpdate;           // the updater was started: close without asking
    bool bCancelCalc;               // "Abort" was pressed; cleared by the status bar's Finish
    wxStaticBox* boxProtectDelete;
    wxStaticBox* boxAbsolute;
    wxStaticBox* boxImmediate;
    wxStaticBox* boxInfo;
    wxMenuBar* menuBar;
    wxStaticText* textOriginal;
    wxStaticText* textCurrent;
    wxSlider* sliderWidth;
    wxSpinCtrl* spinWidth;
    wxSlider* sliderHeight;
    wxSpinCtrl* spinHeight;
    wxButton* btnResetSize;
    wxTextCtrl* textAbsWidth;
    wxSpinButton* spinAbsWidth;
    wxTextCtrl* textAbsHeight;
    wxSpinButton* spinAbsHeight;
    wxTextCtrl* textPercWidth;
    wxSpinButton* spinPercWidth;
    wxTextCtrl* textPercHeight;
    wxSpinButton* spinPercHeight;
    wxCheckBox* checkAspect;
    wxCheckBox* checkAnimated;
    wxButton* btnKerv;
    wxCheckBox* checkEnableMask;
    wxSlider* sliderBrush;
    wxTextCtrl* textBrushSize;
    wxRadioButton* radioProtect;
    wxRadioButton* radioDelete;
    wxRadioButton* radioErase;
    wxButton* btnStoreMask;
    wxButton* btnRecallMask;
    wxButton* btnSaveMask;
    wxButton* btnLoadMask;
    wxButton* btnClearMask;
    wxPanel* panelControls;
    CPaintPanel* paintPanel;        // the mask canvas; null until the canvas joins the window
    wxSplitterWindow* splitter;
    wxTimer timerWidth;
    wxTimer timerHeight;
    wxTimer timerZoom;
    wxTimer timerStartUp;
    int nCurWidth;                  // -1: no picture
    int nCurHeight;
    int nOrigWidth;
    int nOrigHeight;
    bool bUpdatingControls;         // the program itself is writing the size controls
    int nEditSource;                // -1 none, 1 abs. width, 2 abs. height, 3 % width, 4 % height
    bool bCalculating;              // a Kerv run is in progress
    // A close that could not be refused arrived during a Kerv run: the run was cancelled and,
    // once it has unwound and cleared bCalculating, must call Close(true).
    bool bCloseAfterCalc;
    wxFileHistory* pFileHistory;    // owned; deleted by the close handler
    wxBitmap bmpStoredMask;
    wxToolBar* toolBar;
    wxComboBox* comboZoom;
    wxHtmlHelpController* pHelpController;  // owned; null until the first successful help command

protected:
    void set_properties();
    void do_layout();

private:
    wxMenuBar* CreateMenus();
    void CreateToolBarItems();
    void CreateProgressStatusBar();
    void RestorePlacementAndOptions();
    void CreateFileHistory();
    void SaveSettings();

    // The right pane of the splitter: the canvas once it is part of the window, until then an
    // empty panel in its place.
    wxWindow* pictureArea = nullptr;

    wxDECLARE_EVENT_TABLE();
};

#endif
