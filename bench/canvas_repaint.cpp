// SPDX-License-Identifier: GPL-3.0-or-later
// Measures one repaint of the visible part of the picture pane on a large picture, at several
// zooms, with the (black) mask shown as after opening: the median of 15 and the fastest.
//
//   kerv_canvas_bench [WIDTH HEIGHT [WINDOW_WIDTH WINDOW_HEIGHT]]   (default 6000 x 4000, 1600 x 1000)
//
// Run it on a display (bench/canvas.sh starts a private Xvfb one) with HOME pointing at an empty
// folder. The picture is made at run time and written as a binary PPM to the temporary folder.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <wx/app.h>
#include <wx/ffile.h>
#include <wx/filename.h>

#include "frame_access.h"
#include "main_frame.h"
#include "paint_panel.h"
#include "picture_handlers.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Repaints {
    double median;
    double fastest;
};

// The median and the fastest of 15 full repaints of the pane, in milliseconds; on a shared
// machine the fastest comes nearest to a quiet moment.
Repaints RepaintMilliseconds(CPaintPanel* canvas)
{
    canvas->Refresh();
    canvas->Update();
    std::vector<double> times;
    for (int i = 0; i < 15; ++i) {
        const auto start = Clock::now();
        canvas->Refresh();
        canvas->Update();
        times.push_back(std::chrono::duration<double>(Clock::now() - start).count() * 1000);
    }
    std::sort(times.begin(), times.end());
    return {times[times.size() / 2], times.front()};
}

class BenchApp : public wxApp {
public:
    bool OnInit() override
    {
        if (argc > 2) {
            width = wxAtoi(argv[1]);
            height = wxAtoi(argv[2]);
        }
        if (argc > 4)
            window = wxSize(wxAtoi(argv[3]), wxAtoi(argv[4]));
        AddPictureHandlers();
        path = wxFileName::CreateTempFileName("kerv-canvas-bench");
        if (!WritePicture())
            return false;
        frame = new CMainFrame(nullptr, wxID_ANY, wxEmptyString);
        Ui(frame).timerStartUp.Stop();
        frame->SetSize(window);
        frame->Show();
        CallAfter(&BenchApp::Measure);
        return true;
    }

private:
    // A picture with detail everywhere, so that no part compresses or scales trivially.
    bool WritePicture()
    {
        wxFFile file(path, "wb");
        const wxString head = wxString::Format("P6\n%d %d\n255\n", width, height);
        file.Write(head);
        std::vector<unsigned char> row(static_cast<size_t>(width) * 3);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                row[3 * x] = static_cast<unsigned char>(x * 7 + y * 3);
                row[3 * x + 1] = static_cast<unsigned char>(x ^ y);
                row[3 * x + 2] = static_cast<unsigned char>((x * y) >> 4);
            }
            file.Write(row.data(), row.size());
        }
        return file.Close();
    }

    void Measure()
    {
        frame->DoOpenFile(path, -1);
        CPaintPanel* canvas = Ui(frame).paintPanel;
        if (!frame->Session().IsOpen()) {
            std::fprintf(stderr, "kerv_canvas_bench: cannot open the picture\n");
            exitCode = 1;
        } else {
            const wxSize pane = canvas->GetClientSize();
            std::printf("picture %d x %d (%.1f MP), pane %d x %d\n", width, height,
                        width * static_cast<double>(height) / 1e6, pane.x, pane.y);
            for (int zoom : {25, 100, 800}) {
                canvas->SetZoom(zoom);
                // A view from the middle of the picture.
                const wxSize view = canvas->ViewSize();
                canvas->ScrollTo(view.x / 2, view.y / 2);
                const Repaints times = RepaintMilliseconds(canvas);
                std::printf("repaint at %3d %%: %.1f ms (fastest %.1f ms)\n", zoom, times.median,
                            times.fastest);
            }
            canvas->SetFitZoom();
            const Repaints times = RepaintMilliseconds(canvas);
            std::printf("repaint at Fit (%d %%): %.1f ms (fastest %.1f ms)\n", canvas->zoom,
                        times.median, times.fastest);
        }
        Ui(frame).session.SetModified(false);
        frame->Destroy();
        wxRemoveFile(path);
    }

    int OnExit() override
    {
        wxFastImage::CleanUpHandlers();
        return exitCode;
    }

    int width = 6000;
    int height = 4000;
    wxSize window{1600, 1000};
    wxString path;
    CMainFrame* frame = nullptr;
    int exitCode = 0;
};

}  // namespace

wxIMPLEMENT_APP(BenchApp);
