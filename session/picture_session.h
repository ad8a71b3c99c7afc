// SPDX-License-Identifier: GPL-3.0-or-later
// PictureSession: the picture being resized, apart from any window. It owns the engine of the
// opened picture and answers what the window shows and may do: the opened and the current size
// (the current one always the engine's own), the file name, whether there are unsaved changes,
// whether a carving run is in progress, the arithmetic of the target fields and the order of a
// run's seams. It shows nothing and asks nothing; the window reports and asks.
//
// Invariants: an engine exists exactly while a picture is open; then the opened size is the
// engine's size right after opening, and both sizes are at least 1. Without a picture every
// size is -1. At most one run is in progress at a time.
#ifndef KERV_SESSION_PICTURE_SESSION_H
#define KERV_SESSION_PICTURE_SESSION_H

#include <cstddef>
#include <deque>
#include <memory>

#include <wx/image.h>
#include <wx/string.h>

#include "carve_run.h"
#include "dp.h"
#include "fast_image.h"

class ObjectRemoval;

// The two dimensions: the width changes by vertical seams, the height by horizontal ones.
enum class SizeAxis { Width, Height };

class PictureSession {
public:
    // Refused: the file's header alone shows it cannot be opened (Refusal says why); it is not
    // decoded. Missing: no file of that name; Unreadable: the file cannot be read; NotAPicture:
    // no reader decodes it.
    enum class OpenResult { Opened, Refused, Missing, Unreadable, NotAPicture, HasAlpha, Busy };
    enum class TargetCheck { Carvable, WidthBelowOne, HeightBelowOne, TooLarge };
    // The immediate runs of each direction and the Kerv run.
    enum class RunKind { Width, Height, Kerv };

    PictureSession();
    ~PictureSession();
    PictureSession(const PictureSession&) = delete;
    PictureSession& operator=(const PictureSession&) = delete;

    // Reads path into an engine of its own and only then replaces the current picture with it.
    // Opened: path is the file name and the picture is open, unmodified, at its opened size.
    // Any other result leaves everything as it was: picture, engine, file name, sizes and the
    // modified flag.
    OpenResult Open(const wxString& path);
    // Whether text is a size as typed into a size field: digits, optionally signed and
    // surrounded by blanks, within the int range. size is set only when it is.
    static bool ReadSizeText(const wxString& text, int& size);
    // What the window keeps of a step besides the picture: the mask painted on it (not OK
    // without one) and whether the user has worked on that mask.
    struct MaskState {
        wxImage mask;
        bool workedOn = false;
    };

    // Reads the file again, reusing the energy computed at opening, and starts over from it.
    // False, with the picture left as it is, when the file no longer holds a picture of the
    // opened size (or a run is in progress, or none is open). The modified flag stays. With
    // before, a reset that happens is remembered as one step, before being the mask until then.
    bool Reset(const MaskState* before = nullptr);
    // No picture afterwards. Not while a run is in progress.
    void Close();

    bool IsOpen() const { return pDP != nullptr; }
    // The engine of the open picture, or null.
    DP* Engine() { return pDP.get(); }
    // The picture at its current size, or null without one.
    const wxFastImage* Picture();
    // The picture as opened (or as read again by the last Reset), before any carving; null
    // without one. It shares the pixels the engine was given and lets go of, never changed.
    const wxFastImage* OpenedPicture() const { return pDP ? &imgOpened : nullptr; }
    const wxString& FileName() const { return strFileName; }
    // Why the last Open was Refused (translated); empty otherwise.
    const wxString& Refusal() const { return strRefusal; }

    int CurrentWidth() const;
    int CurrentHeight() const;
    int OriginalWidth() const { return nOrigWidth; }
    int OriginalHeight() const { return nOrigHeight; }
    int Current(SizeAxis axis) const;
    int Original(SizeAxis axis) const;
    // The current size differs from the opened one, or the picture is modified.
    bool CanReset() const;

    bool IsModified() const { return bImageModified; }
    void SetModified(bool modified) { bImageModified = modified; }

    // One run at a time: BeginRun is refused (false) while any run is in progress or no picture
    // is open; EndRun ends the run of that kind.
    bool BeginRun(RunKind kind);
    void EndRun(RunKind kind);
    bool IsCarving() const { return bRunning; }
    bool IsRunning(RunKind kind) const { return bRunning && runKind == kind; }

    // Target arithmetic, always against the opened size and truncated toward zero; results
    // beyond the int range saturate. Without a picture every result is 0.
    // size * 100 / opened size.
    int PercentOf(SizeAxis axis, int size) const;
    // opened size * percent / 100.
    int SizeForPercent(SizeAxis axis, int percent) const;
    // The size of the other dimension that keeps the opened aspect ratio for size in axis.
    int OtherSideForAspect(SizeAxis axis, int size) const;
    // Whether a picture can be carved to width x height (1 to the engine's limits).
    static TargetCheck CheckTarget(int width, int height);

    // An immediate change by difference pixels is long enough to be confirmed first: at least
    // half the opened size, on a side of more than 200 pixels.
    bool IsLongChange(SizeAxis axis, int difference) const;
    // One seam in axis: removed (one pixel less) or duplicated (one more). Nothing without a
    // picture, and no removal from a side of one pixel.
    void CarveSeam(SizeAxis axis, bool remove);
    // The run from the current size to width x height, and one of its steps.
    CarvePlan PlanTo(int width, int height) const;
    void CarveStep(const CarvePlan& plan, int step);
    // Adds the mask's red minus green to the energy; false (nothing changed) for a mask of
    // another size than the picture's.
    bool ApplyMask(const wxImage& mask);

    // How the engine chooses its seams from now on (DP::SetEnergyMode).
    void SetEnergyMode(seam::EnergyMode mode);
    // Object removal (engine/object_removal.h) with the mask's green as the object: the run,
    // which has added the mask to the energy as a Kerv run does, or null (nothing changed) when
    // the mask marks nothing or does not fit the picture. Each step carves one seam of it.
    std::unique_ptr<ObjectRemoval> StartObjectRemoval(const wxImage& mask);
    bool ObjectRemovalStep(ObjectRemoval& removal);

    // Undo and redo. Every change of the picture or its mask that the user makes as one command
    // is one step: the window calls RememberStep right before the step changes anything, with
    // the mask as it is then; this forgets whatever could be redone. Undo puts back the
    // picture, its size, its working energy, the modified flag and the mask as they were before
    // the last step (mask: the current mask in, the restored one out); Redo takes the step
    // again. Both refused (false, nothing changed) while a run is in progress or when there is
    // nothing to undo or redo. Opening and closing forget every step.
    // At most kHistorySteps steps and kHistoryBytes bytes of them are kept (or the limits set
    // since); the oldest go first, so a single step larger than the byte limit is not kept.
    static constexpr size_t kHistorySteps = 50;
    static constexpr size_t kHistoryBytes = size_t(1) << 30;
    void SetHistoryLimits(size_t steps, size_t bytes);
    void RememberStep(const MaskState& mask);
    // Forgets the step remembered last, for a command that then changed nothing after all.
    void ForgetLastStep();
    bool CanUndo() const { return !bRunning && !undoSteps.empty(); }
    bool CanRedo() const { return !bRunning && !redoSteps.empty(); }
    bool Undo(MaskState& mask);
    bool Redo(MaskState& mask);
    size_t UndoSteps() const { return undoSteps.size(); }
    size_t RedoSteps() const { return redoSteps.size(); }
    // The memory the kept steps hold, each picture counted once however many steps share it.
    size_t HistoryBytes() const;
    // Changes whenever the engine may have changed (a carve, a mask, a mode, a reset, an open,
    // an undo or a redo), so that what was drawn from it can be kept until then.
    unsigned long Generation() const { return nGeneration; }

private:
    struct Step {
        std::shared_ptr<const DP::Snapshot> picture;
        MaskState mask;
        bool modified = false;
    };
    // The engine's state as a step keeps it; taken again only after the engine changed.
    std::shared_ptr<const DP::Snapshot> CurrentSnapshot();
    void EngineChanged()
    {
        snapshotCurrent = false;
        ++nGeneration;
    }
    // Makes step the current state; the state until then goes to the other stack.
    bool Restore(std::deque<Step>& from, std::deque<Step>& to, MaskState& mask);
    void ForgetSteps();
    void TrimHistory();

    std::unique_ptr<DP> pDP;
    wxString strFileName;
    wxString strRefusal;
    wxFastImage imgEnergyCache;  // the energy at opening, shared with the engine
    wxFastImage imgOpened;       // the picture as opened or reset
    int nOrigWidth = -1;
    int nOrigHeight = -1;
    bool bImageModified = false;
    bool bRunning = false;
    RunKind runKind = RunKind::Kerv;
    std::deque<Step> undoSteps;  // oldest first
    std::deque<Step> redoSteps;  // the step to redo next last
    size_t nHistorySteps = kHistorySteps;
    size_t nHistoryBytes = kHistoryBytes;
    std::shared_ptr<const DP::Snapshot> snapshot;
    bool snapshotCurrent = false;  // snapshot holds the engine as it is
    unsigned long nGeneration = 0;
};

#endif
