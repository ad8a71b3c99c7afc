// SPDX-License-Identifier: GPL-3.0-or-later
// kerv-cli's batch form: many inputs, each carved by a worker process of its own, a fixed
// number at a time.
#ifndef KERV_CLI_BATCH_H
#define KERV_CLI_BATCH_H

#include <string>
#include <vector>

#include "cli_options.h"
#include "resize_job.h"

// The result path of one input of a batch: in the output folder under the input's name, or
// beside the input with the suffix after its name; the extension becomes the format when one
// is given.
std::string BatchOutputPath(const CliOptions& options, const std::string& input);

// Resizes every input of options. Failing files are reported (one error line each on stderr)
// and the others are still done. Returns kExitFailure when any file failed.
ExitStatus RunBatch(const CliOptions& options, bool showProgress);

#endif
