#include "updater_dialog.h"
#include "config_keys.h"

#include "download.h"
#include "main_app.h"
#include "signature.h"

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

bool IsConnectionFailure(HttpFailure failure)
{
    switch (failure) {
        case HttpFailure::BadUrl:
        case HttpFailure::Connect:
        case HttpFailure::Timeout:
        case HttpFailure::Deadline:
        case HttpFailure::BadResponse:
        case HttpFailure::Status:
            return true;
        default:
            return false;
    }
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
    : wxDialog(parent, id, title, pos, size, wxDEFAULT_DIALOG_STYLE)
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
    // Escape works like "&Close" (and, like it, not while a download runs).
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

void CUpdaterDialog::DoEnable(bool enable)
{
    textProxyUrl->Enable(enable);
    textProxyPort->Enable(enable);
    btnClose->Enable(enable);
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
    if (!wxFileExists(name) || wxRemoveFile(name))
        return;
    // The main program deletes it at its next start; an earlier entry is left as it is.
    wxConfigBase* config = wxConfigBase::Get();
    if (!config->Exists(kKeyToDelete)) {
        config->Write(kKeyToDelete, name);
        config->Flush();
    }
}

bool CUpdaterDialog::DoDownload()
{
    if (bBusy)
        return false;
    bBusy = true;
    DoEnable(false);
    gaugeDownload->SetValue(0);
    textPercent->SetValue(wxString::Format("%d %%", 0));

    const wxString url = wxGetApp().strCommand;
    ShowStatus("connecting ...");

    const wxString host = textProxyUrl->GetValue().Strip(wxString::both);
    const wxString port = textProxyPort->GetValue().Strip(wxString::both);
    wxString proxy;
    if (!host.empty() && !port.empty())
        proxy = wxString::Format("%s:%s", host, port);

    auto finish = [this]() {
        bBusy = false;
        DoEnable(true);
        return bDone;
    };

    PublicKey key;
    if (!GetBuiltInPublicKey(key)) {
        Fail("No release key.",
             "This updater was built without a release key, so no update can be verified.\n"
             "Please download the new version from the project's web site.",
             "Error");
        return finish();
    }
    wxString name;
    if (!ArchiveFileNameFromUrl(url, name)) {
        Fail("Bad address.", wxString::Format("The update address is not valid:\n%s", url),
             "Error");
        return finish();
    }
    if (!IsKnownArchiveFormat(name)) {
        Fail("Unknown format.",
             wxString::Format("can't handle '%s': the update archive is in an unknown format.",
                              name),
             "Error");
        return finish();
    }

    ShowStatus("downloading ...");
    HttpResult download =
        DownloadToFile(url, proxy, name, ArchiveDownloadLimits(),
                       [this](std::uint64_t received, bool lengthKnown, std::uint64_t length) {
                           ShowProgress(received, lengthKnown, length);
                           KeepAlive();
                           return true;
                       });
    if (!download.Ok()) {
        if (IsConnectionFailure(download.failure))
            Fail("Failed: " + download.Describe(), CONNECT_MESSAGE, CONNECT_CAPTION);
        else
            Fail("Failed: " + download.Describe(),
                 download.Describe() + "\nNothing was installed; you can try again.", "Error");
        return finish();
    }
    ShowProgress(download.nReceived, true, download.nReceived);

    // Nothing is unpacked unless the archive carries the release key's signature.
    ShowStatus("verifying ...");
    std::string signature;
    HttpResult fetched = DownloadSignature(url, proxy, signature, [this] { KeepAlive(); });
    SignatureCheck check =
        fetched.Ok() ? VerifyFileSignature(name, signature, key, ArchiveDownloadLimits().nMaxBody)
                     : SignatureCheck::Malformed;
    if (!fetched.Ok() || check != SignatureCheck::Valid) {
        RemoveArchive(name);
        if (!fetched.Ok())
            Fail("Failed: the signature is missing.",
                 "The signature of the update could not be downloaded (" + fetched.Describe() +
                     ")\nThe update was not installed.",
                 "Error");
        else
            Fail("Failed: the signature is not valid.",
                 "The update's signature is not valid: the archive may have been damaged or "
                 "tampered with.\nThe update was not installed.",
                 "Error");
        return finish();
    }

    ShowStatus("extracting ...");
    KeepAlive();
    wxString copy = name;
    bool extracted = DoExtract(copy);
    RemoveArchive(name);
    if (!extracted) {
        Fail("Failed: " + resultExtract.Describe(),
             resultExtract.Describe() + "\nThe installed files were left as they were.", "Error");
        return finish();
    }

    ShowStatus("Success.");
    bDone = true;
    return finish();
}

bool CUpdaterDialog::DoExtract(wxString& name)
{
    const wxString archive = name;
    resultExtract =
        InstallArchive(archive, name, wxGetCwd(), ArchiveLimits(), [this] { KeepAlive(); });
    // Like the archive reader, take the compression's extension off the caller's copy.
    if (const wxFilterClassFactory* filter = wxFilterClassFactory::Find(name, wxSTREAM_FILEEXT))
        name = filter->PopExtension(name);
    return resultExtract.Ok();
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
    wxFileName path(wxStandardPaths::Get().GetExecutablePath());
    path.SetFullName(program);
    // Given as an argument vector, so a folder with blanks in its name works.
    const wxString full = path.GetFullPath();
    const wchar_t* argv[] = {full.wc_str(), nullptr};
    wxExecute(argv, wxEXEC_ASYNC);
}

void CUpdaterDialog::OnDownload(wxCommandEvent& /*event*/)
{
    DoDownload();
}

void CUpdaterDialog::OnBtnCancel(wxCommandEvent& event)
{
    Close(true);
    event.Skip();
}

void CUpdaterDialog::OnStartTimer(wxTimerEvent& /*event*/)
{
    DoDownload();
}

void CUpdaterDialog::OnCloseMainFrame(wxCloseEvent& event)
{
    if (bBusy) {
        if (event.CanVeto())
            event.Veto();
        return;
    }
    CloseAndRestart();
    Destroy();
    event.Skip();
}
