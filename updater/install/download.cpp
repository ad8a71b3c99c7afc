#include "download.h"
#include "write_all.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>

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
    explicit PumpingMemoryReceiver(const std::function<void()>& callback) : pump(callback) {}
    bool Pump() override
    {
        if (pump)
            pump();
        return true;
    }

private:
    const std::function<void()>& pump;
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

HttpResult DownloadToFile(const wxString& url, const wxString& proxy, const wxString& path,
                          const HttpLimits& limits, const DownloadProgress& progress)
{
    const std::string file = path.ToStdString(*wxConvFileName);
    int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        HttpResult result;
        result.failure = HttpFailure::Sink;
        return result;
    }
    FileReceiver receiver(fd, progress);
    HttpResult result = HttpGet(url, proxy, limits, receiver);
    bool closed = close(fd) == 0;
    if (result.Ok() && !closed)
        result.failure = HttpFailure::Sink;
    if (!result.Ok())
        unlink(file.c_str());
    return result;
}

HttpResult DownloadSignature(const wxString& url, const wxString& proxy, std::string& signature,
                             const std::function<void()>& pump)
{
    PumpingMemoryReceiver receiver(pump);
    HttpResult result = HttpGet(url + ".sig", proxy, SignatureDownloadLimits(), receiver);
    signature = result.Ok() ? receiver.strBody : std::string();
    return result;
}
