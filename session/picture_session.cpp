// SPDX-License-Identifier: GPL-3.0-or-later
#include "picture_session.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

#include <wx/file.h>
#include <wx/filename.h>
#include <wx/log.h>

#include "dp.h"
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
    nOrigWidth = pDP->cols;
    nOrigHeight = pDP->rows;
    bImageModified = false;
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

bool PictureSession::Reset()
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
    pDP = std::move(fresh);
    return true;
}

void PictureSession::Close()
{
    if (bRunning)
        return;
    pDP.reset();
    imgEnergyCache = wxFastImage();
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
    if (pDP)
        plan.CarveStep(*pDP, step);
}

bool PictureSession::ApplyMask(const wxImage& mask)
{
    return pDP && pDP->ModifyEnergy(mask);
}
