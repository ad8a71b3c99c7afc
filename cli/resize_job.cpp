// SPDX-License-Identifier: GPL-3.0-or-later
#include "resize_job.h"

#include <cstring>
#include <memory>

#include <wx/filefn.h>
#include <wx/image.h>
#include <wx/log.h>

#include "carve_run.h"
#include "dp.h"
#include "pending_picture.h"
#include "picture_reader.h"
#include "progress_bar.h"
#include "target_size.h"

namespace {

// Keeps the toolkit's last log message (instead of printing it), to name the reason of a failure.
class CapturingLog : public wxLog {
public:
    CapturingLog() : previous_(wxLog::SetActiveTarget(this)) {}
    ~CapturingLog() override { wxLog::SetActiveTarget(previous_); }
    std::string Last() const { return last_; }
    void Clear() { last_.clear(); }

protected:
    void DoLogRecord(wxLogLevel, const wxString& message, const wxLogRecordInfo&) override
    {
        last_ = message.ToStdString(wxConvUTF8);
    }

private:
    wxLog* previous_;
    std::string last_;
};

JobOutcome Failure(std::string error)
{
    return {kExitFailure, std::move(error)};
}

JobOutcome UsageError(std::string error)
{
    return {kExitUsage, std::move(error)};
}

std::string Quoted(const std::string& path)
{
    return "'" + path + "'";
}

// A failed write of a picture file, in words.
JobOutcome WriteFailure(const std::string& path, const WriteProblem& problem)
{
    if (problem.kind == WriteProblem::kNoFormat)
        return Failure("cannot write " + Quoted(path) + ": no picture format for its extension");
    if (problem.systemError == 0)
        return Failure("could not encode " + Quoted(path));
    return Failure("cannot write " + Quoted(path) + ": " + std::strerror(problem.systemError));
}

std::string SizeText(long long width, long long height)
{
    return std::to_string(width) + "x" + std::to_string(height);
}

// A target given in pixels can be refused before the input is read.
JobOutcome CheckAbsoluteTarget(const std::optional<SideTarget>& side, const char* name)
{
    if (side && !side->percent && side->value < 1)
        return UsageError(std::string("target ") + name + " " + std::to_string(side->value) +
                          " is below 1 pixel");
    return {};
}

struct Targets {
    int width;
    int height;
};

Targets ResolveTargets(const CliOptions& options, int width, int height)
{
    Targets targets{options.width ? options.width->Resolve(width) : width,
                    options.height ? options.height->Resolve(height) : height};
    if (options.keepAspect && options.width)
        targets.height = target::HeightForWidth(targets.width, width, height);
    else if (options.keepAspect && options.height)
        targets.width = target::WidthForHeight(targets.height, width, height);
    return targets;
}

JobOutcome CheckTargets(const Targets& targets)
{
    if (targets.width < 1)
        return UsageError("target width " + std::to_string(targets.width) + " is below 1 pixel");
    if (targets.height < 1)
        return UsageError("target height " + std::to_string(targets.height) + " is below 1 pixel");
    if (!target::IsCarvableSize(targets.width, targets.height))
        return UsageError("result " + SizeText(targets.width, targets.height) +
                          " exceeds the limit of " + std::to_string(target::kMaxSide) +
                          " pixels a side and " + std::to_string(target::kMaxPixels) +
                          " pixels in all");
    return {};
}

JobOutcome ApplyMask(DP& dp, const std::string& maskFile, CapturingLog& log)
{
    if (!wxFileExists(wxString::FromUTF8(maskFile)))
        return Failure("cannot read mask " + Quoted(maskFile) + ": no such file");
    log.Clear();
    wxImage mask;
    if (!ReadPictureFile(wxString::FromUTF8(maskFile), mask)) {
        const std::string reason = log.Last().empty() ? "not a picture" : log.Last();
        return Failure("cannot read mask " + Quoted(maskFile) + ": " + reason);
    }
    if (mask.GetWidth() != dp.cols || mask.GetHeight() != dp.rows)
        return Failure("mask " + Quoted(maskFile) + " is " +
                       SizeText(mask.GetWidth(), mask.GetHeight()) + ", the picture " +
                       SizeText(dp.cols, dp.rows));
    dp.ModifyEnergy(mask);
    return {};
}

}  // namespace

JobOutcome RunResizeJob(const CliOptions& options, bool showProgress)
{
    for (const JobOutcome& check : {CheckAbsoluteTarget(options.width, "width"),
                                    CheckAbsoluteTarget(options.height, "height")}) {
        if (check.status != kExitSuccess)
            return check;
    }
    if (!PendingPicture::CanWriteFormatOf(wxString::FromUTF8(options.output)))
        return Failure("cannot write " + Quoted(options.output) +
                       ": no picture format for its extension");
    if (!options.energyFile.empty() &&
        !PendingPicture::CanWriteFormatOf(wxString::FromUTF8(options.energyFile)))
        return Failure("cannot write " + Quoted(options.energyFile) +
                       ": no picture format for its extension");

    CapturingLog log;
    const wxString input = wxString::FromUTF8(options.input);
    if (!wxFileExists(input))
        return Failure("cannot read " + Quoted(options.input) + ": no such file");
    DP dp(input);
    if (dp.cols < 0) {
        const std::string reason = log.Last().empty() ? "not a picture" : log.Last();
        return Failure("cannot read " + Quoted(options.input) + ": " + reason);
    }
    if (dp.GetColourImage().GetAlpha())
        return Failure("cannot resize " + Quoted(options.input) +
                       ": pictures with an alpha channel are not supported");

    const Targets targets = ResolveTargets(options, dp.cols, dp.rows);
    if (JobOutcome check = CheckTargets(targets); check.status != kExitSuccess)
        return check;

    if (!options.maskFile.empty()) {
        if (JobOutcome masked = ApplyMask(dp, options.maskFile, log); masked.status != kExitSuccess)
            return masked;
    }

    std::unique_ptr<PendingPicture> energyOutput;
    if (!options.energyFile.empty()) {
        energyOutput = std::make_unique<PendingPicture>(wxString::FromUTF8(options.energyFile));
        if (const WriteProblem problem = energyOutput->Write(dp.EnergyMapPicture().AsImage()))
            return WriteFailure(options.energyFile, problem);
    }

    const CarvePlan plan = CarvePlan::To(dp, targets.width, targets.height);
    ProgressBar progress(plan.Steps(), showProgress);
    for (int step = 0; step < plan.Steps(); ++step) {
        plan.CarveStep(dp, step);
        progress.Update(step + 1);
    }
    progress.Finish();

    PendingPicture output(wxString::FromUTF8(options.output));
    if (const WriteProblem problem = output.Write(dp.GetColourImage().AsImage()))
        return WriteFailure(options.output, problem);
    if (energyOutput) {
        if (const WriteProblem problem = energyOutput->Commit())
            return WriteFailure(options.energyFile, problem);
    }
    if (const WriteProblem problem = output.Commit())
        return WriteFailure(options.output, problem);
    return {};
}
