// SPDX-License-Identifier: GPL-3.0-or-later
// CPaintPanel: the picture at the current zoom and scroll position, the mask overlay, the brush
// outline, painting, scrolling, zooming with the wheel and comparing with the picture as opened.
#include "paint_panel.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/image.h>

#include "fast_image.h"
#include "view_compose.h"
#include "zoom_value.h"

namespace {

constexpr int kMinBrush = 1;
constexpr int kMaxBrush = 100;
constexpr int kLineStep = 16;  // pixels per scroll-bar arrow click and per wheel line

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
    EVT_LEFT_DOWN(CPaintPanel::OnLeftDown)
    EVT_LEFT_UP(CPaintPanel::OnLeftUp)
    EVT_MIDDLE_DOWN(CPaintPanel::OnMiddleDown)
    EVT_MIDDLE_UP(CPaintPanel::OnMiddleUp)
    EVT_MOUSE_CAPTURE_LOST(CPaintPanel::OnCaptureLost)
    EVT_MOTION(CPaintPanel::OnMotion)
    EVT_MOUSEWHEEL(CPaintPanel::OnMouseWheel)
    EVT_SCROLLWIN(CPaintPanel::OnScrollWin)
    EVT_PAINT(CPaintPanel::OnPaintWinPaint)
    EVT_SIZE(CPaintPanel::OnPaintWinSize)
    EVT_CHAR(CPaintPanel::OnChar)
    EVT_KEY_DOWN(CPaintPanel::OnKeyDown)
    EVT_KEY_UP(CPaintPanel::OnKeyUp)
    EVT_KILL_FOCUS(CPaintPanel::OnKillFocus)
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
    Create(parent, id, pos, size,
           wxBORDER_SIMPLE | wxTAB_TRAVERSAL | wxWANTS_CHARS | wxHSCROLL | wxVSCROLL);
    set_properties();
    do_layout();
}

CPaintPanel::~CPaintPanel() = default;

void CPaintPanel::set_properties() {}

void CPaintPanel::do_layout() {}

void CPaintPanel::Init(int width, int height)
{
    maskBitmap = std::make_unique<wxBitmap>();
    maskPixels = wxImage();
    maskSeen = wxNullBitmap;
    maskRowsPainted.clear();
    if (width >= 1 && height >= 1) {
        maskBitmap->Create(width, height, wxBITMAP_SCREEN_DEPTH);
        wxMemoryDC dc(*maskBitmap);
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(*wxBLACK_BRUSH);
        dc.DrawRectangle(0, 0, width, height);
        dc.SelectObject(wxNullBitmap);
        maskPixels = wxImage(width, height, true);
        maskRowsPainted.assign(static_cast<size_t>(height), 0);
        maskSeen = *maskBitmap;
    }
    maskChanged = false;
    maskShown = true;
    shownZoom = -1;
    strokeX = strokeY = -1;
}

bool CPaintPanel::MaskIsBlank() const
{
    const bool pixelsCurrent = maskBitmap != nullptr && maskBitmap->IsOk() && maskPixels.IsOk() &&
                               maskSeen.IsOk() && maskSeen.GetRefData() == maskBitmap->GetRefData();
    return pixelsCurrent && std::all_of(maskRowsPainted.begin(), maskRowsPainted.end(),
                                        [](unsigned char painted) { return painted == 0; });
}

void CPaintPanel::SetZoom(int newZoom)
{
    fitZoom = false;
    ApplyZoom(newZoom, wxPoint(0, 0));
}

void CPaintPanel::ApplyZoom(int newZoom, wxPoint anchor)
{
    newZoom = std::clamp(newZoom, kMinZoom, kMaxZoom);
    if (newZoom == zoom)
        return;
    // The picture point under the anchor, in fractions of a pixel, stays under it.
    const double pictureX = (anchor.x + scrollX) * 100.0 / zoom;
    const double pictureY = (anchor.y + scrollY) * 100.0 / zoom;
    zoom = newZoom;
    scrollX = static_cast<int>(std::lround(pictureX * zoom / 100.0)) - anchor.x;
    scrollY = static_cast<int>(std::lround(pictureY * zoom / 100.0)) - anchor.y;
    UpdateScrollBars();
    Refresh(true);
}

void CPaintPanel::SetFitZoom()
{
    fitZoom = true;
    Fit();
    if (mainFrame != nullptr)
        mainFrame->ZoomChanged(zoom, true);
}

void CPaintPanel::Fit()
{
    const wxSize size = ShownSize();
    if (size.x < 1 || size.y < 1)
        return;
    const wxSize pane = GetClientSize();
    const int fitted = FitZoom(size.x, size.y, pane.x, pane.y);
    if (fitted == zoom)
        return;
    ApplyZoom(fitted, wxPoint(0, 0));
    if (mainFrame != nullptr)
        mainFrame->ZoomChanged(zoom, true);
}

void CPaintPanel::StepZoomAbout(int steps, wxPoint anchor)
{
    fitZoom = false;
    ApplyZoom(StepZoom(zoom, steps), anchor);
    if (mainFrame != nullptr)
        mainFrame->ZoomChanged(zoom, false);
}

wxPoint CPaintPanel::PaneCentre() const
{
    const wxSize pane = GetClientSize();
    return wxPoint(pane.x / 2, pane.y / 2);
}

wxSize CPaintPanel::ViewSize()
{
    const wxSize size = ShownSize();
    if (size.x < 1 || size.y < 1)
        return wxSize(0, 0);
    return wxSize(Zoomed(size.x, zoom), Zoomed(size.y, zoom));
}

void CPaintPanel::UpdateScrollBars()
{
    const wxSize view = ViewSize();
    const wxSize pane = GetClientSize();
    scrollX = std::clamp(scrollX, 0, std::max(0, view.x - pane.x));
    scrollY = std::clamp(scrollY, 0, std::max(0, view.y - pane.y));
    // A bar that is not needed stays hidden with the same values, so that a picture changing
    // size inside the pane (a carving run) asks the toolkit for no redraw of its own.
    const wxRect bars(scrollX, scrollY, view.x > pane.x ? view.x : 0, view.y > pane.y ? view.y : 0);
    if (bars == barsSet && pane == paneSet)
        return;
    barsPending = mainFrame->PictureChanging();
    if (barsPending)
        return;
    barsSet = bars;
    paneSet = pane;
    barsChanged = true;
    SetScrollbar(wxHORIZONTAL, scrollX, pane.x, bars.width);
    SetScrollbar(wxVERTICAL, scrollY, pane.y, bars.height);
}

void CPaintPanel::ScrollTo(int x, int y)
{
    const int oldX = scrollX;
    const int oldY = scrollY;
    scrollX = x;
    scrollY = y;
    UpdateScrollBars();
    if (scrollX != oldX || scrollY != oldY)
        Refresh(false);
}

wxPoint CPaintPanel::MaskPoint(wxPoint window) const
{
    return wxPoint((window.x + scrollX) * 100 / zoom, (window.y + scrollY) * 100 / zoom);
}

void CPaintPanel::ShowOpened(bool show)
{
    if (show == showOpened)
        return;
    if (show && (mainFrame == nullptr || mainFrame->OpenedPicture() == nullptr))
        return;
    showOpened = show;
    strokeX = strokeY = -1;
    Refresh(false);
}

void CPaintPanel::SetBrushSize(int size)
{
    wxClientDC dc(this);
    DrawCircle(dc, size - brushSize, 0, 0);
}

const wxFastImage* CPaintPanel::ComparedPicture()
{
    if (mainFrame == nullptr || !showOpened)
        return nullptr;
    const wxFastImage* opened = mainFrame->OpenedPicture();
    return opened != nullptr && opened->IsOk() ? opened : nullptr;
}

const wxFastImage* CPaintPanel::ShownPicture()
{
    if (mainFrame == nullptr)
        return nullptr;
    if (const wxFastImage* opened = ComparedPicture())
        return opened;
    return mainFrame->PictureToShow();
}

wxSize CPaintPanel::ShownSize()
{
    if (mainFrame == nullptr)
        return wxSize(0, 0);
    if (const wxFastImage* opened = ComparedPicture())
        return wxSize(opened->GetWidth(), opened->GetHeight());
    return mainFrame->PictureSizeToShow();
}

void CPaintPanel::Refresh(bool eraseBackground, const wxRect* rect)
{
    EnsureView();
    if (barsChanged && rect == nullptr) {
        barsChanged = false;  // a second refresh before that redraw is not left out
        return;
    }
    wxPanel::Refresh(eraseBackground, rect);
}

bool CPaintPanel::EnsureView()
{
    const wxSize size = ShownSize();
    const int cols = size.x;
    const int rows = size.y;
    if (cols < 1 || rows < 1)
        return false;
    if (shownZoom == -1) {
        // Whoever asked for the view to be built anew may have changed the picture in place.
        reducedCurrent.Forget();
        reducedOpened.Forget();
    }
    if (zoom != shownZoom || cols != lastWidth || rows != lastHeight || barsPending) {
        lastWidth = cols;
        lastHeight = rows;
        // The picture as opened is compared at the zoom of the current one.
        if (fitZoom && !showOpened)
            Fit();
        shownZoom = zoom;
        UpdateScrollBars();
    }
    return Zoomed(cols, zoom) >= 1 && Zoomed(rows, zoom) >= 1;
}

wxRect CPaintPanel::ViewRect() const
{
    if (lastWidth < 1 || lastHeight < 1)
        return wxRect();
    return wxRect(-scrollX, -scrollY, Zoomed(lastWidth, zoom), Zoomed(lastHeight, zoom));
}

wxRect CPaintPanel::OutlineClip() const
{
    if (maskBitmap == nullptr || !maskBitmap->IsOk())
        return wxRect();
    return wxRect(-scrollX, -scrollY, Zoomed(maskBitmap->GetWidth(), zoom),
                  Zoomed(maskBitmap->GetHeight(), zoom));
}

wxRect CPaintPanel::OutlineBox() const
{
    return ToRect(canvasview::OutlineBox(cursorX, cursorY, Zoomed(brushSize, zoom)));
}

const wxImage* CPaintPanel::MaskPixels()
{
    if (maskBitmap == nullptr || !maskBitmap->IsOk())
        return nullptr;
    if (!maskPixels.IsOk() || !maskSeen.IsOk() ||
        maskSeen.GetRefData() != maskBitmap->GetRefData()) {
        maskPixels = maskBitmap->ConvertToImage();
        maskRowsPainted = canvasview::PaintedRows(maskPixels.GetData(), maskPixels.GetWidth(),
                                                  maskPixels.GetHeight());
        maskSeen = *maskBitmap;
    }
    return &maskPixels;
}

wxRect CPaintPanel::ComposedBox(wxRect box)
{
    if (!EnsureView())
        return wxRect();
    return box.Intersect(ViewRect());
}

wxImage CPaintPanel::ComposeView(wxRect box)
{
    box = ComposedBox(box);
    if (box.IsEmpty())
        return wxImage();
    wxImage shown(box.width, box.height, false);
    ComposeInto(box, shown.GetData());
    return shown;
}

void CPaintPanel::ComposeInto(wxRect box, unsigned char* out)
{
    const wxFastImage* picture = ShownPicture();
    const wxRect view = ViewRect();
    const int left = box.x + scrollX;  // the box in view coordinates
    const int top = box.y + scrollY;
    const unsigned char* source = picture->GetData();
    wxSize sourceSize(picture->GetWidth(), picture->GetHeight());
    ReducedView& reduced = showOpened ? reducedOpened : reducedCurrent;
    if (canvasview::AveragesBlocks(sourceSize.x, sourceSize.y, view.width, view.height)) {
        source = reduced.Pixels(source, sourceSize.x, sourceSize.y, view.width, view.height,
                                mainFrame->PictureGeneration());
        sourceSize = view.GetSize();
    } else {
        reduced.Forget();
    }
    canvasview::ZoomedPart(source, sourceSize.x, sourceSize.y, view.width, view.height, left, top,
                           box.width, box.height, out);
    if (showOpened)
        return;
    const wxImage* mask = maskShown ? MaskPixels() : nullptr;
    if (mask != nullptr)
        AndMask(*mask, box, out);
    if (paintEnabled && !outlineHidden && cursorX != -1 && cursorY != -1) {
        std::vector<std::pair<int, int>> points =
            canvasview::CircleOutline(cursorX, cursorY, Zoomed(brushSize, zoom));
        const wxRect clip = OutlineClip();
        points.erase(std::remove_if(points.begin(), points.end(),
                                    [&clip](const std::pair<int, int>& p) {
                                        return !clip.Contains(p.first, p.second);
                                    }),
                     points.end());
        canvasview::InvertPoints(out, box.x, box.y, box.width, box.height, points);
    }
}

void CPaintPanel::AndMask(const wxImage& mask, wxRect box, unsigned char* out)
{
    // The mask scaled to the view's size by nearest pixels, never averaged: its colours stay
    // pure. One row at a time, so the overlay stays in the cache; rows of the mask that are
    // black all along are not read at all.
    const wxRect view = ViewRect();
    const int left = box.x + scrollX;
    const int top = box.y + scrollY;
    const int maskWidth = mask.GetWidth();
    std::vector<size_t> sourceX(static_cast<size_t>(box.width));
    for (int x = 0; x < box.width; ++x)
        sourceX[x] =
            static_cast<size_t>(canvasview::NearestSource(left + x, maskWidth, view.width)) * 3;
    std::vector<unsigned char> overlay(static_cast<size_t>(box.width) * 3);
    const size_t rowBytes = overlay.size();
    for (int y = 0; y < box.height; ++y) {
        const int sy = canvasview::NearestSource(top + y, mask.GetHeight(), view.height);
        if (!maskRowsPainted[sy])
            continue;  // black all along: the picture shows unchanged
        const unsigned char* from = mask.GetData() + static_cast<size_t>(sy) * maskWidth * 3;
        unsigned char* to = overlay.data();
        for (int x = 0; x < box.width; ++x, to += 3) {
            const unsigned char* p = from + sourceX[x];
            to[0] = p[0];
            to[1] = p[1];
            to[2] = p[2];
        }
        canvasview::AndOverlay(out + y * rowBytes, overlay.data(), box.width, 1);
    }
}

void CPaintPanel::RenderBox(wxDC& dc, wxRect box)
{
    box = ComposedBox(box);
    if (box.IsEmpty())
        return;
    composed.resize(static_cast<size_t>(box.width) * box.height * 3);
    ComposeInto(box, composed.data());
    // The toolkit's bitmap made from an image is drawn at once; one whose pixels were written
    // in place is converted again at every drawing, which costs more than it saves.
    const wxBitmap screenBitmap(wxImage(box.width, box.height, composed.data(), true));
    dc.DrawBitmap(screenBitmap, box.x, box.y, false);
}

void CPaintPanel::OnPaintWinPaint(wxPaintEvent& WXUNUSED(event))
{
    const auto start = std::chrono::steady_clock::now();
    wxPaintDC dc(this);
    barsChanged = false;
    dc.SetBackground(wxBrush(GetBackgroundColour()));
    dc.Clear();
    if (EnsureView())
        RenderBox(dc, GetUpdateRegion().GetBox());
    drawingTime += std::chrono::steady_clock::now() - start;
}

void CPaintPanel::OnPaintWinSize(wxSizeEvent& event)
{
    if (fitZoom && !showOpened)
        Fit();
    UpdateScrollBars();
    Refresh(false);
    event.Skip();
}

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
    if (paint && !showOpened && cursorX != -1 && cursorY != -1 && MaskPixels() != nullptr) {
        const PaintMode mode = mainFrame->CurrentPaintMode();
        const wxColour colour = mode == PaintMode::Erase     ? *wxBLACK
                                : mode == PaintMode::Protect ? *wxRED
                                                             : *wxGREEN;
        const wxPoint point = MaskPoint(wxPoint(cursorX, cursorY));
        PaintStroke(strokeX != -1 ? wxPoint(strokeX, strokeY) : point, point, colour);
        strokeX = point.x;
        strokeY = point.y;
    } else if (!paint) {
        strokeX = strokeY = -1;
    }

    DrawCircle(dc, 0, pos.x - cursorX, pos.y - cursorY);
}

void CPaintPanel::PaintStroke(wxPoint from, wxPoint to, const wxColour& colour)
{
    // The disc's radius is one less than the brush size, as the brush outline's box was always
    // drawn; a brush of one paints its centre pixel alone.
    const int s = brushSize;
    const canvasview::PaintBox changed = canvasview::PaintSegment(
        maskPixels.GetData(), maskPixels.GetWidth(), maskPixels.GetHeight(), from.x, from.y, to.x,
        to.y, s - 1, colour.Red(), colour.Green(), colour.Blue());
    if (changed.width == 0)
        return;
    if (colour != *wxBLACK)
        std::fill_n(maskRowsPainted.begin() + changed.top, changed.height, 1);
    const wxRect area(changed.left, changed.top, changed.width, changed.height);
    {
        // Letting go of maskSeen first leaves the mask its only holder, unless a stored copy
        // shares it: then selecting gives the mask data of its own, and the copy stays as it was.
        maskSeen = wxNullBitmap;
        wxMemoryDC mdc;
        mdc.SelectObject(*maskBitmap);
        mdc.DrawBitmap(wxBitmap(maskPixels.GetSubImage(area)), area.x, area.y, false);
        mdc.SelectObject(wxNullBitmap);
        maskSeen = *maskBitmap;
    }
    const int mx = (from.x + to.x) / 2;
    const int my = (from.y + to.y) / 2;
    const int halfWidth = (std::abs(to.x - from.x) + 1) / 2;
    const int halfHeight = (std::abs(to.y - from.y) + 1) / 2;
    wxRect window =
        ToRect(canvasview::ZoomedOutwards({mx - halfWidth - s - 1, my - halfHeight - s - 1,
                                           2 * (halfWidth + s) + 1, 2 * (halfHeight + s) + 1},
                                          zoom));
    window.Offset(-scrollX, -scrollY);
    RefreshRect(window, false);
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

void CPaintPanel::OnLeftDown(wxMouseEvent& event)
{
    // A click on the picture gives it the keyboard: the arrow keys then size the brush, and
    // backslash compares with the picture as opened.
    if (!HasFocus())
        SetFocus();
    event.Skip();
}

void CPaintPanel::OnLeftUp(wxMouseEvent& event)
{
    if (paintEnabled && !HasFocus())
        SetFocus();
    DrawArea(event.GetPosition(), true);
    strokeX = strokeY = -1;
    event.Skip();
}

void CPaintPanel::OnMiddleDown(wxMouseEvent& event)
{
    if (!HasFocus())
        SetFocus();
    panning = true;
    panFrom = event.GetPosition();
    panScroll = wxPoint(scrollX, scrollY);
    if (!HasCapture())
        CaptureMouse();
    event.Skip();
}

void CPaintPanel::OnMiddleUp(wxMouseEvent& event)
{
    panning = false;
    if (HasCapture())
        ReleaseMouse();
    event.Skip();
}

void CPaintPanel::OnCaptureLost(wxMouseCaptureLostEvent& WXUNUSED(event))
{
    panning = false;
}

void CPaintPanel::OnMotion(wxMouseEvent& event)
{
    if (panning) {
        const wxPoint moved = event.GetPosition() - panFrom;
        ScrollTo(panScroll.x - moved.x, panScroll.y - moved.y);
        DrawArea(event.GetPosition(), false);
    } else {
        // The middle button drags the view, so only the other buttons paint.
        DrawArea(event.GetPosition(), event.ButtonIsDown(wxMOUSE_BTN_ANY) && !event.MiddleIsDown());
    }
    event.Skip();
}

void CPaintPanel::OnMouseWheel(wxMouseEvent& event)
{
    const int delta = std::max(1, event.GetWheelDelta());
    wheelRest += event.GetWheelRotation();
    const int notches = wheelRest / delta;
    wheelRest -= notches * delta;
    if (event.ControlDown()) {
        if (notches != 0)
            StepZoomAbout(notches, event.GetPosition());
        return;
    }
    const int pixels = notches * std::max(1, event.GetLinesPerAction()) * kLineStep;
    if (event.GetWheelAxis() == wxMOUSE_WHEEL_HORIZONTAL)
        ScrollTo(scrollX + pixels, scrollY);
    else if (event.ShiftDown())
        ScrollTo(scrollX - pixels, scrollY);
    else
        ScrollTo(scrollX, scrollY - pixels);
}

void CPaintPanel::OnScrollWin(wxScrollWinEvent& event)
{
    const bool horizontal = event.GetOrientation() == wxHORIZONTAL;
    const int page = horizontal ? GetClientSize().x : GetClientSize().y;
    int position = horizontal ? scrollX : scrollY;
    const wxEventType type = event.GetEventType();
    if (type == wxEVT_SCROLLWIN_TOP)
        position = 0;
    else if (type == wxEVT_SCROLLWIN_BOTTOM)
        position = INT_MAX / 2;
    else if (type == wxEVT_SCROLLWIN_LINEUP)
        position -= kLineStep;
    else if (type == wxEVT_SCROLLWIN_LINEDOWN)
        position += kLineStep;
    else if (type == wxEVT_SCROLLWIN_PAGEUP)
        position -= page;
    else if (type == wxEVT_SCROLLWIN_PAGEDOWN)
        position += page;
    else
        position = event.GetPosition();
    if (horizontal)
        ScrollTo(position, scrollY);
    else
        ScrollTo(scrollX, position);
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

void CPaintPanel::OnKeyDown(wxKeyEvent& event)
{
    if (event.GetKeyCode() == '\\' && !event.HasAnyModifiers()) {
        ShowOpened(true);
        return;
    }
    event.Skip();
}

void CPaintPanel::OnKeyUp(wxKeyEvent& event)
{
    if (event.GetKeyCode() == '\\')
        ShowOpened(false);
    event.Skip();
}

void CPaintPanel::OnKillFocus(wxFocusEvent& event)
{
    // A key released elsewhere never reaches the canvas.
    ShowOpened(false);
    event.Skip();
}
