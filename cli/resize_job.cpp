// SPDX-License-Identifier: GPL-3.0-or-later
#include "resize_job.h"

#include <cerrno>
#include <cstring>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/log.h>

#include "carve_run.h"
#include "dp.h"
#include "object_removal.h"
#include "pending_picture.h"
#include "picture_reader.h"
#include "seam_trace.h"
#include "standard_streams.h"
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
    return {kExitFailure, std::move(error), {}};
}

JobOutcome UsageError(std::string error)
{
    return {kExitUsage, std::move(error), {}};
}

std::string Quoted(const std::string& path)
{
    return path == "-" ? "standard input" : "'" + path + "'";
}

std::string OutputName(const std::string& path)
{
    return path == "-" ? "standard output" : "'" + path + "'";
}

std::string Describe(const WriteProblem& problem)
{
    switch (problem.kind) {
        case WriteProblem::kNoFormat:
            return "no picture format for its extension";
        case WriteProblem::kReadOnlyFormat:
            return "pictures are read in this format but never written";
        case WriteProblem::kGreyFormat:
            return "this format holds grey pictures only; write .ppm or .pnm instead";
        case WriteProblem::kSystem:
            return std::strerror(problem.systemError);
        default:
            return problem.detail.empty() ? "the picture could not be encoded" : problem.detail;
    }
}

JobOutcome WriteFailure(const std::string& path, const WriteProblem& problem)
{
    return Failure("cannot write " + OutputName(path) + ": " + Describe(problem));
}

std::string OutputExtension(const ResizeRequest& request)
{
    return request.format.empty()
               ? wxFileName(wxString::FromUTF8(request.output)).GetExt().ToStdString(wxConvUTF8)
               : request.format;
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

// Phase 1: everything that can be refused before the input is read.
JobOutcome CheckRequest(const CliOptions& options, const ResizeRequest& request)
{
    for (const JobOutcome& check : {CheckAbsoluteTarget(options.width, "width"),
                                    CheckAbsoluteTarget(options.height, "height")}) {
        if (check.status != kExitSuccess)
            return check;
    }
    if (const std::string refusal = FormatRefusal(request); !refusal.empty())
        return Failure(refusal);
    for (const std::string* extra : {&options.energyFile, &options.seamsFile}) {
        if (extra->empty())
            continue;
        if (WriteProblem problem = PendingPicture::CheckFormatOf(wxString::FromUTF8(*extra)))
            return WriteFailure(*extra, problem);
    }
    if (request.output == "-" && ::isatty(STDOUT_FILENO))
        return Failure("standard output is a terminal; a picture is not written to it");
    return {};
}

// Phase 2: the input read into an engine, turned upright.
JobOutcome OpenInput(const std::string& input, CapturingLog& log, std::unique_ptr<DP>& dp)
{
    std::unique_ptr<StandardInputCopy> copy;
    wxString path = wxString::FromUTF8(input);
    if (input == "-") {
        copy = std::make_unique<StandardInputCopy>();
        if (!copy->error.empty())
            return Failure("cannot read standard input: " + copy->error);
        path = wxString(copy->path.c_str(), wxConvFile);
    }
    struct stat info {};
    if (::stat(path.fn_str(), &info) != 0)
        return Failure("cannot read " + Quoted(input) + ": " + std::strerror(errno));
    if (S_ISDIR(info.st_mode))
        return Failure("cannot read " + Quoted(input) + ": it is a directory");
    dp = std::make_unique<DP>(path);
    if (dp->cols < 0) {
        const std::string reason = log.Last().empty() ? "not a picture" : log.Last();
        return Failure("cannot read " + Quoted(input) + ": " + reason);
    }
    const wxFastImage& picture = dp->GetColourImage();
    if (picture.GetAlpha() || picture.HasMask())
        return Failure("cannot resize " + Quoted(input) +
                       ": pictures with an alpha channel or a transparent colour are not "
                       "supported");
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

JobOutcome ReadMask(const DP& dp, const std::string& maskFile, CapturingLog& log, wxImage& mask)
{
    if (!wxFileExists(wxString::FromUTF8(maskFile)))
        return Failure("cannot read mask " + Quoted(maskFile) + ": no such file");
    log.Clear();
    if (!ReadPictureFile(wxString::FromUTF8(maskFile), mask)) {
        const std::string reason = log.Last().empty() ? "not a picture" : log.Last();
        return Failure("cannot read mask " + Quoted(maskFile) + ": " + reason);
    }
    if (mask.GetWidth() != dp.cols || mask.GetHeight() != dp.rows)
        return Failure("mask " + Quoted(maskFile) + " is " +
                       SizeText(mask.GetWidth(), mask.GetHeight()) + ", the picture " +
                       SizeText(dp.cols, dp.rows));
    return {};
}

// Phase 3: the mask read and applied: its protect and delete areas weigh on the energy, or, for
// an object removal, its green area is the object. Fills removal for an object removal.
JobOutcome ApplyMask(DP& dp, const CliOptions& options, CapturingLog& log,
                     std::unique_ptr<ObjectRemoval>& removal)
{
    wxImage mask;
    if (!options.maskFile.empty()) {
        if (JobOutcome read = ReadMask(dp, options.maskFile, log, mask);
            read.status != kExitSuccess)
            return read;
    }
    if (options.removeObject) {
        removal = std::make_unique<ObjectRemoval>(dp, mask);
        if (!removal->HasObject())
            return Failure("mask " + Quoted(options.maskFile) +
                           " marks no object to remove (no pixel greener than red)");
    } else if (mask.IsOk()) {
        dp.ModifyEnergy(mask);
    }
    return {};
}

// Phase 4: the seams, those of the object removal or those to the target size.
void Carve(DP& dp, ObjectRemoval* removal, const Targets& targets, const SeamProgress& progress,
           SeamTrace* trace)
{
    if (removal) {
        while (removal->Step(trace)) {
            if (progress)
                progress(removal->Done(), removal->Expected());
        }
        return;
    }
    const CarvePlan plan = CarvePlan::To(dp, targets.width, targets.height);
    const int seams = std::abs(plan.widthDifference) + std::abs(plan.heightDifference);
    int done = 0;
    for (int step = 0; step < plan.Steps(); ++step) {
        plan.CarveStep(dp, step, trace);
        done += (step < std::abs(plan.widthDifference)) + (step < std::abs(plan.heightDifference));
        if (progress)
            progress(done, seams);
    }
}

// The pictures written beside the result (the energy, the seams), committed together with it.
class ExtraPictures {
public:
    WriteProblem Write(const std::string& file, const wxImage& picture)
    {
        names_ += " and " + OutputName(file);
        files_.push_back(std::make_unique<PendingPicture>(wxString::FromUTF8(file)));
        return files_.back()->Write(picture);
    }
    std::vector<PendingPicture*> Pending() const
    {
        std::vector<PendingPicture*> pending;
        for (const auto& file : files_)
            pending.push_back(file.get());
        return pending;
    }
    // " and 'energy.png'" for each, to name them in a failure.
    const std::string& Names() const { return names_; }

private:
    std::vector<std::unique_ptr<PendingPicture>> files_;
    std::string names_;
};

// The seams drawn on the picture as it was before the first one.
WriteProblem WriteSeamsPicture(const std::string& file, const wxImage& start,
                               const SeamTrace& trace, ExtraPictures& extras)
{
    wxFastImage startPicture(start.GetWidth(), start.GetHeight(), false);
    std::memcpy(startPicture.GetData(), start.GetData(),
                static_cast<size_t>(start.GetWidth()) * start.GetHeight() * 3);
    return extras.Write(file, trace.Draw(startPicture).AsImage());
}

// Phase 5: the result, the energy picture and the seams picture committed together.
JobOutcome WriteResult(DP& dp, const CliOptions& options, const ResizeRequest& request,
                       const std::vector<PendingPicture*>& extras, const std::string& extraNames)
{
    std::vector<PendingPicture*> pending = extras;
    const SaveSettings settings{dp.Metadata(), options.quality};
    std::string warning;
    WriteProblem problem;
    if (request.output == "-") {
        EncodedPicture encoded;
        wxImage picture = dp.GetColourImage().AsImage();
        if ((problem =
                 EncodePicture(picture, wxString::FromUTF8(request.format), settings, encoded)))
            return WriteFailure(request.output, problem);
        warning = encoded.warning;
        problem = PendingPicture::CommitAll(pending, [&] {
            return WriteStandardOutput(encoded.bytes)
                       ? WriteProblem{}
                       : WriteProblem{WriteProblem::kSystem, errno, {}};
        });
    } else {
        PendingPicture output(wxString::FromUTF8(request.output));
        if ((problem = output.Write(dp.GetColourImage().AsImage(), settings)))
            return WriteFailure(request.output, problem);
        warning = output.Warning();
        pending.push_back(&output);
        problem = PendingPicture::CommitAll(pending);
    }
    if (problem)
        return Failure("cannot write " + OutputName(request.output) + extraNames + ": " +
                       Describe(problem));
    if (warning.empty())
        return {};
    return {kExitSuccess, {}, {OutputName(request.output) + ": " + warning}};
}

}  // namespace

std::string FormatRefusal(const ResizeRequest& request)
{
    const WriteProblem problem = CheckWritableFormat(wxString::FromUTF8(OutputExtension(request)));
    if (!problem)
        return {};
    return "cannot write " + OutputName(request.output) +
           (request.format.empty() ? "" : " as " + request.format) + ": " + Describe(problem);
}

JobOutcome RunResizeJob(const CliOptions& options, const ResizeRequest& request,
                        const SeamProgress& progress)
{
    if (JobOutcome refused = CheckRequest(options, request); refused.status != kExitSuccess)
        return refused;

    CapturingLog log;
    std::unique_ptr<DP> dp;
    if (JobOutcome opened = OpenInput(request.input, log, dp); opened.status != kExitSuccess)
        return opened;
    const Targets targets = ResolveTargets(options, dp->cols, dp->rows);
    if (JobOutcome check = CheckTargets(targets); check.status != kExitSuccess)
        return check;
    if (options.forwardEnergy)
        dp->SetEnergyMode(seam::EnergyMode::Forward);
    std::unique_ptr<SeamTrace> trace;
    wxImage start;
    if (!options.seamsFile.empty()) {
        trace = std::make_unique<SeamTrace>(*dp);
        start = dp->GetColourImage().AsImage().Copy();
    }
    std::unique_ptr<ObjectRemoval> removal;
    if (JobOutcome masked = ApplyMask(*dp, options, log, removal); masked.status != kExitSuccess)
        return masked;

    ExtraPictures extras;
    if (!options.energyFile.empty()) {
        if (const WriteProblem problem =
                extras.Write(options.energyFile, dp->EnergyMapPicture().AsImage()))
            return WriteFailure(options.energyFile, problem);
    }
    Carve(*dp, removal.get(), targets, progress, trace.get());
    dp->EndCarving();  // the writing needs only the picture
    if (trace) {
        if (const WriteProblem problem =
                WriteSeamsPicture(options.seamsFile, start, *trace, extras))
            return WriteFailure(options.seamsFile, problem);
    }
    return WriteResult(*dp, options, request, extras.Pending(), extras.Names());
}
