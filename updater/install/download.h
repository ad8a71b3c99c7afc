// SPDX-License-Identifier: GPL-3.0-or-later
// Fetching the update archive and its detached signature.
#ifndef KERV_DOWNLOAD_H
#define KERV_DOWNLOAD_H

#include "http_client.h"

#include <wx/string.h>

#include <cstdint>
#include <functional>
#include <string>

// Caps of the download: the archive may have at most 64 MiB and must arrive within 15 minutes;
// the signature (64 bytes) within 30 seconds. Finding and connecting to the server may take
// 10 seconds, every later single wait as long.
HttpLimits ArchiveDownloadLimits();
HttpLimits SignatureDownloadLimits();

// The archive's name: the last segment of the URL's path. Only plain names of letters,
// digits, ".", "_" and "-" that do not start with "." are accepted. The name decides the
// format and carries the announced version; the download itself never lands under it.
bool ArchiveFileNameFromUrl(const wxString& url, wxString& name);

// Creates a new, empty file of the updater's own in folder: created exclusively (never an
// existing file, never through a link or into a FIFO), mode 0600, named kDownloadPrefix and
// six random characters. Returns its descriptor and sets path, or -1.
int CreateDownloadFile(const wxString& folder, wxString& path);

// Progress of a download: bytes so far, and the announced length when there is one. Returns
// false to cancel. It is also called without new bytes while waiting, so a window can repaint.
using DownloadProgress =
    std::function<bool(std::uint64_t received, bool lengthKnown, std::uint64_t length)>;

// Downloads url into the open file fd, from its start (what an earlier attempt wrote there is
// dropped first).
HttpResult DownloadToFile(const wxString& url, const wxString& proxy, int fd,
                          const HttpLimits& limits, const DownloadProgress& progress);

// Downloads the signature published at url + ".sig" into signature. pump returns false to
// cancel.
HttpResult DownloadSignature(const wxString& url, const wxString& proxy, std::string& signature,
                             const std::function<bool()>& pump);

#endif
