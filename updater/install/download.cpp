// SPDX-License-Identifier: GPL-3.0-or-later
#include "download.h"

#include "release.h"
#include "write_all.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdlib>
#include <vector>

namespace {

class FileReceiver : public HttpReceiver {
public:
    FileReceiver(int file, const DownloadProgress& callback) : fd(file), progress(callback) {}

    bool Begin(bool lengthKnown, std::uint64_t length) override
    {
        bLengthKnown = lengthKnown;
        nLength = length;
        return true;
    }

    bool Write(const char* data, std::size_t size) override
    {
        if (!WriteAll(fd, data, size))
            return false;
        nReceived += size;
        return true;
    }

    bool Pump() override { return !progress || progress(nReceived, bLengthKnown, nLength); }

private:
    int fd;
    const DownloadProgress& progress;
    bool bLengthKnown = false;
    std::uint64_t nLength = 0;
    std::uint64_t nReceived = 0;
};

class PumpingMemoryReceiver : public HttpMemoryReceiver {
public:
    explicit PumpingMemoryReceiver(const std::function<bool()>& callback) : pump(callback) {}
    bool Pump() override { return !pump || pump(); }

private:
    const std::function<bool()>& pump;
};

}  // namespace

HttpLimits ArchiveDownloadLimits()
{
    HttpLimits limits;
    limits.nMaxBody = 64ull * 1024 * 1024;
    limits.nIdleSeconds = 10;
    limits.nDeadlineSeconds = 15 * 60;
    return limits;
}

HttpLimits SignatureDownloadLimits()
{
    HttpLimits limits;
    limits.nMaxBody = 1024;
    limits.nIdleSeconds = 10;
    limits.nDeadlineSeconds = 30;
    return limits;
}

bool ArchiveFileNameFromUrl(const wxString& url, wxString& name)
{
    HttpUrl parsed;
    if (!ParseHttpUrl(url, parsed))
        return false;
    wxString path = parsed.strPath.BeforeFirst('?');
    wxString last = path.AfterLast('/');
    if (last.empty() || last.length() > 200 || last[0] == '.')
        return false;
    for (wxUniChar c : last) {
        bool allowed = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '.' || c == '_' || c == '-';
        if (!allowed)
            return false;
    }
    name = last;
    return true;
}

int CreateDownloadFile(const wxString& folder, wxString& path)
{
    std::string pattern = (folder + "/" + kDownloadPrefix + "XXXXXX").ToStdString(*wxConvFileName);
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    // mkostemp opens with O_CREAT | O_EXCL and mode 0600.
    const int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0)
        path = wxString(name.data(), *wxConvFileName);
    return fd;
}

HttpResult DownloadToFile(const wxString& url, const wxString& proxy, int fd,
                          const HttpLimits& limits, const DownloadProgress& progress)
{
    if (ftruncate(fd, 0) != 0 || lseek(fd, 0, SEEK_SET) != 0) {
        HttpResult result;
        result.failure = HttpFailure::Sink;
        return result;
    }
    FileReceiver receiver(fd, progress);
    HttpResult result = HttpGet(url, proxy, limits, receiver);
    if (result.Ok() && fsync(fd) != 0)
        result.failure = HttpFailure::Sink;
    return result;
}

HttpResult DownloadSignature(const wxString& url, const wxString& proxy, std::string& signature,
                             const std::function<bool()>& pump)
{
    PumpingMemoryReceiver receiver(pump);
    HttpResult result = HttpGet(url + ".sig", proxy, SignatureDownloadLimits(), receiver);
    signature = result.Ok() ? receiver.strBody : std::string();
    return result;
}
