// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file both programs share, checked before the store reads it: a file the store
// could not read cleanly must never keep Kerv or the updater from starting.
#ifndef KERV_SETTINGS_SETTINGS_FILE_H
#define KERV_SETTINGS_SETTINGS_FILE_H

#include <wx/string.h>

#include <cstdint>

// Larger than any settings file Kerv writes by far; reading more would only cost time.
inline constexpr std::uint64_t kMaxSettingsBytes = 1024 * 1024;

// The per-user settings file of the store named szAppName (~/.Kerv on Linux).
wxString SettingsFilePath();

// Call before the configuration store is first used. When the settings file exists but is
// not a regular file, cannot be read, is larger than kMaxSettingsBytes, holds NUL bytes or
// lines the store would complain about (a truncated or corrupt file), it is renamed to
// <file>.broken, replacing an older one, so that the store starts with defaults. Returns true
// and the new name in brokenPath when it did so. Never opens a FIFO or follows a directory.
bool SetAsideBrokenSettings(wxString& brokenPath);

#endif
