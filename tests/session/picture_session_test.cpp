// SPDX-License-Identifier: GPL-3.0-or-later
// PictureSession on real picture files: opening, reset, the one-run rule, the target arithmetic,
// carving, undo and redo, with an engine of its own as the reference for the session's pixels.
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <string>

#include <gtest/gtest.h>
#include <wx/ffile.h>
#include <wx/filefn.h>
#include <wx/image.h>

#include "dp.h"
#include "object_removal.h"
#include "picture_session.h"
#include "test_files.h"
#include "test_wx.h"

namespace {

using Kind = PictureSession::RunKind;
using Open = PictureSession::OpenResult;
using Check = PictureSession::TargetCheck;

// A folder of its own for each test, removed afterwards.
class SessionTest : public ::testing::Test {
protected:
    wxString WritePicture(const wxString& name, int width, int height, int seed = 1,
                          bool alpha = false)
    {
        const wxString path = dir + "/" + name;
        WriteTestPicture(path, width, height, seed, alpha);
        return path;
    }

    // The reference: what an engine of its own shows for the same file after the same seams.
    static wxImage Pixels(PictureSession& session) { return session.Picture()->AsImage().Copy(); }

    TempDir folder;
    const wxString dir = folder.Path();
};

}  // namespace

TEST_F(SessionTest, OpeningAPictureGivesItsSizeAndAFailureKeepsThePictureThatWasOpen)
{
    struct Case {
        const char* name;
        Open expected;
    };
    const wxString good = WritePicture("good.png", 30, 20);
    const wxString other = WritePicture("other.png", 24, 16, 2);
    WritePicture("alpha.png", 30, 20, 1, true);
    wxFFile(dir + "/text.png", "w").Write("not a picture");
    // The header alone tells that this one is beyond the limits.
    wxFFile(dir + "/huge.ppm", "w").Write("P6\n40000 40000\n255\n");
    for (const Case& c : {Case{"other.png", Open::Opened}, Case{"alpha.png", Open::HasAlpha},
                          Case{"text.png", Open::NotAPicture}, Case{"missing.png", Open::Missing},
                          Case{"huge.ppm", Open::Refused}}) {
        SCOPED_TRACE(c.name);
        PictureSession session;
        ASSERT_EQ(session.Open(good), Open::Opened);
        session.CarveSeam(SizeAxis::Width, true);
        session.SetModified(true);
        const DP* engine = session.Engine();
        const wxImage before = Pixels(session);

        EXPECT_EQ(session.Open(dir + "/" + c.name), c.expected);
        EXPECT_EQ(session.Refusal().empty(), c.expected != Open::Refused);
        const bool opened = c.expected == Open::Opened;
        EXPECT_EQ(session.FileName(), opened ? other : good);
        EXPECT_EQ(session.Engine() == engine, !opened);
        EXPECT_EQ(session.IsModified(), !opened);
        EXPECT_EQ(session.CurrentWidth(), opened ? 24 : 29);
        EXPECT_EQ(session.CurrentHeight(), opened ? 16 : 20);
        EXPECT_EQ(session.OriginalWidth(), opened ? 24 : 30);
        EXPECT_EQ(session.OriginalHeight(), opened ? 16 : 20);
        if (!opened) {
            EXPECT_TRUE(SamePixels(before, Pixels(session)));
        }
    }
}

TEST_F(SessionTest, SizesFollowTheEngineAndResetStartsOverFromTheFile)
{
    const wxString path = WritePicture("beach.png", 40, 30);
    PictureSession session;
    ASSERT_EQ(session.Open(path), Open::Opened);
    DP reference(path);
    const wxImage opened = reference.GetColourImage().AsImage().Copy();

    for (int i = 0; i < 5; ++i) {
        session.CarveSeam(SizeAxis::Width, true);
        reference.GetSeam_Vert(true);
    }
    for (int i = 0; i < 3; ++i) {
        session.CarveSeam(SizeAxis::Height, false);
        reference.GetSeam_Horz(false);
    }
    EXPECT_EQ(session.CurrentWidth(), 35);
    EXPECT_EQ(session.CurrentHeight(), 33);
    EXPECT_EQ(session.Current(SizeAxis::Width), 35);
    EXPECT_EQ(session.Original(SizeAxis::Height), 30);
    EXPECT_TRUE(SamePixels(reference.GetColourImage().AsImage(), Pixels(session)));
    EXPECT_TRUE(session.CanReset());

    session.SetModified(true);
    ASSERT_TRUE(session.Reset());
    EXPECT_EQ(session.CurrentWidth(), 40);
    EXPECT_EQ(session.CurrentHeight(), 30);
    EXPECT_TRUE(SamePixels(opened, Pixels(session)));
    // Reset keeps the changes count: the picture was changed since it was opened or saved.
    EXPECT_TRUE(session.IsModified());
    EXPECT_TRUE(session.CanReset());
    session.SetModified(false);
    EXPECT_FALSE(session.CanReset());
}

TEST_F(SessionTest, ResetOfAFileThatChangedLeavesThePictureAsItIs)
{
    struct Case {
        const char* what;
        std::function<void(const wxString&)> change;
    };
    const Case cases[] = {
        {"deleted", [](const wxString& path) { wxRemoveFile(path); }},
        {"another width", [this](const wxString&) { WritePicture("beach.png", 41, 30, 2); }},
        {"another height", [this](const wxString&) { WritePicture("beach.png", 40, 31, 2); }},
        {"now with alpha", [this](const wxString&) { WritePicture("beach.png", 40, 30, 1, true); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const wxString path = WritePicture("beach.png", 40, 30);
        PictureSession session;
        ASSERT_EQ(session.Open(path), Open::Opened);
        session.CarveSeam(SizeAxis::Width, true);
        const wxImage before = Pixels(session);
        c.change(path);
        EXPECT_FALSE(session.Reset());
        EXPECT_EQ(session.CurrentWidth(), 39);
        EXPECT_TRUE(SamePixels(before, Pixels(session)));
    }
}

TEST_F(SessionTest, OnlyOneRunAtATimeAndNothingReplacesThePictureUnderIt)
{
    PictureSession closed;
    EXPECT_FALSE(closed.BeginRun(Kind::Kerv));
    EXPECT_FALSE(closed.IsCarving());

    const wxString path = WritePicture("beach.png", 40, 30);
    const Kind kinds[] = {Kind::Width, Kind::Height, Kind::Kerv};
    for (Kind running : kinds) {
        PictureSession session;
        ASSERT_EQ(session.Open(path), Open::Opened);
        ASSERT_TRUE(session.BeginRun(running));
        for (Kind other : kinds) {
            EXPECT_FALSE(session.BeginRun(other));
            EXPECT_EQ(session.IsRunning(other), other == running);
            if (other != running)
                session.EndRun(other);  // does not end the run of another kind
        }
        EXPECT_TRUE(session.IsCarving());
        EXPECT_EQ(session.Open(path), Open::Busy);
        EXPECT_FALSE(session.Reset());
        session.Close();
        EXPECT_TRUE(session.IsOpen());

        session.EndRun(running);
        EXPECT_FALSE(session.IsCarving());
        EXPECT_TRUE(session.BeginRun(Kind::Kerv));
    }
}

TEST_F(SessionTest, TargetArithmeticTruncatesAgainstTheOpenedSize)
{
    PictureSession session;
    ASSERT_EQ(session.Open(WritePicture("wide.png", 333, 250)), Open::Opened);
    // Carving does not move the reference: percentages are of the opened size (their truncation
    // is the target fields' own, tested with them).
    session.CarveSeam(SizeAxis::Width, true);

    struct Case {
        int (PictureSession::*operation)(SizeAxis, int) const;
        SizeAxis axis;
        int argument;
        int expected;
    };
    const Case cases[] = {
        {&PictureSession::SizeForPercent, SizeAxis::Width, 50, 166},
        {&PictureSession::OtherSideForAspect, SizeAxis::Width, 166, 124},
        {&PictureSession::OtherSideForAspect, SizeAxis::Height, 124, 165},
        {&PictureSession::PercentOf, SizeAxis::Height, 124, 49},
        {&PictureSession::PercentOf, SizeAxis::Width, 666, 200},
        {&PictureSession::PercentOf, SizeAxis::Width, 0, 0},
        {&PictureSession::PercentOf, SizeAxis::Width, 2147483647, 644889984},  // no overflow
    };
    for (const Case& c : cases)
        EXPECT_EQ((session.*c.operation)(c.axis, c.argument), c.expected) << c.argument;

    PictureSession none;
    EXPECT_EQ(none.PercentOf(SizeAxis::Width, 100), 0);
    EXPECT_EQ(none.OtherSideForAspect(SizeAxis::Height, 100), 0);
}

TEST_F(SessionTest, LongChangesAreHalfTheOpenedSizeOnSidesOverTwoHundred)
{
    struct Case {
        int width;
        int difference;
        bool asks;
    };
    for (const Case& c : {Case{200, 150, false}, Case{201, 101, true}, Case{201, -101, true},
                          Case{201, 100, false}, Case{400, -200, true}, Case{400, 199, false}}) {
        PictureSession session;
        ASSERT_EQ(session.Open(WritePicture("p.png", c.width, 8)), Open::Opened);
        EXPECT_EQ(session.IsLongChange(SizeAxis::Width, c.difference), c.asks)
            << c.width << " " << c.difference;
        EXPECT_FALSE(session.IsLongChange(SizeAxis::Height, c.difference));
    }
}

TEST(SessionTargets, TargetsFromOnePixelToTheLimitsAreCarvable)
{
    struct Case {
        int width;
        int height;
        Check expected;
    };
    for (const Case& c : {Case{1, 1, Check::Carvable}, Case{0, 5, Check::WidthBelowOne},
                          Case{-3, 0, Check::WidthBelowOne}, Case{5, 0, Check::HeightBelowOne},
                          Case{32000, 3125, Check::Carvable}, Case{32001, 1, Check::TooLarge},
                          Case{20000, 5001, Check::TooLarge}})
        EXPECT_EQ(PictureSession::CheckTarget(c.width, c.height), c.expected)
            << c.width << " x " << c.height;
}

TEST_F(SessionTest, APlanCarvesBothDimensionsInTheOrderOfTheEngineAlone)
{
    const wxString path = WritePicture("beach.png", 60, 40);
    PictureSession session;
    ASSERT_EQ(session.Open(path), Open::Opened);
    // 40 narrower and 10 taller: steps 0 to 9 add a row and take a column, then columns only.
    const CarvePlan plan = session.PlanTo(20, 50);
    ASSERT_EQ(plan.Steps(), 40);
    DP reference(path);
    for (int step = 0; step < plan.Steps(); ++step) {
        session.CarveStep(plan, step);
        if (step < 10)
            reference.GetSeam_Horz(false);
        reference.GetSeam_Vert(true);
    }
    EXPECT_EQ(session.CurrentWidth(), 20);
    EXPECT_EQ(session.CurrentHeight(), 50);
    EXPECT_TRUE(SamePixels(reference.GetColourImage().AsImage(), Pixels(session)));
    EXPECT_EQ(session.PlanTo(20, 50).Steps(), 0);
}

TEST_F(SessionTest, AMaskOfThePictureSizeSteersTheNextSeamsAndAnotherSizeIsRefused)
{
    const wxString path = WritePicture("beach.png", 40, 30);
    PictureSession session;
    ASSERT_EQ(session.Open(path), Open::Opened);
    EXPECT_FALSE(session.ApplyMask(wxImage(39, 30)));

    // Delete the right half: the seams then go there instead of the flat left half.
    wxImage maskImage(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 20; x < 40; ++x)
            maskImage.SetRGB(x, y, 0, 255, 0);
    ASSERT_TRUE(session.ApplyMask(maskImage));
    DP reference(path);
    ASSERT_TRUE(reference.ModifyEnergy(maskImage));
    DP unmasked(path);
    for (int i = 0; i < 8; ++i) {
        session.CarveSeam(SizeAxis::Width, true);
        reference.GetSeam_Vert(true);
        unmasked.GetSeam_Vert(true);
    }
    EXPECT_TRUE(SamePixels(reference.GetColourImage().AsImage(), Pixels(session)));
    EXPECT_FALSE(SamePixels(unmasked.GetColourImage().AsImage(), Pixels(session)));
}

// What a typed size field holds: a whole number, or nothing to carve to.
TEST(SizeText, OnlyAWholeNumberIsASize)
{
    struct Case {
        const char* text;
        bool isSize;
        int size;
    };
    for (const Case& c :
         {Case{"140", true, 140}, Case{" 7 ", true, 7}, Case{"-3", true, -3}, Case{"+12", true, 12},
          Case{"", false, 0}, Case{"   ", false, 0}, Case{"abc", false, 0}, Case{"12x", false, 0},
          Case{"1.5", false, 0}, Case{"99999999999", false, 0}}) {
        SCOPED_TRACE(c.text);
        int size = -99;
        EXPECT_EQ(PictureSession::ReadSizeText(c.text, size), c.isSize);
        EXPECT_EQ(size, c.isSize ? c.size : -99);
    }
}

// Undo and redo: after every kind of step, undo gives back the pixels, mask and modified flag,
// and carving goes on exactly as in a session that never took the step; redo takes it again as
// in one that never undid it; the limits drop the oldest steps first.
namespace {

using Mode = seam::EnergyMode;
using Mask = PictureSession::MaskState;

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

// Where the step starts from: a picture carved with a mask applied, so that undo has a working
// energy to restore (a first seam in the default mode, so that forward mode leaves a grid
// behind it); the picture just as opened; the picture as opened with a mask applied.
enum class Start { Carved, Opened, Masked };

class HistoryTest : public SessionTest,
                    public ::testing::WithParamInterface<std::tuple<int, Mode, Start>> {
public:
    static std::string CaseName(const ::testing::TestParamInfo<ParamType>& info)
    {
        const char* const starts[] = {"", "_opened", "_masked"};
        return std::string(kSteps[std::get<0>(info.param)].name) +
               (std::get<1>(info.param) == Mode::Sobel ? "_sobel" : "_fwd") +
               starts[static_cast<int>(std::get<2>(info.param))];
    }

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

    void Prepare(PictureSession& s, Mask& mask, Mode mode, Start start)
    {
        ASSERT_EQ(s.Open(dir + "/picture.png"), PictureSession::OpenResult::Opened);
        if (start == Start::Carved) {
            Immediate(s, SizeAxis::Height, true, 1);
            s.SetEnergyMode(mode);
            Immediate(s, SizeAxis::Height, true, 2);
            ASSERT_TRUE(s.ApplyMask(MaskFor(s)));
            Immediate(s, SizeAxis::Width, false, 2);
        } else {
            s.SetEnergyMode(mode);
            if (start == Start::Masked) {
                ASSERT_TRUE(s.ApplyMask(MaskFor(s)));
            }
        }
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
};

TEST_P(HistoryTest, UndoRestoresAndCarvingGoesOnAsWithoutTheStep)
{
    const StepCase& step = kSteps[std::get<0>(GetParam())];
    const Mode mode = std::get<1>(GetParam());
    const Start start = std::get<2>(GetParam());
    PictureSession without, with, tested;
    Mask maskWithout, maskWith, mask;
    Prepare(without, maskWithout, mode, start);
    Prepare(with, maskWith, mode, start);
    Prepare(tested, mask, mode, start);
    Take(step, with, maskWith);

    const wxImage before = Pixels(tested);
    const Mask maskBefore = mask;
    const bool modifiedBefore = tested.IsModified();
    Take(step, tested, mask);
    const wxImage after = Pixels(tested);
    const Mask maskAfter = mask;
    ASSERT_FALSE(tested.CanRedo());
    ASSERT_TRUE(tested.Undo(mask));
    EXPECT_TRUE(SamePixels(Pixels(tested), before));
    EXPECT_TRUE(SamePixels(mask.mask, maskBefore.mask));
    EXPECT_EQ(mask.workedOn, maskBefore.workedOn);
    EXPECT_EQ(tested.IsModified(), modifiedBefore);

    ASSERT_TRUE(tested.Redo(mask));
    EXPECT_TRUE(SamePixels(Pixels(tested), after));
    EXPECT_TRUE(SamePixels(mask.mask, maskAfter.mask));
    EXPECT_TRUE(SamePixels(GoOn(tested), GoOn(with)));
    ASSERT_TRUE(tested.Undo(mask));  // carving is no step: this undoes the step and GoOn
    EXPECT_TRUE(SamePixels(GoOn(tested), GoOn(without)));
}

INSTANTIATE_TEST_SUITE_P(EveryStep, HistoryTest,
                         ::testing::Combine(::testing::Range(0, int(std::size(kSteps))),
                                            ::testing::Values(Mode::Sobel, Mode::Forward),
                                            ::testing::Values(Start::Carved)),
                         HistoryTest::CaseName);

// Back to the picture as opened, or as opened with a mask on it, carving goes on as from the
// picture opened afresh (the step of the picture as opened shares its pixels).
using UndoToStartTest = HistoryTest;

TEST_P(UndoToStartTest, CarvingGoesOnAsWithoutTheStep)
{
    const StepCase& step = kSteps[std::get<0>(GetParam())];
    const Mode mode = std::get<1>(GetParam());
    const Start start = std::get<2>(GetParam());
    PictureSession without, tested;
    Mask maskWithout, mask;
    Prepare(without, maskWithout, mode, start);
    Prepare(tested, mask, mode, start);
    const wxImage before = Pixels(tested);
    Take(step, tested, mask);
    ASSERT_TRUE(tested.Undo(mask));
    EXPECT_TRUE(SamePixels(Pixels(tested), before));
    // Narrower from there; a step taken then comes back to the narrower picture.
    Immediate(tested, SizeAxis::Width, true, 3);
    Immediate(without, SizeAxis::Width, true, 3);
    const wxImage narrower = Pixels(without);
    EXPECT_TRUE(SamePixels(Pixels(tested), narrower));
    mask = {MaskFor(tested), false};
    Take(step, tested, mask);
    ASSERT_TRUE(tested.Undo(mask));
    EXPECT_TRUE(SamePixels(Pixels(tested), narrower));
    EXPECT_TRUE(SamePixels(GoOn(tested), GoOn(without)));
}

INSTANTIATE_TEST_SUITE_P(EveryStep, UndoToStartTest,
                         ::testing::Combine(::testing::Range(0, int(std::size(kSteps))),
                                            ::testing::Values(Mode::Sobel, Mode::Forward),
                                            ::testing::Values(Start::Opened, Start::Masked)),
                         HistoryTest::CaseName);

TEST_F(HistoryTest, LimitsDropTheOldestStepsAndANewStepForgetsRedo)
{
    PictureSession s;
    Mask mask;
    Prepare(s, mask, Mode::Sobel, Start::Carved);
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
