// SPDX-License-Identifier: GPL-3.0-or-later
#include "updater_dialog.h"

#include "config_keys.h"
#include "kerv_version.h"
#include "main_app.h"
#include "update_pipeline.h"

#include <wx/config.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/platinfo.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/stdpaths.h>
#include <wx/stream.h>
#include <wx/utils.h>

namespace {

const int ID_GAUGE = 1;
const int ID_BTN_CLOSE = 2;
const int ID_BTN_DOWNLOAD = 3;
const int ID_TIMER_START = 0;

const char CONNECT_MESSAGE[] = "Maybe a proxy is needed, or try again later.";
const char CONNECT_CAPTION[] = "Error Connecting to the Internet";

// The leading decimal digits of text as a number; 0 when there are none.
long LeadingNumber(const wxString& text)
{
    long value = 0;
    for (wxUniChar c : text) {
        if (c < '0' || c > '9' || value > 100000000)
            break;
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

wxBEGIN_EVENT_TABLE(CUpdaterDialog, wxDialog)
    EVT_BUTTON(ID_BTN_DOWNLOAD, CUpdaterDialog::OnDownload)
    EVT_BUTTON(ID_BTN_CLOSE, CUpdaterDialog::OnBtnCancel)
    EVT_TIMER(ID_TIMER_START, CUpdaterDialog::OnStartTimer)
    EVT_CLOSE(CUpdaterDialog::OnCloseMainFrame)
wxEND_EVENT_TABLE()

CUpdaterDialog::CUpdaterDialog(wxWindow* parent, int id, const wxString& title, const wxPoint& pos,
                               const wxSize& size, long /*style*/)
    : wxDialog(parent, id, title, pos, size, wxDEFAULT_DIALOG_STYLE),
      strProgramDir(
          wxFileName(wxStandardPaths::Get().GetExecutablePath()).GetPath(wxPATH_GET_VOLUME))
{
    textProxyUrl = new wxTextCtrl(this, wxID_ANY, wxEmptyString);
    textProxyPort = new wxTextCtrl(this, wxID_ANY, wxEmptyString);
    btnDownload = new wxButton(this, ID_BTN_DOWNLOAD, "&Download");
    gaugeDownload =
        new wxGauge(this, ID_GAUGE, 100, wxDefaultPosition, wxDefaultSize, wxGA_HORIZONTAL);
    textPercent = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                 wxNO_BORDER | wxTE_CENTRE | wxTE_READONLY);
    textStatus = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                                wxNO_BORDER | wxTE_READONLY);
    btnClose = new wxButton(this, ID_BTN_CLOSE, "&Close");

    set_properties();
    do_layout();

    bBusy = false;
    bDone = false;
    bCancel = false;
    bCloseWhenIdle = false;
    bClosed = false;

    wxConfigBase* config = wxConfigBase::Get();
    config->SetPath(kGroupProxy);
    textProxyUrl->SetValue(config->Read(kKeyProxyUrl, wxEmptyString));
    long port = config->ReadLong(kKeyProxyPort, 0);
    if (port != 0)
        textProxyPort->SetValue(wxString::Format("%ld", port));

    timerStart.SetOwner(this, ID_TIMER_START);
    timerStart.StartOnce(100);
}

void CUpdaterDialog::set_properties()
{
    SetTitle("Update ...");
    btnDownload->Enable(false);
    btnDownload->SetDefault();
    gaugeDownload->SetMinSize(wxSize(150, 21));
    textPercent->SetMinSize(wxSize(75, -1));
    textPercent->Enable(false);
    textStatus->Enable(false);
    // The status carries the reason of a failure; give it room to be read.
    textStatus->SetMinSize(wxSize(300, -1));
    // Escape works like "&Close" (and, like it, cancels a download that runs).
    SetEscapeId(ID_BTN_CLOSE);
}

void CUpdaterDialog::do_layout()
{
    wxFlexGridSizer* grid = new wxFlexGridSizer(5, 3, 3, 3);
    grid->Add(0, 0);
    grid->Add(new wxStaticText(this, wxID_ANY, "Update Process"), 0, wxALL, 3);
    grid->Add(0, 0);
    grid->Add(new wxStaticText(this, wxID_ANY, "Proxy"), 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 3);
    grid->Add(textProxyUrl, 0, wxEXPAND | wxALIGN_CENTER_VERTICAL);
    grid->Add(0, 0);
    grid->Add(new wxStaticText(this, wxID_ANY, "Port"), 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 3);
    grid->Add(textProxyPort, 0, wxEXPAND | wxALIGN_CENTER_VERTICAL);
    grid->Add(btnDownload, 0, 0);
    grid->Add(new wxStaticText(this, wxID_ANY, "Progress"), 0, wxLEFT | wxALIGN_CENTER_VERTICAL, 3);
    grid->Add(gaugeDownload, 0, wxLEFT | wxEXPAND | wxALIGN_CENTER_VERTICAL, 3);
    grid->Add(textPercent, 0, wxRIGHT | wxALIGN_CENTER_VERTICAL, 3);
    grid->Add(new wxStaticText(this, wxID_ANY, "Status"), 0,
              wxLEFT | wxBOTTOM | wxALIGN_CENTER_VERTICAL, 3);
    grid->Add(textStatus, 0, wxLEFT | wxBOTTOM | wxEXPAND | wxALIGN_CENTER_VERTICAL, 3);
    grid->Add(btnClose, 0, wxRIGHT | wxBOTTOM, 3);
    SetSizer(grid);
    grid->Fit(this);
    grid->AddGrowableCol(1);
    Layout();
}

void CUpdaterDialog::ShowNotice(const wxString& text)
{
    ShowStatus(text);
    if (timerStart.IsRunning())
        timerStart.StartOnce(3000);  // time to read it; the download then takes the line over
}

void CUpdaterDialog::DoEnable(bool enable)
{
    // "&Close" is never disabled: during a download it cancels it (see OnCloseMainFrame).
    textProxyUrl->Enable(enable);
    textProxyPort->Enable(enable);
    btnDownload->Enable(enable);
    if (enable && bDone)
        btnDownload->Enable(false);
}

void CUpdaterDialog::KeepAlive()
{
    auto now = std::chrono::steady_clock::now();
    if (now - timeLastPump < std::chrono::milliseconds(50))
        return;
    timeLastPump = now;
    if (wxTheApp)
        wxTheApp->Yield(true);
}

void CUpdaterDialog::ShowStatus(const wxString& text)
{
    textStatus->SetValue(text);
    textStatus->Update();
}

void CUpdaterDialog::ShowProgress(std::uint64_t received, bool lengthKnown, std::uint64_t length)
{
    int percent = 0;
    if (lengthKnown)
        percent = length == 0 ? 100 : static_cast<int>(received * 100 / length);
    else if (received > 0)
        gaugeDownload->Pulse();  // no length announced: show activity only
    if (lengthKnown && gaugeDownload->GetValue() != percent)
        gaugeDownload->SetValue(percent);
    wxString text = wxString::Format("%d %%", percent);
    if (textPercent->GetValue() != text)
        textPercent->SetValue(text);
}

void CUpdaterDialog::Fail(const wxString& status, const wxString& message, const wxString& caption)
{
    ShowStatus(status);
    wxMessageDialog dialog(this, message, caption, wxOK | wxICON_ERROR);
    dialog.ShowModal();
}

void CUpdaterDialog::RemoveArchive(const wxString& name)
{
    // The pipeline could not remove its download: the main program deletes it at its next
    // start; an earlier entry is left as it is.
    wxConfigBase* config = wxConfigBase::Get();
    if (!config->Exists(kKeyToDelete)) {
        config->Write(kKeyToDelete, name);
        config->Flush();
    }
}

// Reports the pipeline's stages and progress in the window, and asks it to stop once the user
// closed the window.
class CUpdaterDialog::Observer : public UpdateObserver {
public:
    explicit Observer(CUpdaterDialog& dialog) : window(dialog) {}
    void OnStage(UpdateStage stage) override
    {
        switch (stage) {
            case UpdateStage::Downloading:
                window.ShowStatus("downloading ...");
                break;
            case UpdateStage::Verifying:
                window.ShowStatus("verifying ...");
                break;
            case UpdateStage::Extracting:
                window.ShowStatus("extracting ...");
                break;
        }
        window.KeepAlive();
    }
    bool OnProgress(std::uint64_t received, bool lengthKnown, std::uint64_t length) override
    {
        window.ShowProgress(received, lengthKnown, length);
        return KeepAlive();
    }
    bool KeepAlive() override
    {
        window.KeepAlive();
        return !window.bCancel;
    }

private:
    CUpdaterDialog& window;
};

bool CUpdaterDialog::DoDownload()
{
    if (bBusy)
        return false;
    bBusy = true;
    bCancel = false;
    DoEnable(false);
    gaugeDownload->SetValue(0);
    textPercent->SetValue(wxString::Format("%d %%", 0));
    ShowStatus("connecting ...");

    UpdateRequest request;
    request.strUrl = wxGetApp().strCommand;
    const wxString host = textProxyUrl->GetValue().Strip(wxString::both);
    const wxString port = textProxyPort->GetValue().Strip(wxString::both);
    if (!host.empty() && !port.empty())
        request.strProxy = wxString::Format("%s:%s", host, port);
    request.strFolder = wxGetCwd();
    request.strRunningVersion = kKervVersion;
    request.nPort = wxPlatformInfo::Get().GetPortId();
    request.bHaveKey = GetBuiltInPublicKey(request.key);

    Observer observer(*this);
    const UpdateResult result = RunUpdate(request, observer);
    if (!result.strLeftover.empty())
        RemoveArchive(result.strLeftover);
    if (result.Ok()) {
        ShowProgress(result.download.nReceived, true, result.download.nReceived);
        ShowStatus("Success.");
        bDone = true;
    } else
        Report(result, request);

    bBusy = false;
    DoEnable(true);
    if (bCloseWhenIdle)
        Close(true);
    return bDone;
}

void CUpdaterDialog::Report(const UpdateResult& result, const UpdateRequest& request)
{
    const wxString again = "\nNothing was installed; you can try again.";
    switch (result.failure) {
        case UpdateFailure::None:
            break;
        case UpdateFailure::Cancelled:
            ShowStatus("Cancelled.");
            break;
        case UpdateFailure::NoKey:
            Fail("No release key.",
                 "This updater was built without a release key, so no update can be verified.\n"
                 "Please download the new version from the project's web site.",
                 "Error");
            break;
        case UpdateFailure::BadAddress:
            Fail("Bad address.",
                 wxString::Format("The update address is not valid:\n%s", request.strUrl), "Error");
            break;
        case UpdateFailure::UnknownFormat:
            Fail("Unknown format.",
                 wxString::Format("can't handle '%s': the update archive is in an unknown format.",
                                  request.strUrl.AfterLast('/')),
                 "Error");
            break;
        case UpdateFailure::NotNewer:
            Fail("Refused: not a newer version.",
                 wxString::Format("Version %s is not newer than this version (%s); it was not "
                                  "installed.",
                                  result.strVersion, request.strRunningVersion),
                 "Error");
            break;
        case UpdateFailure::Storage:
            Fail("Failed: the download cannot be stored.",
                 "The update cannot be stored in the working folder." + again, "Error");
            break;
        case UpdateFailure::Download:
            if (IsConnectionFailure(result.download.failure) ||
                result.download.failure == HttpFailure::BadUrl)
                Fail("Failed: " + result.download.Describe(), CONNECT_MESSAGE, CONNECT_CAPTION);
            else
                Fail("Failed: " + result.download.Describe(), result.download.Describe() + again,
                     "Error");
            break;
        case UpdateFailure::NoSignature:
            Fail("Failed: the signature is missing.",
                 "The signature of the update could not be downloaded (" +
                     result.signature.Describe() + ")\nThe update was not installed.",
                 "Error");
            break;
        case UpdateFailure::BadSignature:
            Fail("Failed: the signature is not valid.",
                 "The update's signature is not valid for version " + result.strVersion +
                     ": the archive may have been damaged, tampered with or renamed.\nThe update "
                     "was not installed.",
                 "Error");
            break;
        case UpdateFailure::Install:
            Fail("Failed: " + result.install.Describe(),
                 result.install.Describe() + "\nThe installed files were left as they were.",
                 "Error");
            break;
    }
}

bool CUpdaterDialog::DoExtract(wxString& name)
{
    const wxString archive = name;
    const InstallResult result =
        InstallArchive(archive, name, wxGetCwd(), ArchiveLimits(), [this] { KeepAlive(); });
    // Like the archive reader, take the compression's extension off the caller's copy.
    if (const wxFilterClassFactory* filter = wxFilterClassFactory::Find(name, wxSTREAM_FILEEXT))
        name = filter->PopExtension(name);
    return result.Ok();
}

void CUpdaterDialog::CloseAndRestart()
{
    wxConfigBase* config = wxConfigBase::Get();
    config->SetPath(kGroupProxy);
    config->Write(kKeyProxyUrl, textProxyUrl->GetValue());
    config->Write(kKeyProxyPort, LeadingNumber(textProxyPort->GetValue()));
    config->Flush();

    wxString program;
    switch (wxPlatformInfo::Get().GetPortId()) {
        case wxPORT_GTK:
            program = "Kerv";
            break;
        case wxPORT_MSW:
            program = "Kerv.exe";
            break;
        default:
            return;
    }
    wxFileName path(strProgramDir, program);
    // Given as an argument vector, so a folder with blanks in its name works.
    const wxString full = path.GetFullPath();
    const wchar_t* argv[] = {full.wc_str(), nullptr};
    wxExecute(argv, wxEXEC_ASYNC);
}

void CUpdaterDialog::OnDownload(wxCommandEvent& /*event*/)
{
    DoDownload();
}

void CUpdaterDialog::OnBtnCancel(wxCommandEvent& /*event*/)
{
    // Not skipped: the dialog's own handling of its escape button would close a second time.
    Close(true);
}

void CUpdaterDialog::OnStartTimer(wxTimerEvent& /*event*/)
{
    DoDownload();
}

void CUpdaterDialog::OnCloseMainFrame(wxCloseEvent& event)
{
    if (bBusy) {
        // The download is cancelled; once it has unwound, DoDownload closes the window.
        bCancel = true;
        bCloseWhenIdle = true;
        if (event.CanVeto())
            event.Veto();
        return;
    }
    if (bClosed)
        return;  // a second close event for the same close: the main program starts once
    bClosed = true;
    CloseAndRestart();
    Destroy();
    event.Skip();
}
