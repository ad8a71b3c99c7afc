// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings_file.h"

#include "config_keys.h"

#include <wx/fileconf.h>
#include <wx/log.h>
#include <wx/mstream.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Counts the errors the store reports while it parses, instead of showing them.
class ErrorCounter : public wxLog {
public:
    int nErrors = 0;

protected:
    void DoLogRecord(wxLogLevel level, const wxString&, const wxLogRecordInfo&) override
    {
        if (level <= wxLOG_Error)
            ++nErrors;
    }
};

// Reads at most kMaxSettingsBytes + 1 bytes; false when the file cannot be read.
bool ReadBounded(const std::string& path, std::string& bytes)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::vector<char> buffer(64 * 1024);
    bool ok = true;
    while (bytes.size() <= kMaxSettingsBytes) {
        const ssize_t got = read(fd, buffer.data(), buffer.size());
        if (got < 0) {
            ok = false;
            break;
        }
        if (got == 0)
            break;
        bytes.append(buffer.data(), static_cast<std::size_t>(got));
    }
    close(fd);
    return ok;
}

bool ParsesCleanly(const std::string& bytes)
{
    ErrorCounter counter;
    wxLog* previous = wxLog::SetActiveTarget(&counter);
    {
        wxMemoryInputStream input(bytes.data(), bytes.size());
        wxFileConfig parsed(input);
    }
    wxLog::SetActiveTarget(previous);
    return counter.nErrors == 0;
}

bool IsBroken(const std::string& path)
{
    struct stat info;
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return true;  // a folder, a FIFO, a device, a dangling link
    if (static_cast<std::uint64_t>(info.st_size) > kMaxSettingsBytes)
        return true;
    std::string bytes;
    if (!ReadBounded(path, bytes) || bytes.size() > kMaxSettingsBytes)
        return true;
    return bytes.find('\0') != std::string::npos || !ParsesCleanly(bytes);
}

}  // namespace

wxString SettingsFilePath()
{
    return wxFileConfig::GetLocalFileName(szAppName);
}

bool SetAsideBrokenSettings(wxString& brokenPath)
{
    const wxString file = SettingsFilePath();
    const std::string path = file.ToStdString(*wxConvFileName);
    struct stat info;
    if (lstat(path.c_str(), &info) != 0 || !IsBroken(path))
        return false;
    const wxString broken = file + ".broken";
    unlink(broken.ToStdString(*wxConvFileName).c_str());  // one kept copy, the latest
    if (std::rename(path.c_str(), broken.ToStdString(*wxConvFileName).c_str()) != 0)
        return false;
    brokenPath = broken;
    return true;
}
