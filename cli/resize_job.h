// SPDX-License-Identifier: GPL-3.0-or-later
// One kerv-cli run: read, check, carve, write.
#ifndef KERV_CLI_RESIZE_JOB_H
#define KERV_CLI_RESIZE_JOB_H

#include <string>

#include "cli_options.h"

enum ExitStatus { kExitSuccess = 0, kExitFailure = 1, kExitUsage = 2 };

struct JobOutcome {
    ExitStatus status = kExitSuccess;
    std::string error;  // one line, set unless status is kExitSuccess
};

// Runs the resize the options describe. Writes nothing unless everything succeeds. The picture
// handlers must be registered (AddPictureHandlers) before.
JobOutcome RunResizeJob(const CliOptions& options, bool showProgress);

#endif
