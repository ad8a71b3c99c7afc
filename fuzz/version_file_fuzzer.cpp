// SPDX-License-Identifier: GPL-3.0-or-later
// The version file's parser over arbitrary bytes: whatever it returns is empty or a plain
// version, which is all that may reach a URL or a file name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "release.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const wxString version =
        ParseServerVersion(std::string(reinterpret_cast<const char*>(data), size));
    if (!version.empty() && !IsPlainVersion(version))
        std::abort();
    wxString announced;
    if (!version.empty() &&
        (!VersionOfArchive(wxPORT_GTK, version + "_Kerv_lnx.tar.gz", announced) ||
         announced != version))
        std::abort();
    return 0;
}
