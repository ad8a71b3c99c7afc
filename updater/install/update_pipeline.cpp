// SPDX-License-Identifier: GPL-3.0-or-later
#include "update_pipeline.h"

#include "download.h"
#include "release.h"

#include <unistd.h>

namespace {

// The checks that need no network: a key, a usable name, a known format, a newer version.
UpdateFailure CheckRequest(const UpdateRequest& request, wxString& name, wxString& version)
{
    if (!request.bHaveKey)
        return UpdateFailure::NoKey;
    if (!ArchiveFileNameFromUrl(request.strUrl, name))
        return UpdateFailure::BadAddress;
    if (!IsKnownArchiveFormat(name))
        return UpdateFailure::UnknownFormat;
    if (!VersionOfArchive(request.nPort, name, version))
        return UpdateFailure::BadAddress;
    if (!IsNewerVersion(version, request.strRunningVersion))
        return UpdateFailure::NotNewer;
    return UpdateFailure::None;
}

// Fetches the archive into fd, directly and then through the proxy; route is the proxy that
// worked (empty for direct).
HttpResult FetchArchive(const UpdateRequest& request, int fd, UpdateObserver& observer,
                        wxString& route)
{
    const DownloadProgress progress = [&observer](std::uint64_t received, bool known,
                                                  std::uint64_t length) {
        return observer.OnProgress(received, known, length);
    };
    route.clear();
    HttpResult result =
        DownloadToFile(request.strUrl, wxString(), fd, ArchiveDownloadLimits(), progress);
    if (!result.Ok() && IsConnectionFailure(result.failure) && !request.strProxy.empty()) {
        route = request.strProxy;
        result = DownloadToFile(request.strUrl, route, fd, ArchiveDownloadLimits(), progress);
    }
    return result;
}

// Fetches the signature the way the archive came and checks it against the download.
UpdateFailure Verify(const UpdateRequest& request, const wxString& path, const wxString& name,
                     const wxString& route, UpdateObserver& observer, UpdateResult& result)
{
    std::string signature;
    result.signature = DownloadSignature(request.strUrl, route, signature,
                                         [&observer] { return observer.KeepAlive(); });
    if (result.signature.failure == HttpFailure::Cancelled)
        return UpdateFailure::Cancelled;
    if (!result.signature.Ok())
        return UpdateFailure::NoSignature;
    result.check = VerifyRelease(path, result.strVersion, name, signature, request.key,
                                 ArchiveDownloadLimits().nMaxBody);
    return result.check == SignatureCheck::Valid ? UpdateFailure::None
                                                 : UpdateFailure::BadSignature;
}

}  // namespace

UpdateResult RunUpdate(const UpdateRequest& request, UpdateObserver& observer)
{
    UpdateResult result;
    RemoveLeftovers(request.strFolder);
    wxString name;
    result.failure = CheckRequest(request, name, result.strVersion);
    if (!result.Ok())
        return result;

    wxString path;
    const int fd = CreateDownloadFile(request.strFolder, path);
    if (fd < 0) {
        result.failure = UpdateFailure::Storage;
        return result;
    }
    observer.OnStage(UpdateStage::Downloading);
    wxString route;
    result.download = FetchArchive(request, fd, observer, route);
    const bool closed = close(fd) == 0;
    if (result.download.failure == HttpFailure::Cancelled)
        result.failure = UpdateFailure::Cancelled;
    else if (!result.download.Ok() || !closed)
        result.failure = UpdateFailure::Download;

    if (result.Ok()) {
        observer.OnStage(UpdateStage::Verifying);
        result.failure = Verify(request, path, name, route, observer, result);
    }
    if (result.Ok()) {
        observer.OnStage(UpdateStage::Extracting);
        result.install = InstallArchive(path, name, request.strFolder, ArchiveLimits(),
                                        [&observer] { observer.KeepAlive(); });
        if (!result.install.Ok())
            result.failure = UpdateFailure::Install;
    }
    if (unlink(path.ToStdString(*wxConvFileName).c_str()) != 0)
        result.strLeftover = path.AfterLast('/');
    return result;
}
