// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo in PictureSession: after every kind of step, undo gives back the pixels, size,
// mask and modified flag, and carving then goes on exactly as in a session that never took the
// undone step; redo takes it again; the history keeps its limits, oldest steps first.
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include <gtest/gtest.h>
#include <wx/filename.h>
#include <wx/image.h>

#include "object_removal.h"
#include "picture_session.h"

namespace {

using Mode = seam::EnergyMode;

wxImage Pixels(PictureSession& s)
{
    return s.Picture()->AsImage().Copy();
}

bool Same(const wxImage& a, const wxImage& b)
{
    return a.IsOk() == b.IsOk() && (!a.IsOk() || (a.GetSize() == b.GetSize() &&
           std::memcmp(a.GetData(), b.GetData(), size_t(a.GetWidth()) * a.GetHeight() * 3) == 0));
}

// Green over a block in the middle, red over a strip at the left.
wxImage Mask(int width, int height)
{
    wxImage mask(width, height);
    for (int y = height / 3; y < height / 2; ++y)
        for (int x = width / 3; x < width / 3 + 6; ++x)
            mask.SetRGB(x, y, 0, 255, 0);
    for (int y = 0; y < height; ++y)
        mask.SetRGB(1, y, 255, 0, 0);
    return mask;
}

// A step as the window takes it; the session carves and changes the mask state it is given.
using StepBody = std::function<void(PictureSession&, PictureSession::MaskState&)>;

struct StepCase {
    const char* name;
    StepBody body;
};

void Immediate(PictureSession& s, SizeAxis axis, bool remove, int seams)
{
    ASSERT_TRUE(s.BeginRun(axis == SizeAxis::Width ? PictureSession::RunKind::Width
                                                   : PictureSession::RunKind::Height));
    for (int i = 0; i < seams; ++i)
        s.CarveSeam(axis, remove);
    s.EndRun(axis == SizeAxis::Width ? PictureSession::RunKind::Width
                                     : PictureSession::RunKind::Height);
    s.SetModified(true);
}

const StepCase kSteps[] = {
    {"narrower", [](PictureSession& s, auto&) { Immediate(s, SizeAxis::Width, true, 9); }},
    {"higher", [](PictureSession& s, auto&) { Immediate(s, SizeAxis::Height, false, 7); }},
    {"kerv_with_mask",
     [](PictureSession& s, PictureSession::MaskState& mask) {
         ASSERT_TRUE(s.ApplyMask(mask.mask));
         const CarvePlan plan = s.PlanTo(s.CurrentWidth() - 6, s.CurrentHeight() + 4);
         for (int i = 0; i < plan.Steps(); ++i)
             s.CarveStep(plan, i);
         s.SetModified(true);
         mask.mask = wxImage(s.CurrentWidth(), s.CurrentHeight());
     }},
    {"reset", [](PictureSession&, auto&) {}},  // taken by Reset itself, see below
    {"remove_object",
     [](PictureSession& s, PictureSession::MaskState& mask) {
         std::unique_ptr<ObjectRemoval> removal = s.StartObjectRemoval(mask.mask);
         ASSERT_NE(removal, nullptr);
         while (s.ObjectRemovalStep(*removal)) {
         }
         s.SetModified(true);
     }},
    {"mask_stroke",
     [](PictureSession&, PictureSession::MaskState& mask) {
         mask.mask.SetRGB(wxRect(2, 2, 5, 5), 255, 0, 0);
         mask.workedOn = true;
     }},
};

class HistoryTest : public ::testing::TestWithParam<std::tuple<int, Mode>> {
protected:
    void SetUp() override
    {
        std::string pattern = wxFileName::GetTempDir().ToStdString() + "/kerv-history-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        wxImage image(48, 36);
        std::mt19937 random(7);
        for (int i = 0; i < 48 * 36 * 3; ++i)
            image.GetData()[i] = static_cast<unsigned char>(random() % 90 + (i / 3 % 48 > 30) * 150);
        path = dir + "/picture.png";
        ASSERT_TRUE(image.SaveFile(path));
    }
    void TearDown() override { wxFileName::Rmdir(dir, wxPATH_RMDIR_RECURSIVE); }

    // Open, then one step before the one under test, so that undo has a carved state to restore.
    void Prepare(PictureSession& s, PictureSession::MaskState& mask, Mode mode)
    {
        ASSERT_EQ(s.Open(path), PictureSession::OpenResult::Opened);
        s.SetEnergyMode(mode);
        Immediate(s, SizeAxis::Height, true, 3);
        ASSERT_TRUE(s.ApplyMask(Mask(s.CurrentWidth(), s.CurrentHeight())));
        Immediate(s, SizeAxis::Width, false, 2);
        mask.mask = Mask(s.CurrentWidth(), s.CurrentHeight());
        mask.workedOn = false;
    }

    void Take(const StepCase& step, PictureSession& s, PictureSession::MaskState& mask)
    {
        if (std::string(step.name) == "reset") {
            ASSERT_TRUE(s.Reset(&mask));
            mask.mask = wxImage(s.CurrentWidth(), s.CurrentHeight());
            return;
        }
        s.RememberStep(mask);
        step.body(s, mask);
    }

    // More carving in both directions, the way a further run goes on.
    static wxImage GoOn(PictureSession& s)
    {
        Immediate(s, SizeAxis::Width, true, 5);
        Immediate(s, SizeAxis::Height, false, 4);
        Immediate(s, SizeAxis::Width, false, 3);
        return Pixels(s);
    }

    wxString dir;
    wxString path;
};

TEST_P(HistoryTest, UndoRestoresAndCarvingGoesOnAsWithoutTheStep)
{
    const StepCase& step = kSteps[std::get<0>(GetParam())];
    const Mode mode = std::get<1>(GetParam());

    // The reference session never takes the step (for undo), or takes it and never undoes it
    // (for redo).
    PictureSession without, with, tested;
    PictureSession::MaskState maskWithout, maskWith, mask;
    Prepare(without, maskWithout, mode);
    Prepare(with, maskWith, mode);
    Prepare(tested, mask, mode);
    Take(step, with, maskWith);

    const wxImage before = Pixels(tested);
    const PictureSession::MaskState maskBefore = mask;
    const bool modifiedBefore = tested.IsModified();
    Take(step, tested, mask);
    const wxImage after = Pixels(tested);
    const PictureSession::MaskState maskAfter = mask;
    const bool modifiedAfter = tested.IsModified();
    ASSERT_TRUE(tested.CanUndo());
    EXPECT_FALSE(tested.CanRedo());

    ASSERT_TRUE(tested.Undo(mask));
    EXPECT_TRUE(Same(Pixels(tested), before));
    EXPECT_EQ(tested.CurrentWidth(), before.GetWidth());
    EXPECT_TRUE(Same(mask.mask, maskBefore.mask));
    EXPECT_EQ(mask.workedOn, maskBefore.workedOn);
    EXPECT_EQ(tested.IsModified(), modifiedBefore);
    EXPECT_TRUE(tested.CanRedo());

    ASSERT_TRUE(tested.Redo(mask));
    EXPECT_TRUE(Same(Pixels(tested), after));
    EXPECT_TRUE(Same(mask.mask, maskAfter.mask));
    EXPECT_EQ(tested.IsModified(), modifiedAfter);
    EXPECT_TRUE(Same(GoOn(tested), GoOn(with)));

    // Undone again, the picture goes on as one that never had the step.
    PictureSession::MaskState ignored;
    ASSERT_TRUE(tested.Undo(ignored));  // the carving of GoOn is no step: this undoes the step
    EXPECT_TRUE(Same(GoOn(tested), GoOn(without)));
}

INSTANTIATE_TEST_SUITE_P(EveryStep, HistoryTest,
                         ::testing::Combine(::testing::Range(0, int(std::size(kSteps))),
                                            ::testing::Values(Mode::Sobel, Mode::Forward)),
                         [](const auto& info) {
                             return std::string(kSteps[std::get<0>(info.param)].name) +
                                    (std::get<1>(info.param) == Mode::Sobel ? "_sobel"
                                                                            : "_forward");
                         });

TEST_F(HistoryTest, LimitsDropTheOldestStepsAndANewStepForgetsRedo)
{
    PictureSession s;
    PictureSession::MaskState mask;
    Prepare(s, mask, Mode::Sobel);
    std::vector<int> widths;
    for (int i = 0; i < 60; ++i) {
        widths.push_back(s.CurrentWidth());
        s.RememberStep(mask);
        Immediate(s, SizeAxis::Width, i % 2 == 0, 1 + i % 3);
    }
    EXPECT_EQ(s.UndoSteps(), PictureSession::kHistorySteps);
    for (size_t i = 0; i < PictureSession::kHistorySteps; ++i)
        ASSERT_TRUE(s.Undo(mask));
    EXPECT_FALSE(s.Undo(mask));
    EXPECT_EQ(s.CurrentWidth(), widths[60 - PictureSession::kHistorySteps]);

    // Each picture counts once, however many steps share it: one picture, many masks.
    ASSERT_TRUE(s.Redo(mask));
    s.RememberStep(mask);
    EXPECT_EQ(s.RedoSteps(), 0u);
    const size_t pictureBytes = size_t(s.CurrentWidth()) * s.CurrentHeight() * (3 + sizeof(int));
    const size_t maskBytes = size_t(mask.mask.GetWidth()) * mask.mask.GetHeight() * 3;
    const size_t bytes = s.HistoryBytes();
    s.RememberStep(mask);
    EXPECT_EQ(s.HistoryBytes(), bytes + maskBytes);
    // A byte limit below two steps keeps one; below one, none.
    s.SetHistoryLimits(100, pictureBytes + maskBytes + maskBytes / 2);
    EXPECT_EQ(s.UndoSteps(), 1u);
    s.SetHistoryLimits(100, maskBytes);
    EXPECT_EQ(s.UndoSteps(), 0u);
    EXPECT_FALSE(s.CanUndo());
}

}  // namespace
