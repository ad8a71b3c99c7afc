// SPDX-License-Identifier: GPL-3.0-or-later
// kerv-cli's command line.
#ifndef KERV_CLI_CLI_OPTIONS_H
#define KERV_CLI_CLI_OPTIONS_H

#include <optional>
#include <string>
#include <vector>

// A target given as pixels ("450") or as a percentage of the input's side ("75%").
struct SideTarget {
    int value = 0;
    bool percent = false;

    // The side in pixels for an input side of `original` pixels.
    int Resolve(int original) const;
};

struct CliOptions {
    // The pictures to resize; "-" is standard input.
    std::vector<std::string> inputs;
    // The single result (INPUT OUTPUT form); "-" is standard output.
    std::string output;
    // Batch form: results go into this folder under the input's name, or beside each input
    // with this suffix after the name. Exactly one is set in a batch, neither otherwise.
    std::string outputFolder;
    std::string suffix;
    std::string format;  // the results' extension (for "-" as OUTPUT and batches); empty: keep
    std::optional<SideTarget> width;
    std::optional<SideTarget> height;
    bool keepAspect = false;
    std::string maskFile;        // empty: no mask
    std::string energyFile;      // empty: no energy picture
    std::string seamsFile;       // empty: no seams picture
    bool removeObject = false;   // --remove-object
    bool forwardEnergy = false;  // --energy-mode forward
    int threads = 0;             // 0: as many as help
    int jobs = 0;                // files carved at a time in a batch; 0: one per core
    int quality = 0;             // JPEG quality 1..100; 0: the input's, else 92
    bool quiet = false;
    bool showHelp = false;
    bool showVersion = false;

    bool IsBatch() const { return !outputFolder.empty() || !suffix.empty(); }
};

// Parses argv by the conventions of GNU tools (getopt_long: --opt=value and --opt value,
// unique abbreviations, -- ends the options, options and arguments in any order). On a usage
// error returns nothing and sets `error` to a one-line reason.
std::optional<CliOptions> ParseCliOptions(int argc, char* const* argv, std::string& error);

// The --help text.
const char* CliUsage();

#endif
