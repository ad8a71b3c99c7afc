// SPDX-License-Identifier: GPL-3.0-or-later
// PaintPanelHost: what the canvas needs from the window it sits in. The canvas asks its host for
// the picture to draw and the paint mode, and tells it when the brush size or the zoom changed;
// it knows nothing else of the window, so the canvas library never depends on the window's.
#ifndef KERV_CANVAS_PAINT_PANEL_HOST_H
#define KERV_CANVAS_PAINT_PANEL_HOST_H

#include <wx/gdicmn.h>

class wxFastImage;

// What a brush stroke paints on the mask: red (protect), green (delete) or black (erase).
enum class PaintMode { Protect, Delete, Erase };

class PaintPanelHost {
public:
    // The picture at its current size, or null while no picture is open. Valid until the
    // picture next changes (a carve, an open, a reset).
    virtual const wxFastImage* PictureToShow() = 0;
    // The size of PictureToShow, (0, 0) while no picture is open, known without making the
    // picture: the engine makes it from its tables only when its pixels are asked for.
    virtual wxSize PictureSizeToShow() const = 0;
    // The picture as it was opened (before any carving), shown while the user compares before
    // and after; null when there is none. Valid until the next open.
    virtual const wxFastImage* OpenedPicture() = 0;
    // Changes whenever the pixels of PictureToShow or OpenedPicture may have changed, even in
    // place at the same size, so that what the canvas computes from them can be kept until then.
    virtual unsigned long PictureGeneration() const = 0;
    // True while a run carves seam after seam. The canvas then leaves its scroll bars as they
    // are: new ones make the toolkit redraw the whole pane, and so at every yield of the run,
    // each redraw making the picture anew from the engine. They follow at the first repaint after.
    virtual bool PictureChanging() const = 0;
    virtual PaintMode CurrentPaintMode() const = 0;
    // The canvas changed its brush to size (already clamped to 1 to 100).
    virtual void SetBrushSize(int size) = 0;
    // The canvas changed its zoom by itself (wheel, fitting to the pane): zoom is the percentage
    // in effect, fit whether it follows the pane's size.
    virtual void ZoomChanged(int zoom, bool fit) = 0;

protected:
    ~PaintPanelHost() = default;
};

#endif
