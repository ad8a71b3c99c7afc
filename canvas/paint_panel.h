// SPDX-License-Identifier: GPL-3.0-or-later
// CPaintPanel: the right pane of the main window. It shows the engine's picture from its top-left
// corner at the current zoom, and keeps the mask on which the user paints, with a round brush,
// the areas to protect (red) and to delete (green); black is neither. The mask's red minus green
// is added to the energy at the start of a resizing run (DP::ModifyEnergy).
//
// Coordinates: mask (= picture) coordinates are window coordinates times 100 / zoom, in integer
// division. The brush outline looks as if drawn with XOR in white; it is drawn and taken away by
// drawing its small area again (view_compose.h says why), so moving the pointer repaints only
// that area at once and never the whole canvas. outlineHidden says whether it is on the screen.
// Whatever part of the window a repaint covers, it shows the picture, the mask (when shown) and
// the outline (when on the screen), so a stroke's repaint never leaves pieces of an outline.
//
// Mask bitmap format (the canvas owns it; the engine and the mask commands rely on it): exactly
// the engine's current picture size, at the screen's colour depth, made black by Init, painted in
// pure red (255, 0, 0), green (0, 255, 0) and black.
#ifndef KERV_CANVAS_PAINT_PANEL_H
#define KERV_CANVAS_PAINT_PANEL_H

#include <memory>

#include <wx/bitmap.h>
#include <wx/image.h>
#include <wx/panel.h>

#include "paint_panel_host.h"

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
    // Deletes the mask and releases the cached bitmaps.
    ~CPaintPanel() override;

    // A fresh black mask of width x height (not a valid bitmap when either is below 1, as the
    // main window's -1 x -1 without a picture); marks it unchanged and shown, and forces the
    // zoomed picture to be rebuilt at the next repaint.
    void Init(int width, int height);
    // Stores the zoom (percent, > 0) and repaints the whole panel, only when it changed.
    void SetZoom(int newZoom);
    // Sets the brush radius (clamped to 1 to 100) and tells the host; nothing happens
    // while painting is disabled.
    void SetBrushSize(int size);
    // Takes the outline away from its place, moves it by (dx, dy), changes the brush by
    // sizeChange (telling the host when sizeChange is not 0) and draws it again.
    // Does nothing while painting is disabled.
    void DrawCircle(wxClientDC& dc, int sizeChange, int dx, int dy);
    // With paint, paints a disc of the chosen colour on the mask at the previous pointer
    // position (none before the first motion) and repaints the area it changed; then moves the
    // outline to pos. Sets maskChanged. Does nothing while painting is disabled or no picture
    // is open.
    void DrawArea(wxPoint pos, bool paint);

    // What the canvas shows in box (window coordinates, cut to the picture): the picture at
    // the zoom, the mask when shown, the outline when on the screen. Not OK when box holds no
    // picture.
    wxImage ComposeView(wxRect box);

    void OnLeaveWindow(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnPaintWinPaint(wxPaintEvent& event);
    void OnPaintWinSize(wxSizeEvent& event);
    void OnChar(wxKeyEvent& event);

    int brushSize;  // brush radius in mask pixels, always within 1 to 100
    int cursorX;    // last pointer position in window coordinates; -1: none yet
    int cursorY;
    bool outlineHidden;                    // no brush outline is on the screen
    std::unique_ptr<wxBitmap> maskBitmap;  // null before the first Init
    bool maskShown;                        // the mask is drawn over the picture
    bool maskChanged;        // the pointer moved over the canvas with painting enabled since Init
    int zoom;                // display zoom in percent
    int shownZoom;           // the zoom at which viewBitmap was built; -1 forces a rebuild
    wxBitmap viewBitmap;     // the picture at the current zoom (cache)
    wxBitmap overlayBitmap;  // the mask at the current zoom, black transparent, of the area
                             // last drawn
    PaintPanelHost* mainFrame;  // not owned; set by the main window right after creating the panel
    bool paintEnabled;          // painting is possible; set by the main window

protected:
    void set_properties();
    void do_layout();

private:
    // Rebuilds viewBitmap when the zoom or the picture's size changed; false when there is no
    // picture to show (none open, or a view smaller than one pixel).
    bool EnsureView();
    // The window area that shows the picture, and the part of it the brush outline may use
    // (the mask's size at the zoom).
    wxRect ViewRect() const;
    wxRect OutlineClip() const;
    // The box of the outline at the current pointer position and brush size.
    wxRect OutlineBox() const;
    // Draws box (window coordinates) as ComposeView gives it.
    void RenderBox(wxDC& dc, wxRect box);

    int lastWidth = -1;  // the picture size at which viewBitmap was last built
    int lastHeight = -1;

    wxDECLARE_DYNAMIC_CLASS_NO_COPY(CPaintPanel);
    wxDECLARE_EVENT_TABLE();
};

#endif
