// SPDX-License-Identifier: GPL-3.0-or-later
// kerv-cli's command line.
#ifndef KERV_CLI_CLI_OPTIONS_H
#define KERV_CLI_CLI_OPTIONS_H

#include <optional>
#include <string>

// A target given as pixels ("450") or as a percentage of the input's side ("75%").
struct SideTarget {
    int value = 0;
    bool percent = false;

    // The side in pixels for an input side of `original` pixels.
    int Resolve(int original) const;
};

struct CliOptions {
    std::string input;
    std::string output;
    std::optional<SideTarget> width;
    std::optional<SideTarget> height;
    bool keepAspect = false;
    std::string maskFile;    // empty: no mask
    std::string energyFile;  // empty: no energy picture
    int threads = 0;         // 0: as many as help
    bool quiet = false;
    bool showHelp = false;
    bool showVersion = false;
};

// Parses argv. On a usage error returns nothing and sets `error` to a one-line reason.
std::optional<CliOptions> ParseCliOptions(int argc, const char* const* argv, std::string& error);

// The --help text.
const char* CliUsage();

#endif
