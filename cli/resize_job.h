// SPDX-License-Identifier: GPL-3.0-or-later
// One picture through kerv-cli: read, check, carve, write.
#ifndef KERV_CLI_RESIZE_JOB_H
#define KERV_CLI_RESIZE_JOB_H

#include <functional>
#include <string>
#include <vector>

#include "cli_options.h"

enum ExitStatus { kExitSuccess = 0, kExitFailure = 1, kExitUsage = 2 };

struct JobOutcome {
    ExitStatus status = kExitSuccess;
    std::string error;                  // one line, set unless status is kExitSuccess
    std::vector<std::string> warnings;  // one line each: what was written but not kept
};

// One picture to resize: input and output paths ("-" for standard input and output) and the
// output's format (its extension; empty: the output path's extension).
struct ResizeRequest {
    std::string input;
    std::string output;
    std::string format;
};

// Told of the seams carved so far of all the picture's seams.
using SeamProgress = std::function<void(int done, int total)>;

// The output format's problem, in words: empty when the format can be written.
std::string FormatRefusal(const ResizeRequest& request);

// Runs the resize the options and the request describe. Writes nothing unless everything
// succeeds (the energy picture and the output together). The picture handlers must be
// registered (AddPictureHandlers) before.
JobOutcome RunResizeJob(const CliOptions& options, const ResizeRequest& request,
                        const SeamProgress& progress);

#endif
