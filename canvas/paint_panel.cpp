// SPDX-License-Identifier: GPL-3.0-or-later
// CPaintPanel: the picture at the current zoom, the mask overlay, the brush outline and painting.
#include "paint_panel.h"

#include <algorithm>
#include <cstdint>

#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/graphics.h>
#include <wx/image.h>

#include "fast_image.h"
#include "view_compose.h"

namespace {

constexpr int kMinBrush = 1;
constexpr int kMaxBrush = 100;

// value * zoom / 100 in integer division, without overflow for the largest pictures.
int Zoomed(int value, int zoom)
{
    return static_cast<int>(static_cast<int64_t>(value) * zoom / 100);
}

wxRect ToRect(const canvasview::Box& box)
{
    return wxRect(box.x, box.y, box.width, box.height);
}

}  // namespace

wxIMPLEMENT_DYNAMIC_CLASS(CPaintPanel, wxPanel);

wxBEGIN_EVENT_TABLE(CPaintPanel, wxPanel)
    EVT_LEAVE_WINDOW(CPaintPanel::OnLeaveWindow)
    EVT_LEFT_UP(CPaintPanel::OnLeftUp)
    EVT_MOTION(CPaintPanel::OnMotion)
    EVT_PAINT(CPaintPanel::OnPaintWinPaint)
    EVT_SIZE(CPaintPanel::OnPaintWinSize)
    EVT_CHAR(CPaintPanel::OnChar)
wxEND_EVENT_TABLE()

CPaintPanel::CPaintPanel()
    : brushSize(10), cursorX(-1), cursorY(-1), outlineHidden(true), maskShown(true),
      maskChanged(false), zoom(100), shownZoom(-1), mainFrame(nullptr), paintEnabled(false)
{
}

CPaintPanel::CPaintPanel(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size,
                         long WXUNUSED(style))
    : CPaintPanel()
{
    // Set before the window exists, so that the toolkit never paints a background of its own.
    SetBackgroundStyle(wxBG_STYLE_CUSTOM);
    Create(parent, id, pos, size, wxBORDER_SIMPLE | wxTAB_TRAVERSAL | wxWANTS_CHARS);
    set_properties();
    do_layout();
}

CPaintPanel::~CPaintPanel()
{
    viewBitmap = wxNullBitmap;
    overlayBitmap = wxNullBitmap;
}

void CPaintPanel::set_properties() {}

void CPaintPanel::do_layout() {}

void CPaintPanel::Init(int width, int height)
{
    maskBitmap = std::make_unique<wxBitmap>();
    if (width >= 1 && height >= 1) {
        maskBitmap->Create(width, height, wxBITMAP_SCREEN_DEPTH);
        wxMemoryDC dc(*maskBitmap);
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(*wxBLACK_BRUSH);
        dc.DrawRectangle(0, 0, width, height);
        dc.SelectObject(wxNullBitmap);
    }
    maskChanged = false;
    maskShown = true;
    shownZoom = -1;
}

void CPaintPanel::SetZoom(int newZoom)
{
    if (newZoom == zoom)
        return;
    zoom = newZoom;
    Refresh(true);
}

void CPaintPanel::SetBrushSize(int size)
{
    wxClientDC dc(this);
    DrawCircle(dc, size - brushSize, 0, 0);
}

bool CPaintPanel::EnsureView()
{
    const wxFastImage* picture = mainFrame != nullptr ? mainFrame->PictureToShow() : nullptr;
    if (picture == nullptr || !picture->IsOk())
        return false;
    const int cols = picture->GetWidth();
    const int rows = picture->GetHeight();
    if (zoom != shownZoom || !viewBitmap.IsOk() || cols != lastWidth || rows != lastHeight) {
        shownZoom = zoom;
        lastWidth = cols;
        lastHeight = rows;
        const int width = Zoomed(cols, zoom);
        const int height = Zoomed(rows, zoom);
        if (width < 1 || height < 1) {
            viewBitmap = wxNullBitmap;
            return false;
        }
        const wxImage shown = picture->AsImage();
        viewBitmap = zoom == 100 ? wxBitmap(shown)
                                 : wxBitmap(shown.Scale(width, height, wxIMAGE_QUALITY_NORMAL));
    }
    return viewBitmap.IsOk();
}

wxRect CPaintPanel::ViewRect() const
{
    return viewBitmap.IsOk() ? wxRect(0, 0, viewBitmap.GetWidth(), viewBitmap.GetHeight())
                             : wxRect();
}

wxRect CPaintPanel::OutlineClip() const
{
    if (maskBitmap == nullptr || !maskBitmap->IsOk())
        return wxRect();
    return wxRect(0, 0, Zoomed(maskBitmap->GetWidth(), zoom),
                  Zoomed(maskBitmap->GetHeight(), zoom));
}

wxRect CPaintPanel::OutlineBox() const
{
    return ToRect(canvasview::OutlineBox(cursorX, cursorY, Zoomed(brushSize, zoom)));
}

wxImage CPaintPanel::ComposeView(wxRect box)
{
    if (!EnsureView())
        return wxImage();
    box.Intersect(ViewRect());
    if (box.IsEmpty())
        return wxImage();
    wxImage shown = viewBitmap.GetSubBitmap(box).ConvertToImage();

    if (maskShown && maskBitmap != nullptr && maskBitmap->IsOk()) {
        // The mask scaled to the view's size the way the picture was, cut to the box.
        const int maskWidth = maskBitmap->GetWidth();
        const int maskHeight = maskBitmap->GetHeight();
        const wxRect view = ViewRect();
        const int left = canvasview::NearestSource(box.x, maskWidth, view.width);
        const int top = canvasview::NearestSource(box.y, maskHeight, view.height);
        const int right = canvasview::NearestSource(box.GetRight(), maskWidth, view.width);
        const int bottom = canvasview::NearestSource(box.GetBottom(), maskHeight, view.height);
        const wxImage maskPart =
            maskBitmap->GetSubBitmap(wxRect(left, top, right - left + 1, bottom - top + 1))
                .ConvertToImage();
        wxImage overlay(box.width, box.height, false);
        const unsigned char* from = maskPart.GetData();
        unsigned char* to = overlay.GetData();
        for (int y = 0; y < box.height; ++y) {
            const int sy = canvasview::NearestSource(box.y + y, maskHeight, view.height) - top;
            for (int x = 0; x < box.width; ++x, to += 3) {
                const int sx = canvasview::NearestSource(box.x + x, maskWidth, view.width) - left;
                const unsigned char* p =
                    from + (static_cast<size_t>(sy) * maskPart.GetWidth() + sx) * 3;
                to[0] = p[0];
                to[1] = p[1];
                to[2] = p[2];
            }
        }
        canvasview::AndOverlay(shown.GetData(), overlay.GetData(), box.width, box.height);
        overlay.SetMaskColour(0, 0, 0);
        overlayBitmap = wxBitmap(overlay);
    }

    if (paintEnabled && !outlineHidden && cursorX != -1 && cursorY != -1) {
        std::vector<std::pair<int, int>> points =
            canvasview::CircleOutline(cursorX, cursorY, Zoomed(brushSize, zoom));
        const wxRect clip = OutlineClip();
        points.erase(std::remove_if(points.begin(), points.end(),
                                    [&clip](const std::pair<int, int>& p) {
                                        return !clip.Contains(p.first, p.second);
                                    }),
                     points.end());
        canvasview::InvertPoints(shown.GetData(), box.x, box.y, box.width, box.height, points);
    }

    return shown;
}

void CPaintPanel::RenderBox(wxDC& dc, wxRect box)
{
    box.Intersect(ViewRect());
    const wxImage shown = ComposeView(box);
    if (shown.IsOk())
        dc.DrawBitmap(wxBitmap(shown), box.x, box.y, false);
}

void CPaintPanel::OnPaintWinPaint(wxPaintEvent& WXUNUSED(event))
{
    wxPaintDC dc(this);
    dc.SetBackground(wxBrush(GetBackgroundColour()));
    dc.Clear();
    if (!EnsureView())
        return;
    RenderBox(dc, GetUpdateRegion().GetBox());
}

void CPaintPanel::OnPaintWinSize(wxSizeEvent& WXUNUSED(event)) {}

void CPaintPanel::DrawCircle(wxClientDC& dc, int sizeChange, int dx, int dy)
{
    if (!paintEnabled)
        return;
    const bool canDraw = EnsureView();
    if (cursorX != -1 && cursorY != -1 && !outlineHidden) {
        const wxRect old = OutlineBox();
        outlineHidden = true;
        if (canDraw)
            RenderBox(dc, old);
    }
    cursorX += dx;
    cursorY += dy;
    outlineHidden = false;
    brushSize = std::clamp(brushSize + sizeChange, kMinBrush, kMaxBrush);
    if (sizeChange != 0 && mainFrame != nullptr)
        mainFrame->SetBrushSize(brushSize);
    if (canDraw)
        RenderBox(dc, OutlineBox());
}

void CPaintPanel::DrawArea(wxPoint pos, bool paint)
{
    if (!paintEnabled || mainFrame == nullptr || mainFrame->PictureToShow() == nullptr)
        return;
    maskChanged = true;
    wxClientDC dc(this);

    // A click before any motion has no previous position to paint at.
    if (paint && maskBitmap != nullptr && maskBitmap->IsOk() && cursorX != -1 && cursorY != -1) {
        const PaintMode mode = mainFrame->CurrentPaintMode();
        const wxColour colour = mode == PaintMode::Erase     ? *wxBLACK
                                : mode == PaintMode::Protect ? *wxRED
                                                             : *wxGREEN;
        const int mx = cursorX * 100 / zoom;
        const int my = cursorY * 100 / zoom;
        const int s = brushSize;
        {
            // Selecting the mask gives it data of its own, so a stored copy stays as it was.
            wxMemoryDC mdc;
            mdc.SelectObject(*maskBitmap);
            // The mask holds pure colours only: no blended pixels at the disc's edge.
            if (wxGraphicsContext* gc = mdc.GetGraphicsContext())
                gc->SetAntialiasMode(wxANTIALIAS_NONE);
            mdc.SetPen(wxPen(colour, 1, wxPENSTYLE_SOLID));
            mdc.SetBrush(wxBrush(colour, wxBRUSHSTYLE_SOLID));
            mdc.DrawEllipse(mx - (s - 1), my - (s - 1), 2 * (s - 1), 2 * (s - 1));
            mdc.SelectObject(wxNullBitmap);
        }
        RefreshRect(ToRect(canvasview::ZoomedOutwards(
                        {mx - s - 1, my - s - 1, 2 * s + 1, 2 * s + 1}, zoom)),
                    false);
    }

    DrawCircle(dc, 0, pos.x - cursorX, pos.y - cursorY);
}

void CPaintPanel::OnLeaveWindow(wxMouseEvent& event)
{
    const bool wasShown = !outlineHidden;
    outlineHidden = true;
    if (paintEnabled && wasShown && cursorX != -1 && cursorY != -1 && EnsureView()) {
        wxClientDC dc(this);
        RenderBox(dc, OutlineBox());
    }
    event.Skip();
}

void CPaintPanel::OnLeftUp(wxMouseEvent& event)
{
    // A click on the picture gives it the keyboard, so the arrow keys then size the brush.
    if (paintEnabled && !HasFocus())
        SetFocus();
    DrawArea(event.GetPosition(), true);
    event.Skip();
}

void CPaintPanel::OnMotion(wxMouseEvent& event)
{
    DrawArea(event.GetPosition(), event.ButtonIsDown(wxMOUSE_BTN_ANY));
    event.Skip();
}

void CPaintPanel::OnChar(wxKeyEvent& event)
{
    const int code = event.GetKeyCode();
    if (code == WXK_LEFT || code == WXK_RIGHT) {
        wxClientDC dc(this);
        DrawCircle(dc, code == WXK_LEFT ? -1 : +1, 0, 0);
    }
    event.Skip();
}
