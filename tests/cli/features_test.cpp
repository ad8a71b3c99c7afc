// SPDX-License-Identifier: GPL-3.0-or-later
// kerv-cli's forward energy, seam picture and object removal against the plain carvers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <wx/image.h>

#include "cli_runner.h"
#include "forward_reference.h"
#include "reference_carver.h"

namespace {

TEST(CliForwardEnergy, MaskedResizeMatchesTheForwardReference)
{
    TempDir folder;
    const RgbPicture input = ReadPicture(SamplePath("chelsea.png"));
    const PaintedMask mask =
        PaintMask(input.width, input.height, 200, 130, 60, 20, 60, 0, input.height);
    ASSERT_TRUE(mask.image.SaveFile(folder / "mask.bmp"));
    const CliResult run =
        RunCli({SamplePath("chelsea.png"), folder / "out.png", "--width", "420", "--height", "280",
                "--mask", folder / "mask.bmp", "--energy-mode", "forward"});
    ASSERT_EQ(run.status, 0) << run.stderrText;

    reference::ForwardCarver ref(input.rgb, input.width, input.height);
    ref.AddEnergy(mask.delta);
    ReferenceResize(ref, 420, 280);
    const RgbPicture output = ReadPicture(folder / "out.png");
    ASSERT_EQ(output.width, 420);
    ASSERT_EQ(output.height, 280);
    EXPECT_TRUE(output.rgb == ref.pixels) << "pixels differ from the forward reference";

    EXPECT_EQ(
        RunCli({SamplePath("chelsea.png"), folder / "x.png", "--energy-mode=backward"}).stderrText,
        "kerv-cli: error: malformed value 'backward' for --energy-mode (expected sobel or "
        "forward) (see kerv-cli --help)\n");
}

// A seams picture's marks: the pixels that differ from the input.
std::vector<bool> Marks(const RgbPicture& input, const RgbPicture& seams)
{
    std::vector<bool> marked(static_cast<size_t>(input.width) * input.height);
    for (size_t i = 0; i < marked.size(); ++i)
        marked[i] = !std::equal(&input.rgb[i * 3], &input.rgb[i * 3 + 3], &seams.rgb[i * 3]);
    return marked;
}

// The input with the marked pixels left out of each row (a vertical removal blends nothing).
std::vector<std::uint8_t> WithoutMarks(const RgbPicture& input, const std::vector<bool>& marked)
{
    std::vector<std::uint8_t> rgb;
    for (size_t i = 0; i < marked.size(); ++i) {
        if (!marked[i])
            rgb.insert(rgb.end(), &input.rgb[i * 3], &input.rgb[i * 3 + 3]);
    }
    return rgb;
}

TEST(CliSeams, TheSeamsDrawnAreThePixelsTheRunRemoved)
{
    TempDir folder;
    const RgbPicture input = ReadPicture(SamplePath("chelsea.png"));
    for (const char* mode : {"sobel", "forward"}) {
        const CliResult run =
            RunCli({SamplePath("chelsea.png"), folder / "out.png", "--width", "400", "--seams",
                    folder / "seams.png", "--energy-mode", mode});
        ASSERT_EQ(run.status, 0) << run.stderrText;
        const RgbPicture seams = ReadPicture(folder / "seams.png");
        ASSERT_EQ(seams.width, input.width);
        const std::vector<bool> marked = Marks(input, seams);
        for (size_t i = 0; i < marked.size(); ++i) {
            const std::uint8_t* p = &seams.rgb[i * 3];
            if (marked[i]) {
                ASSERT_TRUE(p[0] + p[2] == 510 || p[1] == 255) << "not magenta or green";
            }
        }
        EXPECT_TRUE(WithoutMarks(input, marked) == ReadPicture(folder / "out.png").rgb) << mode;
    }
}

// Object removal against the reference carver: a second carver with the same energy and a
// picture of the marks instead of the photo carves the same seams and shows when no mark is
// left; then as many seams are duplicated.
TEST(CliRemoveObject, RemovesTheGreenAndRestoresTheSize)
{
    TempDir folder;
    const RgbPicture input = ReadPicture(SamplePath("chelsea.png"));
    // A tall green band (so vertical seams) beside a red disc.
    const PaintedMask mask = PaintMask(input.width, input.height, 200, 130, 50, 300, 318, 40, 260);
    ASSERT_TRUE(mask.image.SaveFile(folder / "mask.bmp"));
    const CliResult run = RunCli({SamplePath("chelsea.png"), folder / "out.png", "--remove-object",
                                  "--mask", folder / "mask.bmp", "--seams", folder / "seams.png"});
    ASSERT_EQ(run.status, 0) << run.stderrText;

    std::vector<int> energy = reference::Energy(input.rgb, input.width, input.height);
    std::vector<std::uint8_t> marks(input.rgb.size(), 0);
    for (size_t i = 0; i < mask.delta.size(); ++i)
        marks[i * 3 + 1] = mask.delta[i] < 0 ? 255 : 0;
    reference::Carver ref(input.rgb, energy, input.width, input.height);
    reference::Carver tracker(marks, energy, input.width, input.height);
    ref.AddEnergy(mask.delta);
    tracker.AddEnergy(mask.delta);
    int removed = 0;
    auto greenLeft = [&] {
        for (size_t i = 1; i < tracker.pixels.size(); i += 3) {
            if (tracker.pixels[i])
                return true;
        }
        return false;
    };
    while (greenLeft()) {
        ref.SeamVert(true);
        tracker.SeamVert(true);
        ++removed;
    }
    for (int i = 0; i < removed; ++i)
        ref.SeamVert(false);
    const RgbPicture output = ReadPicture(folder / "out.png");
    ASSERT_EQ(output.width, input.width);
    ASSERT_EQ(output.height, input.height);
    EXPECT_GE(removed, 18);
    EXPECT_TRUE(output.rgb == ref.pixels) << "pixels differ after " << removed << " removals";

    // Protected pixels stay out of every seam.
    const std::vector<bool> marked = Marks(input, ReadPicture(folder / "seams.png"));
    for (size_t i = 0; i < marked.size(); ++i)
        ASSERT_FALSE(marked[i] && mask.delta[i] > 0) << "a seam through the red disc";

    for (const auto& [arguments, error] :
         std::vector<std::pair<std::vector<std::string>, std::string>>{
             {{"--remove-object"}, "--remove-object needs --mask FILE"},
             {{"--remove-object", "--mask", folder / "mask.bmp", "--width", "300"},
              "--remove-object keeps the picture's size"}}) {
        std::vector<std::string> words{SamplePath("chelsea.png"), folder / "x.png"};
        words.insert(words.end(), arguments.begin(), arguments.end());
        const CliResult refused = RunCli(words);
        EXPECT_EQ(refused.status, 2);
        EXPECT_NE(refused.stderrText.find(error), std::string::npos) << refused.stderrText;
    }
}

}  // namespace
