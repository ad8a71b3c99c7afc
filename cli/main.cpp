// SPDX-License-Identifier: GPL-3.0-or-later
// kerv-cli: resizes pictures by seam carving from the command line.
#include <cstdio>
#include <memory>
#include <string>

#include <unistd.h>

#include <wx/init.h>

#include "batch.h"
#include "cli_options.h"
#include "dp.h"
#include "fast_image.h"
#include "kerv_version.h"
#include "picture_handlers.h"
#include "progress_bar.h"
#include "resize_job.h"

namespace {

int ReportError(const std::string& message, int status)
{
    std::fprintf(stderr, "kerv-cli: error: %s\n", message.c_str());
    return status;
}

ExitStatus RunSingle(const CliOptions& options, bool showProgress)
{
    std::unique_ptr<ProgressBar> progress;
    const JobOutcome outcome =
        RunResizeJob(options, {options.inputs.front(), options.output, options.format},
                     [&](int done, int total) {
                         if (!progress)
                             progress = std::make_unique<ProgressBar>(total, showProgress);
                         progress->Update(done);
                     });
    if (progress)
        progress->Finish();
    for (const std::string& warning : outcome.warnings)
        std::fprintf(stderr, "kerv-cli: warning: %s\n", warning.c_str());
    if (outcome.status != kExitSuccess)
        ReportError(outcome.error, outcome.status);
    return outcome.status;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string error;
    const std::optional<CliOptions> options = ParseCliOptions(argc, argv, error);
    if (!options)
        return ReportError(error + " (see kerv-cli --help)", kExitUsage);
    if (options->showHelp) {
        std::fputs(CliUsage(), stdout);
        return kExitSuccess;
    }
    if (options->showVersion) {
        std::printf("kerv-cli %s\n", kKervVersion);
        return kExitSuccess;
    }

    wxInitializer toolkit;
    if (!toolkit.IsOk())
        return ReportError("cannot initialise the image library", kExitFailure);
    AddPictureHandlers();
    DP::SetThreads(options->threads);
    const bool showProgress = !options->quiet && ::isatty(STDERR_FILENO);
    const ExitStatus status =
        options->IsBatch() ? RunBatch(*options, showProgress) : RunSingle(*options, showProgress);
    wxFastImage::CleanUpHandlers();
    return status;
}
