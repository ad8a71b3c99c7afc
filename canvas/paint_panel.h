// SPDX-License-Identifier: GPL-3.0-or-later
// CPaintPanel: the right pane of the main window. It shows the engine's picture at the current
// zoom, scrolled by the scroll bars, the mouse wheel (Shift+wheel sideways) and dragging with the
// middle button, and keeps the mask on which the user paints, with a round brush, the areas to
// protect (red) and to delete (green); black is neither. The mask's red minus green is added to
// the energy at the start of a resizing run (DP::ModifyEnergy). Ctrl+wheel zooms about the
// pointer; in fit mode the zoom follows the pane's size. Holding backslash shows the picture as
// opened instead, at the same zoom.
//
// Coordinates: the view is the picture scaled to (cols * zoom / 100) x (rows * zoom / 100); the
// window shows the view from (scrollX, scrollY) on, so view = window + scroll. Mask (= picture)
// coordinates are view coordinates times 100 / zoom, in integer division. Only the visible part
// of the view is computed at each repaint (canvasview::ZoomedPart), so any zoom up to kMaxZoom
// costs no memory of its own; only a zoom that averages blocks keeps the whole, smaller view
// (ReducedView) until the picture changes. The brush outline looks as if drawn with XOR in
// white; it is drawn and taken away by drawing its small area again (view_compose.h says why),
// so moving the pointer repaints only that area at once. outlineHidden says whether it is on
// the screen. Whatever part of the window a repaint covers, it shows the picture, the mask
// (when shown) and the outline (when on the screen), so a stroke's repaint never leaves pieces
// of an outline.
//
// A stroke is continuous: each event that paints covers the whole segment from the point the
// stroke last painted to the pointer's previous position (the union of brush discs along it),
// so a fast drag leaves no gaps at any zoom.
//
// Mask bitmap format (the canvas owns it; the engine and the mask commands rely on it): exactly
// the engine's current picture size, at the screen's colour depth, made black by Init, painted in
// pure red (255, 0, 0), green (0, 255, 0) and black. The canvas keeps the mask's pixels as an
// image beside it (maskPixels) and paints both; a mask bitmap replaced from outside is read again
// at the next repaint.
#ifndef KERV_CANVAS_PAINT_PANEL_H
#define KERV_CANVAS_PAINT_PANEL_H

#include <chrono>
#include <memory>
#include <vector>

#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/panel.h>

#include "paint_panel_host.h"
#include "reduced_view.h"

class wxClientDC;
class wxDC;

class CPaintPanel : public wxPanel {
public:
    // For the toolkit's dynamic creation; Create must follow.
    CPaintPanel();
    // Always simple border, tab traversal and wants-characters, whatever style says; the
    // background style is custom (the paint handler draws everything).
    CPaintPanel(wxWindow* parent, int id, const wxPoint& pos = wxDefaultPosition,
                const wxSize& size = wxDefaultSize, long style = 0);
    // Deletes the mask.
    ~CPaintPanel() override;

    // Brings the scroll bars to the shown picture's size first. The toolkit redraws the whole
    // pane after a change of the bars by itself, so a whole-pane refresh then asks for nothing
    // more: a picture that changed size is drawn once, not twice.
    void Refresh(bool eraseBackground = true, const wxRect* rect = nullptr) override;
    // The time the paint handler has taken since the panel was made, whoever asked for it.
    std::chrono::steady_clock::duration DrawingTime() const { return drawingTime; }

    // A fresh black mask of width x height (not a valid bitmap when either is below 1, as the
    // main window's -1 x -1 without a picture); marks it unchanged and shown.
    void Init(int width, int height);
    // True when the mask is known to hold black alone, as after Init; false when unsure (a
    // mask replaced from outside and not yet read, one an erasing stroke went over) or when
    // there is no mask.
    bool MaskIsBlank() const;
    // Stores the zoom (percent, > 0) and repaints the whole panel, only when it changed; the
    // picture point at the window's top-left corner stays there. Ends fit mode.
    void SetZoom(int newZoom);
    // Zooms so that the whole picture fits the pane, and keeps it fitting as the pane or the
    // picture changes size, until the next SetZoom or zoom step. Tells the host.
    void SetFitZoom();
    bool IsFitZoom() const { return fitZoom; }
    // Zooms by steps of the zoom ladder (StepZoom), keeping the picture point under the window
    // point anchor in place. Ends fit mode and tells the host.
    void StepZoomAbout(int steps, wxPoint anchor);
    // The pane's centre, the anchor of zoom commands that have no pointer.
    wxPoint PaneCentre() const;
    // Scrolls so that the window's top-left corner shows view point (x, y), kept within the view.
    void ScrollTo(int x, int y);
    wxPoint ScrollPosition() const { return wxPoint(scrollX, scrollY); }
    // The size of the view: the shown picture at the zoom; 0 x 0 without a picture.
    wxSize ViewSize();
    // The mask point under a window point.
    wxPoint MaskPoint(wxPoint window) const;
    // Shows the picture as opened (the host's OpenedPicture) instead of the current one, or
    // back again. Painting and the outline rest meanwhile.
    void ShowOpened(bool show);
    bool IsShowingOpened() const { return showOpened; }
    // Sets the brush radius (clamped to 1 to 100) and tells the host; nothing happens
    // while painting is disabled.
    void SetBrushSize(int size);
    // Takes the outline away from its place, moves it by (dx, dy), changes the brush by
    // sizeChange (telling the host when sizeChange is not 0) and draws it again.
    // Does nothing while painting is disabled.
    void DrawCircle(wxClientDC& dc, int sizeChange, int dx, int dy);
    // With paint, paints in the chosen colour on the mask at the previous pointer position
    // (none before the first motion): the segment from the stroke's last painted point, or one
    // disc when the stroke begins; then repaints the area it changed. Without paint the stroke
    // ends. Then moves the outline to pos. Sets maskChanged. Does nothing while painting is
    // disabled or no picture is open.
    void DrawArea(wxPoint pos, bool paint);

    // What the canvas shows in box (window coordinates, cut to the view): the picture at the
    // zoom, the mask when shown, the outline when on the screen. Not OK when box holds no
    // picture.
    wxImage ComposeView(wxRect box);

    void OnLeaveWindow(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnPaintWinPaint(wxPaintEvent& event);
    void OnPaintWinSize(wxSizeEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnKeyDown(wxKeyEvent& event);
    void OnKeyUp(wxKeyEvent& event);
    void OnKillFocus(wxFocusEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnMiddleDown(wxMouseEvent& event);
    void OnMiddleUp(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void OnMouseWheel(wxMouseEvent& event);
    void OnScrollWin(wxScrollWinEvent& event);

    int brushSize;  // brush radius in mask pixels, always within 1 to 100
    int cursorX;    // last pointer position in window coordinates; -1: none yet
    int cursorY;
    bool outlineHidden;                    // no brush outline is on the screen
    std::unique_ptr<wxBitmap> maskBitmap;  // null before the first Init
    bool maskShown;                        // the mask is drawn over the picture
    bool maskChanged;  // the pointer moved over the canvas with painting enabled since Init
    int zoom;          // display zoom in percent, within kMinZoom to kMaxZoom
    int shownZoom;     // the zoom of the last view drawn; -1 after Init
    PaintPanelHost* mainFrame;  // not owned; set by the main window right after creating the panel
    bool paintEnabled;          // painting is possible; set by the main window

protected:
    void set_properties();
    void do_layout();

private:
    // Takes note of a new zoom or picture size (fitting again in fit mode, the scroll bars);
    // false when there is no picture to show (none open, or a view smaller than one pixel).
    bool EnsureView();
    // The picture as opened while it is compared with the current one, else null.
    const wxFastImage* ComparedPicture();
    // The picture drawn: the opened one while it is compared, else the current one; or null.
    const wxFastImage* ShownPicture();
    // Its size, (0, 0) for none; the current picture is not made for it.
    wxSize ShownSize();
    // Sets the zoom, keeping the picture point under the window point anchor in place.
    void ApplyZoom(int newZoom, wxPoint anchor);
    // The zoom that fits the picture into the pane, applied when it differs; tells the host.
    void Fit();
    // Scroll bars for the view's size and the pane's, the scroll position kept within them.
    void UpdateScrollBars();
    // The mask's pixels, read from maskBitmap again when that was replaced; null without a mask.
    const wxImage* MaskPixels();
    // Paints the segment from mask point from to mask point to in colour on the mask and
    // repaints the window area it changed.
    void PaintStroke(wxPoint from, wxPoint to, const wxColour& colour);
    // The window area that shows the picture, and the part of it the brush outline may use
    // (the mask's size at the zoom).
    wxRect ViewRect() const;
    wxRect OutlineClip() const;
    // The box of the outline at the current pointer position and brush size.
    wxRect OutlineBox() const;
    // box (window coordinates) cut to the view; empty when no picture is shown there.
    wxRect ComposedBox(wxRect box);
    // Writes what ComposeView shows in box (already cut) to out, box.width x box.height tightly
    // packed RGB.
    void ComposeInto(wxRect box, unsigned char* out);
    // ANDs the mask, scaled to the view by nearest pixels, over the composed pixels of box.
    void AndMask(const wxImage& mask, wxRect box, unsigned char* out);
    // Draws box (window coordinates) as ComposeView gives it.
    void RenderBox(wxDC& dc, wxRect box);

    int lastWidth = -1;  // the picture size of the last view drawn
    int lastHeight = -1;
    int scrollX = 0;  // the view point at the window's top-left corner
    int scrollY = 0;
    bool fitZoom = false;     // the zoom follows the pane's size
    bool showOpened = false;  // the picture as opened is shown (backslash held)
    int strokeX = -1;         // the mask point the current stroke last painted; -1: none
    int strokeY = -1;
    bool panning = false;  // the middle button drags the view
    wxPoint panFrom;       // the pointer and the scroll position where the drag began
    wxPoint panScroll;
    int wheelRest = 0;  // wheel rotation not yet turned into a step
    wxRect barsSet;     // the scroll positions and ranges last given to the toolkit
    wxSize paneSet;
    std::chrono::steady_clock::duration drawingTime{};
    bool barsChanged = false;  // the toolkit was given new scroll bars since the last paint
    bool barsPending = false;  // the scroll bars wait for the end of a run
    wxImage maskPixels;        // the pixels of maskBitmap
    wxBitmap maskSeen;         // the mask data maskPixels was read from (shares it)
    std::vector<unsigned char> maskRowsPainted;  // per row of maskPixels: 0 when all black
    ReducedView reducedCurrent;  // the averaged view of the current picture, of the opened one
    ReducedView reducedOpened;
    std::vector<unsigned char> composed;  // the pixels of the last box drawn

    wxDECLARE_DYNAMIC_CLASS_NO_COPY(CPaintPanel);
    wxDECLARE_EVENT_TABLE();
};

#endif
