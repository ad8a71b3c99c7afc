// SPDX-License-Identifier: GPL-3.0-or-later
// The configuration store that Kerv and Kerv_upd share: the names it is opened under and every
// key either program reads or writes. A key is spelled here and nowhere else.
//
// The groups "/Look", "/MRU" and "/Proxy" are used by making the group the current path and
// then reading or writing the relative keys below it; every other key is an absolute path, so
// the current path left behind by a group access never matters to it. Code that uses a
// relative key sets its group first, every time.
#ifndef KERV_SETTINGS_CONFIG_KEYS_H
#define KERV_SETTINGS_CONFIG_KEYS_H

// Both programs open the same store because they use the same two names. The vendor name is
// chosen at build time (KERV_VENDOR_NAME) for both.
inline constexpr const char* szAppName = "Kerv";
extern const char* const szVendorName;

// The project's web server as chosen at build time (KERV_SERVER_DEFAULT), e.g.
// "http://kerv.example.org"; the environment variable KERV_SERVER overrides it at run time.
extern const char* const szDefaultServer;

inline constexpr const char* kConfigRoot = "/";

// The main window's outer geometry, relative to kGroupLook.
inline constexpr const char* kGroupLook = "/Look";
inline constexpr const char* kKeyLookX = "x";
inline constexpr const char* kKeyLookY = "y";
inline constexpr const char* kKeyLookWidth = "w";
inline constexpr const char* kKeyLookHeight = "h";

// Check box states, stored as 1 or 0.
inline constexpr const char* kKeyAnimatedKerv = "/Operation/AnimatedKerv";
inline constexpr const char* kKeyMaintainAspect = "/Operation/MaintainAspect";

// The recent-files list, in the toolkit's file-history layout below this group.
inline constexpr const char* kGroupRecentFiles = "/MRU";

// Standing answers of the questions (1 yes, 0 no; absent means ask).
inline constexpr const char* kKeyConfirmBigSize = "/Confirmations/BigSize";
inline constexpr const char* kKeyConfirmLoseMask = "/Confirmations/LoseMask";
inline constexpr const char* kKeyConfirmOnExit = "/Confirmations/OnExit";
inline constexpr const char* kKeyConfirmAutoUpdate = "/Confirmations/AutoUpdate";

// The day of the last update check that reached the version file.
inline constexpr const char* kKeyLastCheckUpdate = "/Operation/LastCheckUpdate";

// The proxy of both programs, relative to kGroupProxy: host (empty: none) and port.
inline constexpr const char* kGroupProxy = "/Proxy";
inline constexpr const char* kKeyProxyUrl = "Url";
inline constexpr const char* kKeyProxyPort = "Port";

// An archive the updater could not delete; the main program deletes it at its next start.
inline constexpr const char* kKeyToDelete = "/ToDelete";

#endif
