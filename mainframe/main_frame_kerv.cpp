// SPDX-License-Identifier: GPL-3.0-or-later
// CMainFrame: the Kerv run, which carves the picture to the absolute targets in one run with the
// protect/delete mask, and calculation mode, which locks the window while it runs.
#include "main_frame.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/filehistory.h>
#include <wx/gauge.h>
#include <wx/intl.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/slider.h>
#include <wx/spinctrl.h>
#include <wx/textctrl.h>
#include <wx/toolbar.h>

#include <memory>

#include <wx/choice.h>
#include <wx/image.h>

#include "animation_pacer.h"
#include "main_frame_ids.h"
#include "object_removal.h"
#include "paint_panel.h"
#include "progress_status_bar.h"
#include "target_size.h"

namespace {

// Leaves calculation mode however the run is left, an exception included, so that the window
// never stays locked.
class CalculationMode {
public:
    explicit CalculationMode(CMainFrame& frame) : pFrame(&frame)
    {
        pFrame->EnableDuringCalc(false);
    }
    ~CalculationMode() { pFrame->EnableDuringCalc(true); }
    CalculationMode(const CalculationMode&) = delete;
    CalculationMode& operator=(const CalculationMode&) = delete;

private:
    CMainFrame* pFrame;
};

}  // namespace

wxString CMainFrame::KervTargetProblem(int width, int height)
{
    switch (PictureSession::CheckTarget(width, height)) {
        case PictureSession::TargetCheck::WidthBelowOne:
            return wxString::Format(_("The target width %d is below 1 pixel."), width);
        case PictureSession::TargetCheck::HeightBelowOne:
            return wxString::Format(_("The target height %d is below 1 pixel."), height);
        case PictureSession::TargetCheck::TooLarge:
            return wxString::Format(
                _("The target size %d x %d exceeds the limit of %d pixels a side and %lld pixels in all."),
                width, height, target::kMaxSide, target::kMaxPixels);
        case PictureSession::TargetCheck::Carvable:
            break;
    }
    return wxString();
}

void CMainFrame::EnableDuringCalc(bool enable)
{
    bCalculating = !enable;

    for (wxWindow* control : std::initializer_list<wxWindow*>{
             btnKerv, btnResetSize, sliderWidth, sliderHeight, btnStoreMask, btnRecallMask,
             btnClearMask, btnSaveMask, btnLoadMask, checkEnableMask, checkAspect, checkAnimated,
             spinWidth, spinHeight, btnRemoveObject, choiceEnergy})
        control->Enable(enable);
    // Back from a run, the group and the immediate controls follow "&Enable" again.
    if (enable)
        DoEnableProtectDelete();

    for (int id : {ID_MENU_CHECK_UPDATE, ID_MENU_OPEN, ID_MENU_SAVE, ID_COPY})
        menuBar->Enable(id, enable);
    UpdateUndoMenu();
    // A recent file chosen during the run would replace the engine under the running loop.
    if (pFileHistory) {
        for (size_t i = 0; i < pFileHistory->GetCount(); ++i)
            menuBar->Enable(ID_MRU_FIRST + static_cast<int>(i), enable);
    }

    // The tools, the zoom box and the two buttons go with the tool bar. The tools are switched
    // one by one as well, so that their state (and the menu accelerators sharing their ids)
    // does not depend on how the platform greys out a disabled tool bar.
    for (int id : {ID_TOOL_OPEN, ID_TOOL_SAVE, ID_COPY})
        toolBar->EnableTool(id, enable);
    toolBar->Enable(enable);

    // Dropped files are refused while bCalculating is set (Drop tests IsCarving).
}

void CMainFrame::OnKerv(wxCommandEvent& WXUNUSED(event))
{
    // One run at a time: not inside an immediate run's yield, and never without a picture.
    if (!session.IsOpen() || IsCarving())
        return;

    const int targetWidth = ReadTargetField(textAbsWidth);
    const int targetHeight = ReadTargetField(textAbsHeight);
    const wxString problem = KervTargetProblem(targetWidth, targetHeight);
    if (!problem.empty()) {
        wxMessageBox(problem, _("Error"), wxOK | wxICON_ERROR, this);
        return;
    }

    // The painted mask is applied or nothing is carved: never a run without it.
    const bool withMask = checkEnableMask->GetValue();
    const bool maskFits = paintPanel->maskBitmap != nullptr && HasPictureSize(*paintPanel->maskBitmap);
    ApplyEnergyMode();
    if (!withMask || maskFits)
        RememberStep();
    if (withMask && (!maskFits || !session.ApplyMask(paintPanel->maskBitmap->ConvertToImage()))) {
        if (maskFits)
            session.ForgetLastStep();
        RefuseCarvingRun(_("The painted mask does not have the picture's size, so it cannot be "
                           "applied. Nothing was carved."));
        return;
    }

    session.BeginRun(PictureSession::RunKind::Kerv);
    {
        CalculationMode calculating(*this);

        const CarvePlan plan = session.PlanTo(targetWidth, targetHeight);
        // The picture alone during the run; the fresh mask of the new size shows at the end.
        paintPanel->maskShown = false;

        const int steps = plan.Steps();
        pStatusBar->SetRange(steps);
        AnimationPacer animation;
        for (int step = 0; step < steps && !bCancelCalc; ++step) {
            session.CarveStep(plan, step);
            pStatusBar->Step();
            ShowAnimatedStep(animation);
        }
        FinishCarvingRun();
    }
    session.EndRun(PictureSession::RunKind::Kerv);
    UpdateUndoMenu();

    // A close that could not be refused came during the run; the run has unwound, so the
    // engine and the window can go now.
    if (bCloseAfterCalc)
        Close(true);
}

void CMainFrame::RefuseCarvingRun(const wxString& why)
{
    UpdateUndoMenu();
    wxMessageBox(why, _("Error"), wxOK | wxICON_ERROR, this);
}

void CMainFrame::ShowAnimatedStep(AnimationPacer& animation)
{
    if (!checkAnimated->GetValue())
        return;
    animation.Drawn(paintPanel->DrawingTime());
    const auto start = AnimationPacer::Clock::now();
    if (!animation.IsDue(start))
        return;
    paintPanel->Refresh(false);
    paintPanel->Update();
    animation.Painted(start, AnimationPacer::Clock::now(), paintPanel->DrawingTime());
}

void CMainFrame::FinishCarvingRun()
{
    pStatusBar->Finish();
    // After an abort the session's sizes are the ones actually reached.
    paintPanel->Init(session.CurrentWidth(), session.CurrentHeight());
    paintPanel->Refresh();
    UpdateStat();
    session.SetModified(true);
}

void CMainFrame::ApplyEnergyMode()
{
    session.SetEnergyMode(choiceEnergy->GetSelection() == 1 ? seam::EnergyMode::Forward
                                                            : seam::EnergyMode::Sobel);
}

void CMainFrame::OnEnergyMode(wxCommandEvent& WXUNUSED(event))
{
    // A run keeps the mode it started with.
    if (IsCarving())
        return;
    ApplyEnergyMode();
    if (ShowsView())
        RedrawPicture();
}

void CMainFrame::OnRemoveObject(wxCommandEvent& WXUNUSED(event))
{
    if (!session.IsOpen() || IsCarving())
        return;
    // Without painting the canvas holds no mask of its own to read the object from.
    const bool maskFits = checkEnableMask->GetValue() && paintPanel->maskBitmap != nullptr &&
                          HasPictureSize(*paintPanel->maskBitmap);
    const wxImage mask = maskFits ? paintPanel->maskBitmap->ConvertToImage() : wxImage();
    ApplyEnergyMode();
    RememberStep();
    std::unique_ptr<ObjectRemoval> removal = session.StartObjectRemoval(mask);
    if (!removal) {
        session.ForgetLastStep();
        RefuseCarvingRun(_("Paint the object to remove with \"Delete Area\" first. Nothing was "
                           "carved."));
        return;
    }

    session.BeginRun(PictureSession::RunKind::Kerv);
    {
        CalculationMode calculating(*this);
        paintPanel->maskShown = false;
        pStatusBar->SetRange(removal->Expected());
        AnimationPacer animation;
        while (!bCancelCalc && session.ObjectRemovalStep(*removal)) {
            pStatusBar->Step();
            ShowAnimatedStep(animation);
        }
        FinishCarvingRun();
    }
    session.EndRun(PictureSession::RunKind::Kerv);
    UpdateUndoMenu();
    if (bCloseAfterCalc)
        Close(true);
}
