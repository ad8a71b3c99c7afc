// SPDX-License-Identifier: GPL-3.0-or-later
// Undo and redo in PictureSession: after every kind of step, undo gives back the pixels, mask
// and modified flag, and carving goes on exactly as in a session that never took the step;
// redo takes it again as in one that never undid it; the limits drop the oldest steps first.
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "object_removal.h"
#include "picture_session.h"
#include "test_files.h"

namespace {

using Mode = seam::EnergyMode;
using Mask = PictureSession::MaskState;

wxImage Pixels(PictureSession& s)
{
    return s.Picture()->AsImage().Copy();
}

bool Same(const wxImage& a, const wxImage& b)
{
    return a.IsOk() == b.IsOk() &&
           (!a.IsOk() ||
            (a.GetSize() == b.GetSize() &&
             !std::memcmp(a.GetData(), b.GetData(), size_t(a.GetWidth()) * a.GetHeight() * 3)));
}

void Immediate(PictureSession& s, SizeAxis axis, bool remove, int seams)
{
    for (int i = 0; i < seams; ++i)
        s.CarveSeam(axis, remove);
    s.SetModified(true);
}

// Green over a block in the middle, red down the second column.
wxImage MaskFor(PictureSession& s)
{
    const int w = s.CurrentWidth(), h = s.CurrentHeight();
    wxImage mask(w, h);
    mask.SetRGB(wxRect(w / 3, h / 3, 6, h / 6), 0, 255, 0);
    mask.SetRGB(wxRect(1, 0, 1, h), 255, 0, 0);
    return mask;
}

struct StepCase {
    const char* name;
    std::function<void(PictureSession&, Mask&)> body;  // takes the step, RememberStep done
};

const StepCase kSteps[] = {
    {"narrower", [](PictureSession& s, Mask&) { Immediate(s, SizeAxis::Width, true, 9); }},
    {"higher", [](PictureSession& s, Mask&) { Immediate(s, SizeAxis::Height, false, 7); }},
    {"kerv_with_mask",
     [](PictureSession& s, Mask& m) {
         ASSERT_TRUE(s.ApplyMask(m.mask));
         const CarvePlan plan = s.PlanTo(s.CurrentWidth() - 6, s.CurrentHeight() + 4);
         for (int i = 0; i < plan.Steps(); ++i)
             s.CarveStep(plan, i);
         s.SetModified(true);
         m.mask = wxImage(s.CurrentWidth(), s.CurrentHeight());
     }},
    {"reset", nullptr},  // remembered by Reset itself
    {"remove_object",
     [](PictureSession& s, Mask& m) {
         std::unique_ptr<ObjectRemoval> removal = s.StartObjectRemoval(m.mask);
         ASSERT_NE(removal, nullptr);
         while (s.ObjectRemovalStep(*removal)) {
         }
     }},
    {"mask_stroke",
     [](PictureSession&, Mask& m) {
         m.mask.SetRGB(wxRect(2, 2, 5, 5), 255, 0, 0);
         m.workedOn = true;
     }},
};

class HistoryTest : public ::testing::TestWithParam<std::tuple<int, Mode>> {
protected:
    void SetUp() override
    {
        wxImage image(48, 36);
        std::mt19937 random(7);
        for (int i = 0; i < 48 * 36 * 3; ++i)
            image.GetData()[i] =
                static_cast<unsigned char>(random() % 90 + (i / 3 % 48 > 30) * 150);
        ASSERT_TRUE(image.SaveFile(dir + "/picture.png"));
    }

    // Opened and carved with a mask applied, so that undo has a working energy to restore.
    void Prepare(PictureSession& s, Mask& mask, Mode mode)
    {
        ASSERT_EQ(s.Open(dir + "/picture.png"), PictureSession::OpenResult::Opened);
        s.SetEnergyMode(mode);
        Immediate(s, SizeAxis::Height, true, 3);
        ASSERT_TRUE(s.ApplyMask(MaskFor(s)));
        Immediate(s, SizeAxis::Width, false, 2);
        mask = {MaskFor(s), false};
    }
    static void Take(const StepCase& step, PictureSession& s, Mask& mask)
    {
        if (!step.body) {
            ASSERT_TRUE(s.Reset(&mask));
            mask.mask = wxImage(s.CurrentWidth(), s.CurrentHeight());
            return;
        }
        s.RememberStep(mask);
        step.body(s, mask);
    }
    static wxImage GoOn(PictureSession& s)
    {
        Immediate(s, SizeAxis::Width, true, 5);
        Immediate(s, SizeAxis::Height, false, 4);
        return Pixels(s);
    }

    TempDir folder;
    const wxString dir = folder.Path();
};

TEST_P(HistoryTest, UndoRestoresAndCarvingGoesOnAsWithoutTheStep)
{
    const StepCase& step = kSteps[std::get<0>(GetParam())];
    const Mode mode = std::get<1>(GetParam());
    PictureSession without, with, tested;
    Mask maskWithout, maskWith, mask;
    Prepare(without, maskWithout, mode);
    Prepare(with, maskWith, mode);
    Prepare(tested, mask, mode);
    Take(step, with, maskWith);

    const wxImage before = Pixels(tested);
    const Mask maskBefore = mask;
    const bool modifiedBefore = tested.IsModified();
    Take(step, tested, mask);
    const wxImage after = Pixels(tested);
    const Mask maskAfter = mask;
    ASSERT_FALSE(tested.CanRedo());
    ASSERT_TRUE(tested.Undo(mask));
    EXPECT_TRUE(Same(Pixels(tested), before));
    EXPECT_TRUE(Same(mask.mask, maskBefore.mask));
    EXPECT_EQ(mask.workedOn, maskBefore.workedOn);
    EXPECT_EQ(tested.IsModified(), modifiedBefore);

    ASSERT_TRUE(tested.Redo(mask));
    EXPECT_TRUE(Same(Pixels(tested), after));
    EXPECT_TRUE(Same(mask.mask, maskAfter.mask));
    EXPECT_TRUE(Same(GoOn(tested), GoOn(with)));
    ASSERT_TRUE(tested.Undo(mask));  // carving is no step: this undoes the step and GoOn
    EXPECT_TRUE(Same(GoOn(tested), GoOn(without)));
}

INSTANTIATE_TEST_SUITE_P(EveryStep, HistoryTest,
                         ::testing::Combine(::testing::Range(0, int(std::size(kSteps))),
                                            ::testing::Values(Mode::Sobel, Mode::Forward)),
                         [](const auto& info) {
                             return std::string(kSteps[std::get<0>(info.param)].name) +
                                    (std::get<1>(info.param) == Mode::Sobel ? "_sobel" : "_fwd");
                         });

TEST_F(HistoryTest, LimitsDropTheOldestStepsAndANewStepForgetsRedo)
{
    PictureSession s;
    Mask mask;
    Prepare(s, mask, Mode::Sobel);
    std::vector<int> widths;
    for (int i = 0; i < 60; ++i) {
        widths.push_back(s.CurrentWidth());
        s.RememberStep(mask);
        Immediate(s, SizeAxis::Width, i % 2 == 0, 1 + i % 3);
    }
    EXPECT_EQ(s.UndoSteps(), PictureSession::kHistorySteps);
    while (s.Undo(mask)) {
    }
    EXPECT_EQ(s.CurrentWidth(), widths[60 - PictureSession::kHistorySteps]);

    // A picture shared by steps counts once; a byte limit below one step keeps none.
    ASSERT_TRUE(s.Redo(mask));
    s.RememberStep(mask);
    EXPECT_EQ(s.RedoSteps(), 0u);
    const size_t picture = size_t(s.CurrentWidth()) * s.CurrentHeight() * (3 + sizeof(int));
    const size_t maskBytes = size_t(mask.mask.GetWidth()) * mask.mask.GetHeight() * 3;
    const size_t bytes = s.HistoryBytes();
    s.RememberStep(mask);
    EXPECT_EQ(s.HistoryBytes(), bytes + maskBytes);
    s.SetHistoryLimits(100, picture + maskBytes * 3 / 2);
    EXPECT_EQ(s.UndoSteps(), 1u);
    s.SetHistoryLimits(100, maskBytes);
    EXPECT_FALSE(s.CanUndo());
}

}  // namespace
