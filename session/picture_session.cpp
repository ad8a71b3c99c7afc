// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture_session.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <unordered_set>

#include <wx/file.h>
#include <wx/filename.h>
#include <wx/log.h>

#include "dp.h"
#include "object_removal.h"
#include "picture_reader.h"
#include "target_size.h"

PictureSession::PictureSession() = default;

PictureSession::~PictureSession() = default;

PictureSession::OpenResult PictureSession::Open(const wxString& path)
{
    if (bRunning)
        return OpenResult::Busy;
    strRefusal.clear();
    if (!wxFileName::FileExists(path))
        return OpenResult::Missing;
    if (!wxFile::Access(path, wxFile::read))
        return OpenResult::Unreadable;
    // A picture refused from its header (over the size limits, say) is never decoded.
    const wxString refusal = PictureHeaderRefusal(path);
    if (!refusal.empty()) {
        strRefusal = refusal;
        return OpenResult::Refused;
    }
    std::unique_ptr<DP> engine;
    {
        // The caller reports a failure in its own words; the readers' log would say it again.
        wxLogNull quiet;
        engine = std::make_unique<DP>(path);
    }
    if (engine->cols == -1 || !engine->GetColourImage().IsOk())
        return OpenResult::NotAPicture;
    if (engine->GetColourImage().GetAlpha() || engine->GetColourImage().HasMask())
        return OpenResult::HasAlpha;
    pDP = std::move(engine);
    strFileName = path;
    imgEnergyCache = pDP->GetEnergyImage();
    imgOpened = pDP->GetColourImage();
    nOrigWidth = pDP->cols;
    nOrigHeight = pDP->rows;
    bImageModified = false;
    ForgetSteps();
    EngineChanged();
    return OpenResult::Opened;
}

bool PictureSession::ReadSizeText(const wxString& text, int& size)
{
    wxString digits = text;
    digits.Trim(true).Trim(false);
    long value = 0;
    if (digits.empty() || !digits.ToLong(&value, 10) || value < INT_MIN || value > INT_MAX)
        return false;
    size = static_cast<int>(value);
    return true;
}

bool PictureSession::Reset(const MaskState* before)
{
    if (bRunning || !pDP)
        return false;
    // The new engine is built before the old one goes, so that a file that changed meanwhile
    // leaves the current picture as it is.
    std::unique_ptr<DP> fresh;
    {
        wxLogNull quiet;
        fresh = std::make_unique<DP>(strFileName, &imgEnergyCache);
    }
    if (fresh->cols != nOrigWidth || fresh->rows != nOrigHeight ||
        fresh->GetColourImage().GetAlpha())
        return false;
    if (before)
        RememberStep(*before);
    pDP = std::move(fresh);
    EngineChanged();
    imgOpened = pDP->GetColourImage();
    return true;
}

void PictureSession::Close()
{
    if (bRunning)
        return;
    pDP.reset();
    ForgetSteps();
    EngineChanged();
    imgEnergyCache = wxFastImage();
    imgOpened = wxFastImage();
    nOrigWidth = nOrigHeight = -1;
    bImageModified = false;
}

const wxFastImage* PictureSession::Picture()
{
    return pDP ? &pDP->GetColourImage() : nullptr;
}

int PictureSession::CurrentWidth() const
{
    return pDP ? pDP->cols : -1;
}

int PictureSession::CurrentHeight() const
{
    return pDP ? pDP->rows : -1;
}

int PictureSession::Current(SizeAxis axis) const
{
    return axis == SizeAxis::Width ? CurrentWidth() : CurrentHeight();
}

int PictureSession::Original(SizeAxis axis) const
{
    return axis == SizeAxis::Width ? nOrigWidth : nOrigHeight;
}

bool PictureSession::CanReset() const
{
    return CurrentWidth() != nOrigWidth || CurrentHeight() != nOrigHeight || bImageModified;
}

bool PictureSession::BeginRun(RunKind kind)
{
    if (bRunning || !pDP)
        return false;
    bRunning = true;
    runKind = kind;
    return true;
}

void PictureSession::EndRun(RunKind kind)
{
    if (IsRunning(kind))
        bRunning = false;
}

int PictureSession::PercentOf(SizeAxis axis, int size) const
{
    const int original = Original(axis);
    if (original < 1)
        return 0;
    const long long percent = static_cast<long long>(size) * 100 / original;
    return static_cast<int>(std::clamp<long long>(percent, INT_MIN, INT_MAX));
}

int PictureSession::SizeForPercent(SizeAxis axis, int percent) const
{
    const int original = Original(axis);
    return original < 1 ? 0 : target::PercentOf(original, percent);
}

int PictureSession::OtherSideForAspect(SizeAxis axis, int size) const
{
    if (nOrigWidth < 1 || nOrigHeight < 1)
        return 0;
    return axis == SizeAxis::Width ? target::HeightForWidth(size, nOrigWidth, nOrigHeight)
                                   : target::WidthForHeight(size, nOrigWidth, nOrigHeight);
}

PictureSession::TargetCheck PictureSession::CheckTarget(int width, int height)
{
    if (width < 1)
        return TargetCheck::WidthBelowOne;
    if (height < 1)
        return TargetCheck::HeightBelowOne;
    return target::IsCarvableSize(width, height) ? TargetCheck::Carvable : TargetCheck::TooLarge;
}

bool PictureSession::IsLongChange(SizeAxis axis, int difference) const
{
    const int original = Original(axis);
    return std::abs(static_cast<long long>(difference)) >= 0.5 * original && original > 200;
}

void PictureSession::CarveSeam(SizeAxis axis, bool remove)
{
    if (!pDP || (remove && Current(axis) <= 1))
        return;
    EngineChanged();
    if (axis == SizeAxis::Width)
        pDP->GetSeam_Vert(remove);
    else
        pDP->GetSeam_Horz(remove);
}

CarvePlan PictureSession::PlanTo(int width, int height) const
{
    return pDP ? CarvePlan::To(*pDP, width, height) : CarvePlan{0, 0};
}

void PictureSession::CarveStep(const CarvePlan& plan, int step)
{
    if (!pDP)
        return;
    EngineChanged();
    plan.CarveStep(*pDP, step);
}

bool PictureSession::ApplyMask(const wxImage& mask)
{
    if (!pDP)
        return false;
    EngineChanged();
    return pDP->ModifyEnergy(mask);
}

void PictureSession::SetEnergyMode(seam::EnergyMode mode)
{
    if (!pDP || pDP->GetEnergyMode() == mode)
        return;
    EngineChanged();
    pDP->SetEnergyMode(mode);
}

std::unique_ptr<ObjectRemoval> PictureSession::StartObjectRemoval(const wxImage& mask)
{
    if (!pDP || !mask.IsOk() || mask.GetWidth() != pDP->cols || mask.GetHeight() != pDP->rows)
        return nullptr;
    // Nothing marked: the engine is not touched.
    const unsigned char* rgb = mask.GetData();
    const size_t pixels = static_cast<size_t>(mask.GetWidth()) * mask.GetHeight();
    size_t i = 0;
    while (i < pixels && rgb[i * 3 + 1] <= rgb[i * 3])
        ++i;
    if (i == pixels)
        return nullptr;
    EngineChanged();
    return std::make_unique<ObjectRemoval>(*pDP, mask);
}

bool PictureSession::ObjectRemovalStep(ObjectRemoval& removal)
{
    if (!pDP)
        return false;
    EngineChanged();
    return removal.Step();
}

std::shared_ptr<const DP::Snapshot> PictureSession::CurrentSnapshot()
{
    if (!snapshotCurrent || !snapshot) {
        snapshot = std::make_shared<const DP::Snapshot>(pDP->TakeSnapshot());
        snapshotCurrent = true;
    }
    return snapshot;
}

void PictureSession::RememberStep(const MaskState& mask)
{
    if (!pDP)
        return;
    redoSteps.clear();
    undoSteps.push_back(Step{CurrentSnapshot(), mask, bImageModified});
    TrimHistory();
}

void PictureSession::ForgetLastStep()
{
    if (!undoSteps.empty())
        undoSteps.pop_back();
}

bool PictureSession::Undo(MaskState& mask)
{
    return Restore(undoSteps, redoSteps, mask);
}

bool PictureSession::Redo(MaskState& mask)
{
    return Restore(redoSteps, undoSteps, mask);
}

bool PictureSession::Restore(std::deque<Step>& from, std::deque<Step>& to, MaskState& mask)
{
    if (bRunning || !pDP || from.empty())
        return false;
    Step step = std::move(from.back());
    std::unique_ptr<DP> engine = DP::FromSnapshot(*step.picture);
    if (!engine)
        return false;
    from.pop_back();
    to.push_back(Step{CurrentSnapshot(), mask, bImageModified});
    pDP = std::move(engine);
    EngineChanged();
    snapshot = step.picture;
    snapshotCurrent = true;
    bImageModified = step.modified;
    mask = std::move(step.mask);
    TrimHistory();
    return true;
}

void PictureSession::ForgetSteps()
{
    undoSteps.clear();
    redoSteps.clear();
    snapshot.reset();
    snapshotCurrent = false;
}

size_t PictureSession::HistoryBytes() const
{
    std::unordered_set<const DP::Snapshot*> counted;
    size_t bytes = 0;
    for (const std::deque<Step>* steps : {&undoSteps, &redoSteps}) {
        for (const Step& step : *steps) {
            if (counted.insert(step.picture.get()).second)
                bytes += step.picture->Bytes();
            if (step.mask.mask.IsOk())
                bytes +=
                    static_cast<size_t>(step.mask.mask.GetWidth()) * step.mask.mask.GetHeight() * 3;
        }
    }
    return bytes;
}

void PictureSession::TrimHistory()
{
    while (!undoSteps.empty() &&
           (undoSteps.size() + redoSteps.size() > nHistorySteps || HistoryBytes() > nHistoryBytes))
        undoSteps.pop_front();
    // The steps to redo go from the farthest one once nothing is left to undo.
    while (!redoSteps.empty() &&
           (redoSteps.size() > nHistorySteps || HistoryBytes() > nHistoryBytes))
        redoSteps.pop_front();
}

void PictureSession::SetHistoryLimits(size_t steps, size_t bytes)
{
    nHistorySteps = steps;
    nHistoryBytes = bytes;
    TrimHistory();
}
