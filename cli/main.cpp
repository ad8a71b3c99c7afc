// SPDX-License-Identifier: GPL-3.0-or-later
// kerv-cli: resizes a picture by seam carving from the command line.
#include <cstdio>
#include <string>

#include <unistd.h>

#include <wx/init.h>

#include "cli_options.h"
#include "dp.h"
#include "fast_image.h"
#include "kerv_version.h"
#include "picture_handlers.h"
#include "resize_job.h"

namespace {

int ReportError(const std::string& message, int status)
{
    std::fprintf(stderr, "kerv-cli: error: %s\n", message.c_str());
    return status;
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
    const JobOutcome outcome = RunResizeJob(*options, !options->quiet && ::isatty(STDERR_FILENO));
    wxFastImage::CleanUpHandlers();
    if (outcome.status != kExitSuccess)
        return ReportError(outcome.error, outcome.status);
    return kExitSuccess;
}
