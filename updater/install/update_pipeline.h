// SPDX-License-Identifier: GPL-3.0-or-later
// One update from start to end, without a window: download the archive to a file of the
// updater's own, fetch and check its signature, install it, and clean up. CUpdaterDialog only
// reports on it.
#ifndef KERV_UPDATE_PIPELINE_H
#define KERV_UPDATE_PIPELINE_H

#include "archive_install.h"
#include "http_client.h"
#include "signature.h"

#include <wx/platinfo.h>
#include <wx/string.h>

#include <cstdint>

struct UpdateRequest {
    wxString strUrl;              // the archive's URL, as the main program passed it
    wxString strProxy;            // "host:port", or empty
    wxString strFolder;           // where to install: the working folder
    wxString strRunningVersion;   // the version of the updater (and of the main program)
    wxPortId nPort = wxPORT_GTK;  // whose archive names apply
    PublicKey key{};
    bool bHaveKey = false;
};

enum class UpdateStage { Downloading, Verifying, Extracting };

// The pipeline's view of its caller. Each call lets a window repaint; a false return cancels
// the download at once (the install, once begun, is all or nothing and is not cut short).
class UpdateObserver {
public:
    virtual ~UpdateObserver() = default;
    virtual void OnStage(UpdateStage /*stage*/) {}
    virtual bool OnProgress(std::uint64_t /*received*/, bool /*lengthKnown*/,
                            std::uint64_t /*length*/)
    {
        return true;
    }
    virtual bool KeepAlive() { return true; }
};

enum class UpdateFailure {
    None,
    NoKey,          // built without a release key
    BadAddress,     // the URL or the archive name in it is unusable
    UnknownFormat,  // the archive name's extension is not one that can be installed
    NotNewer,       // the announced version is not newer than the running one
    Storage,        // no file for the download could be created in the folder
    Download,       // the archive could not be fetched (see download)
    NoSignature,    // its signature could not be fetched (see signature)
    BadSignature,   // the signature does not cover this version, name and bytes
    Install,        // the archive was refused or could not be written (see install)
    Cancelled
};

struct UpdateResult {
    UpdateFailure failure = UpdateFailure::None;
    wxString strVersion;   // the announced version
    HttpResult download;   // the last archive attempt
    HttpResult signature;  // the signature fetch
    SignatureCheck check = SignatureCheck::Valid;
    InstallResult install;
    wxString strLeftover;  // the download's name when it could not be removed

    bool Ok() const { return failure == UpdateFailure::None; }
};

// The archive is fetched directly first and through the proxy (when one is given) only after
// the direct attempt failed to reach it; the signature comes the same way as the archive.
// Before anything else, what a killed updater left in the folder (a partial download, a
// staging folder) is removed. The user's own files are never opened: the download lives under
// a name of its own until it has been verified and installed, and is removed afterwards.
UpdateResult RunUpdate(const UpdateRequest& request, UpdateObserver& observer);

#endif
