// Fetching the update archive and its detached signature.
#ifndef KERV_DOWNLOAD_H
#define KERV_DOWNLOAD_H

#include "http_client.h"

#include <wx/string.h>

#include <cstdint>
#include <functional>
#include <string>

// Caps of the download: the archive may have at most 64 MiB and must arrive within 15 minutes;
// the signature (64 bytes) within 30 seconds. Every single wait is limited to 10 seconds.
HttpLimits ArchiveDownloadLimits();
HttpLimits SignatureDownloadLimits();

// The local file name of the archive: the last segment of the URL's path. Only plain names of
// letters, digits, ".", "_" and "-" that do not start with "." are accepted, so the download
// can never land outside the working directory or on a hidden file.
bool ArchiveFileNameFromUrl(const wxString& url, wxString& name);

// Progress of a download: bytes so far, and the announced length when there is one. Returns
// false to cancel. It is also called without new bytes while waiting, so a window can repaint.
using DownloadProgress =
    std::function<bool(std::uint64_t received, bool lengthKnown, std::uint64_t length)>;

// Downloads url into the file at path (created, or truncated when it exists; never written
// through a symbolic link). On failure the partial file is removed again.
HttpResult DownloadToFile(const wxString& url, const wxString& proxy, const wxString& path,
                          const HttpLimits& limits, const DownloadProgress& progress);

// Downloads the signature published at url + ".sig" into signature.
HttpResult DownloadSignature(const wxString& url, const wxString& proxy, std::string& signature,
                             const std::function<void()>& pump);

#endif
