// SPDX-License-Identifier: GPL-3.0-or-later
// CMainFrame: the program's only top-level window, the view of a PictureSession. The session
// holds the picture being resized (engine, sizes, modified flag, the one-run rule, target
// arithmetic); the window holds the widgets: a splitter with the control panel on the left and
// the picture canvas on the right, the menu bar, the tool bar with the zoom box, the status bar
// with its progress gauge, and four one-shot timers. Its handlers ask the session and show the
// answer. The implementation is split into one source file per concern (main_frame_*.cpp).
#ifndef KERV_MAINFRAME_MAIN_FRAME_H
#define KERV_MAINFRAME_MAIN_FRAME_H

#include <memory>
#include <vector>

#include <wx/accel.h>
#include <wx/arrstr.h>
#include <wx/bitmap.h>
#include <wx/frame.h>
#include <wx/string.h>
#include <wx/timer.h>

#include "paint_panel_host.h"
#include "picture_session.h"
#include "theme_attributes.h"

class AnimationPacer;
class CPaintPanel;
class FileDropTarget;
class ProgressStatusBar;
class wxButton;
class wxCheckBox;
class wxChoice;
class wxComboBox;
class wxFileHistory;
class wxHtmlHelpController;
class wxMenu;
class wxMenuBar;
class wxPanel;
class wxRadioButton;
class wxSlider;
class wxScrollEvent;
class wxSpinButton;
class wxSpinCtrl;
class wxSpinEvent;
class wxSplitterEvent;
class wxSplitterWindow;
class wxStaticBox;
class wxStaticText;
class wxTextCtrl;
class wxToolBar;

class CMainFrame : public wxFrame, public PaintPanelHost {
public:
    // The frame always gets the toolkit's default frame style, whatever style says.
    CMainFrame(wxWindow* parent, int id, const wxString& title,
               const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxDefaultSize,
               long style = wxDEFAULT_FRAME_STYLE);
    // Destroys only the by-value members; the close handler has already released the engine,
    // the file history and the help controller.
    ~CMainFrame() override;

    // The picture being resized.
    const PictureSession& Session() const { return session; }

    // Title "Vandrel 0.67", followed by " - " and the file's name when path is not empty.
    void DoSetTitle(wxString path);

    // Enables the "Protect/Delete" group as "&Enable" says, and the four immediate size
    // controls only while a picture is open and painting is off.
    void DoEnableProtectDelete();

    // What the canvas asks of its window (main_frame_canvas.cpp): the picture, the paint mode
    // of the radio buttons, and the brush-size display (slider and text), which SetBrushSize
    // updates whenever the canvas changes its brush.
    const wxFastImage* PictureToShow() override;
    wxSize PictureSizeToShow() const override;
    const wxFastImage* OpenedPicture() override;
    unsigned long PictureGeneration() const override;
    bool PictureChanging() const override { return IsCarving(); }
    PaintMode CurrentPaintMode() const override;
    void SetBrushSize(int size) override;
    // The zoom box shows the canvas's zoom ("Fit" while it follows the pane); a typed zoom still
    // waiting for its delay is dropped.
    void ZoomChanged(int zoom, bool fit) override;

    // "Abort" of the status bar asks the running carve to stop; Finish clears the request.
    void SetCancelCalc(bool cancel) { bCancelCalc = cancel; }

    // Opens the help book "kerv" (the working directory's, else the translated or installed one)
    // at topic, or at its contents when topic is empty. The viewer is created on first success and reused afterwards.
    void ShowHelp(wxString topic);

    // Zoom (main_frame_zoom.cpp). ProcessZoom reads text (the zoom box's text when empty) as
    // "135", "135%" or "135 %" and returns the percentage, or -1 when it is not a number or lies
    // outside 1 to kMaxZoom.
    int ProcessZoom(wxString text);

    // Image file commands (main_frame_file.cpp).
    // True when a new picture may replace the current one: nothing is unsaved, or the user
    // answered "Yes" to "Dismiss Changes?". The flag is cleared only by a successful open.
    bool OkToLoad();
    // Opens path as the picture to resize; index is the recent-files entry it came from, or -1.
    // A failure shows an error box naming the file and the reason, keeps the picture that was
    // open with everything the window shows of it, and removes that entry from the list.
    void DoOpenFile(wxString& path, int index);
    // A drop on the window: one file is opened after the unsaved-changes question, more (or
    // none) are refused with an error box; nothing while a carving run is in progress. Always
    // false.
    bool Drop(wxArrayString files);

    // Target size fields (main_frame_targets.cpp) and the immediate carving driver
    // (main_frame_size.cpp).
    // One carving run at a time: true while an immediate run or a Kerv run is in progress.
    // Every other command that changes the picture's size or replaces the engine does nothing
    // while it holds, so no run starts inside another run's yield and no engine is replaced
    // under a running loop.
    bool IsCarving() const;
    // A target field's number, read the strtol way: leading blanks and a sign accepted, reading
    // stops at the first non-digit, no leading digits read as 0.
    int ReadTargetField(const wxTextCtrl* field) const;
    // Writes the target fields from absolute values; -1 leaves that dimension alone. The field
    // named by nEditSource is not rewritten; nEditSource is -1 afterwards.
    void SetWidthHeight(int width, int height);
    // Recompute every target field from the one the user changed.
    void DoCalcAbsWidth();
    void DoCalcAbsHeight();
    void DoCalcPercWidth();
    void DoCalcPercHeight();
    // The immediate driver: carves one seam per pixel of difference with progress and "Abort".
    // Returns the requested difference (new - current), or 0 when nothing was done.
    int WidthChange(int newWidth);
    int HeightChange(int newHeight);
    // Status line, immediate controls and "Reset &Size" from the current size.
    void UpdateStat();

    // The theme's font and colours, looked up once per theme (see theme_attributes.h).
    wxVisualAttributes GetDefaultAttributes() const override;

    // The Kerv run (main_frame_kerv.cpp): enable false enters calculation mode (bCalculating
    // set, the commands that could change or replace the picture disabled); true leaves it and
    // restores the mask-control rule.
    void EnableDuringCalc(bool enable);
    // Why the picture cannot be carved to width x height, or empty when it can.
    static wxString KervTargetProblem(int width, int height);

    // The default name of a picture's mask file: its path with "_mask.bmp" in place of the
    // extension of its file name.
    static wxString DefaultMaskFileName(const wxString& picturePath);

    // The update check (main_frame_update.cpp).
    void StartCheckUpdate();
    // One attempt at the version file, directly or through proxy ("host:port"); true when
    // it held a version, whatever the user then answered.
    bool DoCheckUpdate(wxString proxy);
    // Starts the updater for serverVersion and closes the window without the exit question.
    void DoUpdate(wxString serverVersion);

protected:
    void set_properties();
    void do_layout();

private:
    // The window tests' view of the widgets (defined by the tests).
    friend struct CMainFrameTestAccess;

    void OnFileExit(wxCommandEvent& event);
    void OnCloseMainFrame(wxCloseEvent& event);
    void OnHelpContents(wxCommandEvent& event);
    void OnChangelog(wxCommandEvent& event);
    void OnDonate(wxCommandEvent& event);
    void OnMenuAbout(wxCommandEvent& event);
    void OnComboZoom(wxCommandEvent& event);
    void OnComboZoomText(wxCommandEvent& event);
    void OnZoomTimer(wxTimerEvent& event);
    void OnComboZoomEnter(wxCommandEvent& event);
    void OnZoomIn(wxCommandEvent& event);
    void OnZoomOut(wxCommandEvent& event);
    void OnZoomActual(wxCommandEvent& event);
    void OnZoomFit(wxCommandEvent& event);
    void OnSashDblClick(wxSplitterEvent& event);
    void OnFileOpen(wxCommandEvent& event);
    void OnMRUFile(wxCommandEvent& event);
    void OnSave(wxCommandEvent& event);
    void OnEditCopy(wxCommandEvent& event);
    void OnHeight100(wxCommandEvent& event);
    void OnWidthScroll(wxScrollEvent& event);
    void OnWidthEndScroll(wxScrollEvent& event);
    void OnHeightScroll(wxScrollEvent& event);
    void OnHeightEndScroll(wxScrollEvent& event);
    void OnSpinWidth(wxSpinEvent& event);
    void OnSpinHeight(wxSpinEvent& event);
    void OnSpinWidthText(wxCommandEvent& event);
    void OnSpinHeightText(wxCommandEvent& event);
    void OnWidthTimer(wxTimerEvent& event);
    void OnHeightTimer(wxTimerEvent& event);
    void OnSpinAbsWidthText(wxCommandEvent& event);
    void OnSpinAbsHeightText(wxCommandEvent& event);
    void OnSpinPercWidthText(wxCommandEvent& event);
    void OnSpinPercHeightText(wxCommandEvent& event);
    void OnSpinAbsWidth(wxSpinEvent& event);
    void OnSpinAbsHeight(wxSpinEvent& event);
    void OnSpinPercWidth(wxSpinEvent& event);
    void OnSpinPercHeight(wxSpinEvent& event);
    void OnKerv(wxCommandEvent& event);
    void OnEnableProtectDelete(wxCommandEvent& event);
    void OnSliderBrush(wxScrollEvent& event);
    void OnBtnStoreMask(wxCommandEvent& event);
    void OnBtnRecallMask(wxCommandEvent& event);
    void OnBtnSaveMask(wxCommandEvent& event);
    void OnBtnLoadMask(wxCommandEvent& event);
    void OnBtnMaskClear(wxCommandEvent& event);
    void OnCheckUpdate(wxCommandEvent& event);
    void OnRemoveObject(wxCommandEvent& event);
    // A Kerv run or an object removal refused before anything was carved, for the reason why.
    void RefuseCarvingRun(const wxString& why);
    // One step of a Kerv run or an object removal shown, when animated and the pacer says so.
    void ShowAnimatedStep(AnimationPacer& animation);
    // The end of a Kerv run or an object removal, finished or aborted: the progress display
    // closed, a fresh mask of the size reached, the picture shown and marked modified.
    void FinishCarvingRun();
    void OnEnergyMode(wxCommandEvent& event);
    void OnUndo(wxCommandEvent& event);
    void OnRedo(wxCommandEvent& event);
    void OnStartUpTimer(wxTimerEvent& event);

    wxMenuBar* CreateMenus();
    // The View menu's zoom commands (main_frame_zoom.cpp).
    void AppendZoomCommands(wxMenu* menuView);
    // The zoom commands from the keys that keyboards give them without Shift.
    static std::vector<wxAcceleratorEntry> ZoomKeysWithoutShift();
    // The keys beside the menus' own; a frame has one such table, so it is set once.
    void SetExtraAccelerators();
    // Applies the zoom box's text: "Fit", or a zoom in range; any other text is replaced by the
    // zoom in effect. Then the picture gets the keyboard back.
    void ApplyZoomText();
    // The picture takes the keyboard once the zoom box has let it go.
    void FocusPicture();
    // The canvas in the splitter's right pane (main_frame_canvas.cpp).
    void CreatePaintPanel();
    // The constructor's child controls, group by group.
    void CreateSizeControls();
    void CreateMaskControls();
    // do_layout()'s groups, from top to bottom; each returns its group's sizer.
    wxSizer* LayoutInformation();
    wxSizer* LayoutImmediateChange();
    wxSizer* LayoutAbsoluteChange();
    wxSizer* LayoutProtectDelete();
    void CreateToolBarItems();
    void CreateProgressStatusBar();
    void RestorePlacementAndOptions();
    void CreateFileHistory();
    void SaveSettings();
    // The question before a close that can be refused: "Dismiss Changes?" while the picture is
    // modified, "Really quit?" (or its stored "yes") otherwise. True to go on.
    bool MayQuit();
    // The question about unsaved changes: true for "Yes". The modified flag stays as it is.
    bool AskDismissChanges();
    // What the error box of a failed open says about its cause.
    wxString OpenFailureReason(PictureSession::OpenResult result) const;
    // Writes the recent-files list to the settings file at once, without empty entries.
    void SaveRecentFiles();
    // The typing delay of an immediate spin control ended: carves to the typed size, or shows
    // the current size again when the text is no size.
    void TypedSizeChange(SizeAxis axis);
    // The size controls for the picture just opened: ranges, values and the target fields.
    void SetUpSizeControls(int width, int height);
    // Enables every size control of an open picture, or disables them all (no picture).
    void DoEnableSizeControls(bool enable);
    // The immediate driver of WidthChange and HeightChange for one direction.
    int ImmediateChange(SizeAxis axis, int newSize);
    // Mask commands (main_frame_mask.cpp): whether mask is a bitmap of the picture's current
    // size, and handing the canvas a new mask.
    bool HasPictureSize(const wxBitmap& mask) const;
    void ReplaceMask(std::unique_ptr<wxBitmap> mask);
    // Undo and redo (main_frame_history.cpp). RememberStep: a step that changes the picture or
    // the mask begins now. The canvas's pointer events open a step per stroke.
    PictureSession::MaskState CurrentMaskState() const;
    void RememberStep();
    void UpdateUndoMenu();
    void BindStrokeSteps();
    bool StrokeWouldPaint() const;
    void ShowRestoredStep(const PictureSession::MaskState& mask);
    // The energy mode the panel's choice names, given to the engine.
    void ApplyEnergyMode();
    // The View menu (main_frame_view.cpp): whether the canvas shows the energy or the seams
    // instead of the plain picture, and making it draw what it shows anew.
    wxMenu* CreateViewMenu();
    bool ShowsView() const;
    void RedrawPicture();
    void OnShowView(wxCommandEvent& event);

    PictureSession session;
    ProgressStatusBar* pStatusBar;
    bool bCloseForUpdate;  // the updater was started: close without asking
    bool bCancelCalc;      // "Abort" was pressed; cleared by the status bar's Finish
    FileDropTarget* pDropTarget = nullptr;  // the window's drop target, owned by the toolkit
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
    wxButton* btnRemoveObject;
    wxChoice* choiceEnergy;  // how seams are chosen: 0 Sobel, 1 forward energy
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
    CPaintPanel* paintPanel;  // the canvas in the right pane; its host is this window
    wxSplitterWindow* splitter;
    wxTimer timerWidth;
    wxTimer timerHeight;
    wxTimer timerZoom;
    wxTimer timerStartUp;
    bool bUpdatingControls;  // the program itself is writing the size controls
    int nEditSource;         // -1 none, 1 abs. width, 2 abs. height, 3 % width, 4 % height
    bool bCalculating;       // the window is in calculation mode (a Kerv run)
    // A close that could not be refused arrived during a run: the run was cancelled and, once
    // it has unwound, must call Close(true).
    bool bCloseAfterCalc;
    bool bStrokeOpen = false;  // a mask stroke is going on and has been remembered as a step
    std::unique_ptr<wxFileHistory> pFileHistory;  // released by the close handler
    wxBitmap bmpStoredMask;
    wxToolBar* toolBar;
    wxComboBox* comboZoom;
    wxFastImage shown;                  // what the View menu has the canvas draw
    unsigned long shownGeneration = 0;  // what shown was made from; 0: nothing
    // Created by the first successful help command, released by the close handler.
    std::unique_ptr<wxHtmlHelpController> pHelpController;
    ThemeAttributes themeAttributes{*this};

    wxDECLARE_EVENT_TABLE();
};

#endif
