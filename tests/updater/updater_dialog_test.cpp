// SPDX-License-Identifier: GPL-3.0-or-later
// The updater's window in this process, against a loopback server: what the user sees for a
// good update and for each way an update can go wrong.
#include "updater_dialog.h"
#include "main_app.h"
#include "test_archive.h"
#include "test_home.h"
#include "test_server.h"

#include <wx/config.h>
#include <wx/evtloop.h>
#include <wx/msgdlg.h>
#include <wx/testing.h>

#include <gtest/gtest.h>

#include <unistd.h>
#include <chrono>
#include <functional>

namespace {

const char ARCHIVE[] = "/kerv/0.68_Kerv_lnx.tar.gz";

struct UpdaterWindow : HomeTest, InstallFolder {
    std::string oldDir;
    TestServer server;
    wxEventLoop loop;
    std::unique_ptr<wxEventLoopActivator> activator;
    CUpdaterDialog* dialog = nullptr;
    wxString message;
    wxString caption;

    void SetUp() override
    {
        HomeTest::SetUp();
        char buffer[4096];
        oldDir = getcwd(buffer, sizeof buffer) ? buffer : "";
        ASSERT_EQ(chdir(work.c_str()), 0);
        activator.reset(new wxEventLoopActivator(&loop));
    }

    void TearDown() override
    {
        if (dialog)
            dialog->Destroy();
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
        SpinUntil([&] { return std::chrono::steady_clock::now() >= end; }, std::chrono::seconds(1));
        activator.reset();
        HomeTest::TearDown();
        if (chdir(oldDir.c_str()) != 0)
            ADD_FAILURE() << "cannot return to " << oldDir;
    }

    // Runs the loop until done; fails when that takes longer than limit.
    void SpinUntil(const std::function<bool()>& done, std::chrono::milliseconds limit,
                   const char* what = "")
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            ASSERT_LT(std::chrono::steady_clock::now(), end) << what;
            loop.DispatchTimeout(10);
            wxTheApp->ProcessPendingEvents();
            wxTheApp->ProcessIdle();
        }
    }

    // Opens the window on the URL and runs it until the first attempt has ended.
    void RunAttempt(const std::string& url)
    {
        wxGetApp().strCommand = wxString::FromUTF8(url);
        dialog = new CUpdaterDialog(nullptr, -1, wxEmptyString);
        dialog->Show();
        wxTEST_DIALOG(WaitForEnd(), MessageBox(wxID_OK, message, caption));
    }

    void WaitForEnd()
    {
        SpinUntil([this] { return !Status().empty() && !dialog->IsBusy(); },
                  std::chrono::seconds(60), "the attempt did not end");
    }

    // The window's controls, in the order the window creates them.
    wxTextCtrl* Text(int index) const
    {
        int seen = 0;
        for (wxWindow* child : dialog->GetChildren())
            if (wxTextCtrl* text = dynamic_cast<wxTextCtrl*>(child))
                if (seen++ == index)
                    return text;
        return nullptr;
    }
    wxTextCtrl* ProxyUrl() const { return Text(0); }
    wxTextCtrl* ProxyPort() const { return Text(1); }
    wxString Percent() const { return Text(2)->GetValue(); }
    wxString Status() const { return Text(3) ? Text(3)->GetValue() : wxString(); }
    wxWindow* Download() const { return dialog->FindWindow(3); }
    wxWindow* CloseButton() const { return dialog->FindWindow(2); }
    int Gauge() const { return static_cast<wxGauge*>(dialog->FindWindow(1))->GetValue(); }

    void ExpectFailedAndRetryable()
    {
        EXPECT_FALSE(dialog->IsDone());
        EXPECT_TRUE(Download()->IsEnabled());
        EXPECT_TRUE(CloseButton()->IsEnabled());
        EXPECT_NE(Status(), "Success.");
        EXPECT_FALSE(Exists(work + "/0.68_Kerv_lnx.tar.gz"));
        EXPECT_EQ(UpdaterFiles(), 0) << "the download was left behind";
        EXPECT_EQ(ReadFile(work + "/Kerv"), "old program");
        EXPECT_EQ(ReadFile(root / "canary"), "untouched");
    }
};

}  // namespace

// An error page is reported as a connection failure; the retry then reads a good archive whole,
// with its length announced or not, and the gauge ends at 100.
class UpdaterWindowSuccess : public UpdaterWindow, public ::testing::WithParamInterface<bool> {};

TEST_P(UpdaterWindowSuccess, ARetryAfterAnErrorPageInstallsWithProgressTo100)
{
    server.Route(ARCHIVE, MakeResponse(503, "busy"));
    RunAttempt(server.Url(ARCHIVE));
    EXPECT_EQ(caption, "Error Connecting to the Internet");
    EXPECT_NE(message.Find("Maybe a proxy is needed"), wxNOT_FOUND) << message;
    ExpectFailedAndRetryable();

    const std::string archive = TarBuilder().File("Kerv", "new program", 0755).Gzip();
    server.Route(ARCHIVE, MakeResponse(200, archive, GetParam()));
    server.Route(std::string(ARCHIVE) + ".sig",
                 MakeResponse(200, SignRelease(archive), GetParam()));
    message.clear();
    wxCommandEvent click(wxEVT_BUTTON, 3);
    click.SetEventObject(Download());
    wxTEST_DIALOG(Download()->GetEventHandler()->ProcessEvent(click),
                  MessageBox(wxID_OK, message, caption));
    EXPECT_TRUE(message.empty()) << message;
    EXPECT_EQ(Status(), "Success.");
    EXPECT_TRUE(dialog->IsDone());
    EXPECT_EQ(Gauge(), 100);
    EXPECT_EQ(Percent(), "100 %");
    EXPECT_EQ(dialog->GetTitle(), "Update ...");
    EXPECT_FALSE(Download()->IsEnabled());
    EXPECT_TRUE(CloseButton()->IsEnabled());
    EXPECT_EQ(ReadFile(work + "/Kerv"), "new program");
    EXPECT_FALSE(Exists(work + "/0.68_Kerv_lnx.tar.gz"));
    EXPECT_FALSE(wxConfigBase::Get()->Exists("/ToDelete"));
}

INSTANTIATE_TEST_SUITE_P(LengthAnnounced, UpdaterWindowSuccess, ::testing::Bool());

// Each kind of failure as the window reports it: the message (part of it), its caption and the
// status line; nothing is installed, nothing left behind, and a retry is possible. (The
// pipeline's own decisions, and every archive the installation refuses, are tested headless;
// a failed connection is the first attempt of the retry above.)
struct FailedAttempt {
    const char* what;
    std::function<void(UpdaterWindow&)> serve;  // sets the server up (nullptr: nothing to serve)
    const char* path;                           // on the server
    const char* message;
    const char* caption;
    const char* status;
};

class UpdaterWindowFailure : public UpdaterWindow,
                             public ::testing::WithParamInterface<FailedAttempt> {};

TEST_P(UpdaterWindowFailure, IsReportedOnceAndChangesNothing)
{
    const FailedAttempt& c = GetParam();
    if (c.serve)
        c.serve(*this);
    RunAttempt(server.Url(c.path));
    EXPECT_NE(message.Find(c.message), wxNOT_FOUND) << c.what << ": " << message;
    EXPECT_EQ(caption, c.caption) << c.what;
    EXPECT_NE(Status().Find(c.status), wxNOT_FOUND) << c.what << ": " << Status();
    ExpectFailedAndRetryable();
}

INSTANTIATE_TEST_SUITE_P(
    Attempts, UpdaterWindowFailure,
    ::testing::Values(
        FailedAttempt{"a bad signature",
                      [](UpdaterWindow& w) {
                          const std::string archive = TarBuilder().File("Kerv", "evil").Gzip();
                          w.server.RouteSigned(ARCHIVE, archive, SignRelease(archive + "x"));
                      },
                      ARCHIVE, "signature is not valid", "Error", "signature"},
        FailedAttempt{"no signature",
                      [](UpdaterWindow& w) {
                          w.server.Route(ARCHIVE, MakeResponse(200, TarBuilder().Gzip()));
                      },
                      ARCHIVE, "signature of the update could not be downloaded", "Error",
                      "signature"},
        FailedAttempt{"a truncated download",
                      [](UpdaterWindow& w) {
                          const std::string archive =
                              TarBuilder().File("Kerv", Noise(50000)).Gzip();
                          const std::string length = std::to_string(archive.size() + 5000);
                          w.server.Route(ARCHIVE,
                                         MakeResponse(200, archive, false,
                                                      "Content-Length: " + length + "\r\n"));
                      },
                      ARCHIVE, "stopped after", "Error", "stopped after"},
        FailedAttempt{"a refused archive",
                      [](UpdaterWindow& w) {
                          const std::string archive =
                              TarBuilder().File("Kerv", "new").File("../canary", "o").Gzip();
                          w.server.RouteSigned(ARCHIVE, archive, SignRelease(archive));
                      },
                      ARCHIVE, "'../canary'", "Error", "not allowed"},
        FailedAttempt{"an unknown format, not even fetched", nullptr, "/kerv/0.68_Kerv_win.zip",
                      "can't handle '0.68_Kerv_win.zip'", "Error", "Unknown format"},
        FailedAttempt{"an older version", nullptr, "/kerv/0.66_Kerv_lnx.tar.gz",
                      "Version 0.66 is not newer than this version (0.67)", "Error",
                      "not a newer version"}));

// The stored proxy is shown and asked for the update, and what the fields hold is saved at close.
TEST_F(UpdaterWindow, TheStoredProxyIsShownUsedAndSavedAtClose)
{
    TestServer proxy;
    const std::string url = DeadUrl(ARCHIVE);
    std::string archive = TarBuilder().File("Kerv", "via proxy").Gzip();
    proxy.RouteSigned(url, archive, SignRelease(archive));
    wxConfigBase* config = wxConfigBase::Get();
    config->SetPath("/Proxy");
    config->Write("Url", "127.0.0.1");
    config->Write("Port", static_cast<long>(proxy.Port()));
    RunAttempt(url);
    EXPECT_EQ(ProxyUrl()->GetValue(), "127.0.0.1");
    EXPECT_EQ(ProxyPort()->GetValue(), wxString::Format("%d", proxy.Port()));
    EXPECT_EQ(Status(), "Success.") << message;
    EXPECT_EQ(ReadFile(work + "/Kerv"), "via proxy");

    ProxyUrl()->SetValue(" proxy.example ");
    ProxyPort()->SetValue("3128abc");
    dialog->CloseAndRestart();
    config->SetPath("/Proxy");
    EXPECT_EQ(config->Read("Url", wxEmptyString), " proxy.example ");
    EXPECT_EQ(config->ReadLong("Port", -1), 3128);
    ProxyPort()->SetValue("letters");
    dialog->CloseAndRestart();
    config->SetPath("/Proxy");
    EXPECT_EQ(config->ReadLong("Port", -1), 0);
}

TEST_F(UpdaterWindow, CloseStaysEnabledAndClosingDuringTheDownloadCancelsIt)
{
    std::string archive = TarBuilder().File("Kerv", Noise(20000)).Gzip();
    CannedResponse slow = MakeResponse(200, archive);
    slow.nChunkSize = 100;
    slow.nChunkDelayMs = 300;  // a minute in all
    server.Route(ARCHIVE, slow);
    server.Route(std::string(ARCHIVE) + ".sig", MakeResponse(200, SignRelease(archive)));

    wxGetApp().strCommand = server.Url(ARCHIVE);
    dialog = new CUpdaterDialog(nullptr, -1, wxEmptyString);
    dialog->Show();
    bool busyAtClose = false;
    bool closeEnabled = false;
    bool closed = true;
    wxTimer closer;
    closer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        busyAtClose = dialog->IsBusy();
        closeEnabled = CloseButton()->IsEnabled();
        closed = dialog->Close(false);
    });
    closer.StartOnce(1000);
    const auto start = std::chrono::steady_clock::now();
    const wxWindowID id = dialog->GetId();
    wxTEST_DIALOG(SpinUntil([id] { return !wxWindow::FindWindowById(id); },
                            std::chrono::seconds(30), "the window did not close"),
                  MessageBox(wxID_OK, message, caption));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    dialog = nullptr;
    EXPECT_TRUE(busyAtClose);
    EXPECT_TRUE(closeEnabled);
    EXPECT_FALSE(closed) << "the close waits for the download to unwind";
    EXPECT_TRUE(message.empty()) << message;
    EXPECT_EQ(ReadFile(work + "/Kerv"), "old program");
    EXPECT_EQ(UpdaterFiles(), 0);
}
