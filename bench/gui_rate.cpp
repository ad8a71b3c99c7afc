// SPDX-License-Identifier: GPL-3.0-or-later
// Measures the main window at work: seams per second of an immediate width run (slider driver
// with its progress gauge and yields) against the engine alone on the same carve, the time of
// a Kerv run to the same width with and without "Animated Kerving (slower)", and the time of one
// canvas repaint at 100 % and 25 % zoom.
//
//   kerv_gui_bench PICTURE [NEW_WIDTH [THREADS]]
//
// Run it on a display (bench/gui.sh starts a private Xvfb one) with HOME pointing at an empty
// folder, so no settings are read or written.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/cmdline.h>
#include <wx/log.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

#include "dp.h"
#include "frame_access.h"
#include "main_frame.h"
#include "main_frame_ids.h"
#include "paint_panel.h"
#include "picture_handlers.h"

namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Seams per second of the engine alone: the same picture, the same number of removals.
double EngineRate(const wxString& picture, int seams)
{
    DP dp(picture);
    const auto start = Clock::now();
    for (int i = 0; i < seams; ++i)
        dp.GetSeam_Vert(true);
    return seams / SecondsSince(start);
}

// Milliseconds of one full repaint of the canvas at a zoom (the zoomed picture is built by the
// first repaint and cached, as it is while the user paints).
double RepaintMilliseconds(CPaintPanel* canvas, int zoom)
{
    canvas->SetZoom(zoom);
    canvas->Refresh();
    canvas->Update();
    constexpr int kRepaints = 20;
    const auto start = Clock::now();
    for (int i = 0; i < kRepaints; ++i) {
        canvas->Refresh();
        canvas->Update();
    }
    return SecondsSince(start) * 1000 / kRepaints;
}

class BenchApp : public wxApp {
public:
    bool OnInit() override
    {
        if (argc < 2) {
            std::fprintf(stderr, "usage: kerv_gui_bench PICTURE [NEW_WIDTH [THREADS]]\n");
            return false;
        }
        picture = argv[1];
        newWidth = argc > 2 ? wxAtoi(argv[2]) : 0;
        if (argc > 3)
            DP::SetThreads(wxAtoi(argv[3]));
        AddPictureHandlers();
        // The window would report an unreadable picture in a modal box that nobody answers.
        bool readable = false;
        {
            wxLogNull quiet;
            readable = DP(picture).cols >= 0;
        }
        if (!readable) {
            std::fprintf(stderr, "kerv_gui_bench: cannot read %s\n", argv[1].utf8_str().data());
            return false;
        }
        frame = new CMainFrame(nullptr, wxID_ANY, wxEmptyString);
        Ui(frame).timerStartUp.Stop();  // no update reminder in the middle of the measurement
        frame->Show();
        CallAfter(&BenchApp::Measure);
        return true;
    }

private:
    void Measure()
    {
        wxString path = picture;
        frame->DoOpenFile(path, -1);
        if (!Ui(frame).pDP || Ui(frame).pDP->cols < 0) {
            std::fprintf(stderr, "kerv_gui_bench: cannot open %s\n", picture.utf8_str().data());
            exitCode = 1;
            frame->Destroy();
            return;
        }
        const int width = Ui(frame).pDP->cols;
        const int target = newWidth > 0 ? newWidth : width * 3 / 4;
        const int seams = width - target;

        // Rounds of the engine alone, then the window on a freshly opened picture, each pair
        // under the same conditions (a first run in a process also pays for fresh memory).
        // A round's share scatters by a tenth and more either way (a run is a tenth of a
        // second), hence nine of them.
        constexpr int kRounds = 9;
        std::vector<double> shares;
        for (int round = 0; round < kRounds; ++round) {
            const double engineRate = EngineRate(picture, seams);
            Ui(frame).session.SetModified(false);
            wxString again = picture;
            frame->DoOpenFile(again, -1);
            // The repaint the open asked for is the open's, not the run's: as after a user's
            // open, it is done before the run starts. So are the toolkit's transitions of the
            // controls the open and the last run enabled or disabled (a fifth of a second),
            // which a run the user starts never meets: started at once, the run would repaint
            // those controls at every yield.
            SettleAfterOpen();
            const auto start = Clock::now();
            frame->WidthChange(target);
            const double windowRate = seams / SecondsSince(start);
            shares.push_back(100 * windowRate / engineRate);
            std::printf(
                "immediate width run %d -> %d: %.0f seams/s in the window, %.0f seams/s "
                "engine alone (%.0f %%)\n",
                width, target, windowRate, engineRate, shares.back());
        }
        std::sort(shares.begin(), shares.end());
        std::printf("window / engine alone, median of %d: %.0f %%\n", kRounds, shares[kRounds / 2]);

        // Kerv runs in pairs, each on a freshly opened picture; the pairs alternate which run
        // goes first, so that a drift in the machine's speed favours neither.
        constexpr int kPairs = 6;
        std::vector<double> ratios;
        for (int pair = 0; pair < kPairs; ++pair) {
            const bool animatedFirst = pair % 2 == 1;
            const double first = KervRunSeconds(target, animatedFirst);
            const double second = KervRunSeconds(target, !animatedFirst);
            const double plain = animatedFirst ? second : first;
            const double animated = animatedFirst ? first : second;
            ratios.push_back(animated / plain);
            std::printf("Kerv run %d -> %d: %.2f s plain, %.2f s animated (%.2fx)\n", width, target,
                        plain, animated, ratios.back());
        }
        std::sort(ratios.begin(), ratios.end());
        std::printf("animated / plain Kerv run, median of %d: %.2fx\n", kPairs,
                    (ratios[kPairs / 2 - 1] + ratios[kPairs / 2]) / 2);
        std::printf("canvas repaint: %.1f ms at 100 %%, %.1f ms at 25 %%\n",
                    RepaintMilliseconds(Ui(frame).paintPanel, 100),
                    RepaintMilliseconds(Ui(frame).paintPanel, 25));
        Ui(frame).session.SetModified(false);
        frame->Destroy();
    }

    // Lets the window finish what an open set going: its repaint, and the transitions of the
    // controls whose state changed, which the toolkit draws frame by frame.
    void SettleAfterOpen()
    {
        const auto start = Clock::now();
        do {
            while (wxTheApp->Pending())
                wxTheApp->Dispatch();
            frame->Update();
            wxMilliSleep(5);
        } while (SecondsSince(start) < kSettleSeconds);
    }
    static constexpr double kSettleSeconds = 0.5;

    // Seconds of a Kerv run from the opened size to targetWidth (the height kept).
    double KervRunSeconds(int targetWidth, bool animated)
    {
        Ui(frame).session.SetModified(false);
        wxString again = picture;
        frame->DoOpenFile(again, -1);
        Ui(frame).checkAspect->SetValue(false);
        Ui(frame).checkAnimated->SetValue(animated);
        Ui(frame).textAbsWidth->SetValue(wxString::Format("%d", targetWidth));
        wxCommandEvent click(wxEVT_BUTTON, ID_BTN_KERV);
        click.SetEventObject(Ui(frame).btnKerv);
        const auto start = Clock::now();
        frame->ProcessWindowEvent(click);
        return SecondsSince(start);
    }

    int OnExit() override
    {
        wxFastImage::CleanUpHandlers();
        return exitCode;
    }

    wxString picture;
    int newWidth = 0;
    CMainFrame* frame = nullptr;
    int exitCode = 0;
};

}  // namespace

wxIMPLEMENT_APP(BenchApp);
