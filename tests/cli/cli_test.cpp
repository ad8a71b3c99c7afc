// SPDX-License-Identifier: GPL-3.0-or-later
// kerv-cli's results: the reference carver's pixels, sizes from pixels, percent and aspect,
// masks, the energy picture and the output formats.
#include <gtest/gtest.h>

#include <cstring>

#include <sys/stat.h>

#include <wx/image.h>

#include "cli_runner.h"
#include "reference_carver.h"

namespace {

// The resize kerv-cli must perform, done by the reference: the mask once, then per step one
// horizontal seam while the height differs and one vertical seam while the width differs.
reference::Carver ExpectedResize(const RgbPicture& input, int width, int height,
                                 const std::vector<int>* maskDelta = nullptr)
{
    reference::Carver ref(input.rgb, input.width, input.height);
    if (maskDelta)
        ref.AddEnergy(*maskDelta);
    const int dw = input.width - width;
    const int dh = input.height - height;
    const int steps = std::max(std::abs(dw), std::abs(dh));
    for (int i = 0; i < steps; ++i) {
        if (i < std::abs(dh))
            ref.SeamHorz(dh > 0);
        if (i < std::abs(dw))
            ref.SeamVert(dw > 0);
    }
    return ref;
}

void ExpectPicture(const RgbPicture& actual, const reference::Carver& expected)
{
    ASSERT_EQ(actual.width, expected.cols);
    ASSERT_EQ(actual.height, expected.rows);
    EXPECT_TRUE(actual.rgb == expected.pixels) << "pixels differ from the reference";
}

TEST(CliResize, NarrowerCoffeeMatchesTheReference)
{
    ScratchFolder folder;
    const CliResult run =
        RunCli({SamplePath("coffee.png"), folder.File("out.png"), "--width", "450"});
    ASSERT_EQ(run.status, 0) << run.stderrText;
    EXPECT_EQ(run.stderrText, "");  // no progress display when stderr is not a terminal
    ExpectPicture(ReadPicture(folder.File("out.png")),
                  ExpectedResize(ReadPicture(SamplePath("coffee.png")), 450, 400));
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"out.png"});
}

TEST(CliResize, WiderAndLowerCoffeeMatchesTheReferenceOnOneAndTwoThreads)
{
    ScratchFolder folder;
    const reference::Carver expected =
        ExpectedResize(ReadPicture(SamplePath("coffee.png")), 700, 300);
    for (const char* threads : {"1", "2"}) {
        const CliResult run = RunCli({"--width", "700", "--height", "300", "--threads", threads,
                                      SamplePath("coffee.png"), folder.File("out.png")});
        ASSERT_EQ(run.status, 0) << run.stderrText;
        ExpectPicture(ReadPicture(folder.File("out.png")), expected);
    }
}

TEST(CliResize, PercentAndAspectFollowTheTargetFieldArithmetic)
{
    ScratchFolder folder;
    struct Case {
        std::vector<std::string> options;
        int width, height;
    };
    // chelsea is 451 x 300: 50 % of 451 is 225 (truncated), 225 / (451 / 300) = 149.66 -> 149;
    // 200 / (300 / 451) = 300.66 -> 300; without --keep-aspect the other side stays.
    for (const Case& c : {Case{{"--width=50%", "--keep-aspect", "-q"}, 225, 149},
                          Case{{"--height", "200", "--keep-aspect"}, 300, 200},
                          Case{{"--height", "110%"}, 451, 330}}) {
        std::vector<std::string> arguments = {SamplePath("chelsea.png"), folder.File("out.png")};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const CliResult run = RunCli(arguments);
        ASSERT_EQ(run.status, 0) << run.stderrText;
        const RgbPicture out = ReadPicture(folder.File("out.png"));
        EXPECT_EQ(out.width, c.width) << c.options[0];
        EXPECT_EQ(out.height, c.height) << c.options[0];
    }
}

TEST(CliResize, MaskAndEnergyPictureMatchTheReference)
{
    ScratchFolder folder;
    const RgbPicture input = ReadPicture(SamplePath("chelsea.png"));
    wxImage mask(input.width, input.height, true);
    std::vector<int> delta(static_cast<size_t>(input.width) * input.height, 0);
    for (int y = 0; y < input.height; ++y) {
        for (int x = 0; x < input.width; ++x) {
            if ((x - 200) * (x - 200) + (y - 130) * (y - 130) < 70 * 70) {
                mask.SetRGB(x, y, 255, 0, 0);
                delta[y * input.width + x] = 255;
            } else if (x > 20 && x < 60) {
                mask.SetRGB(x, y, 0, 255, 0);
                delta[y * input.width + x] = -255;
            }
        }
    }
    ASSERT_TRUE(mask.SaveFile(folder.File("mask.bmp")));
    const CliResult run =
        RunCli({SamplePath("chelsea.png"), folder.File("out.png"), "--width", "380", "--height",
                "290", "--mask", folder.File("mask.bmp"), "--energy", folder.File("energy.png")});
    ASSERT_EQ(run.status, 0) << run.stderrText;
    ExpectPicture(ReadPicture(folder.File("out.png")), ExpectedResize(input, 380, 290, &delta));

    const RgbPicture energy = ReadPicture(folder.File("energy.png"));
    std::vector<int> expected = reference::Energy(input.rgb, input.width, input.height);
    ASSERT_EQ(energy.width, input.width);
    for (size_t i = 0; i < expected.size(); ++i) {
        const auto lowByte = static_cast<std::uint8_t>(expected[i] + delta[i]);
        ASSERT_EQ(energy.rgb[i * 3], lowByte) << "pixel " << i;
    }
}

TEST(CliResize, WritesEveryFormatByExtension)
{
    ScratchFolder folder;
    ASSERT_EQ(RunCli({SamplePath("coffee.png"), folder.File("ref.png"), "--width", "590"}).status,
              0);
    const RgbPicture reference = ReadPicture(folder.File("ref.png"));
    for (const char* name : {"out.bmp", "out.ppm", "out.pnm", "out.tif", "out.tga", "out.pcx"}) {
        const CliResult run =
            RunCli({SamplePath("coffee.png"), folder.File(name), "--width", "590"});
        ASSERT_EQ(run.status, 0) << name << ": " << run.stderrText;
        const RgbPicture back = ReadPicture(folder.File(name));
        EXPECT_EQ(back.width, 590) << name;
        EXPECT_TRUE(back.rgb == reference.rgb) << name << " does not hold the same pixels";
    }
    const CliResult jpeg =
        RunCli({SamplePath("coffee.png"), folder.File("out.jpg"), "--height", "390"});
    ASSERT_EQ(jpeg.status, 0) << jpeg.stderrText;
    EXPECT_EQ(ReadPicture(folder.File("out.jpg")).height, 390);
}

TEST(CliResize, ReadsItsOwnOutputAndReplacesAnExistingFile)
{
    ScratchFolder folder;
    WriteText(folder.File("out.png"), "old contents");
    ::chmod(folder.File("out.png").c_str(), 0640);
    ASSERT_EQ(RunCli({SamplePath("coffee.png"), folder.File("out.png"), "--width", "500"}).status,
              0);
    struct stat replaced {};
    ASSERT_EQ(::stat(folder.File("out.png").c_str(), &replaced), 0);
    EXPECT_EQ(replaced.st_mode & 0777, 0640u) << "the replaced file keeps its permissions";
    ASSERT_EQ(RunCli({folder.File("out.png"), folder.File("out.png"), "--width", "480", "--height",
                      "380"})
                  .status,
              0);
    const RgbPicture twice = ReadPicture(folder.File("out.png"));
    EXPECT_EQ(twice.width, 480);
    EXPECT_EQ(twice.height, 380);
    EXPECT_EQ(folder.Entries(), std::vector<std::string>{"out.png"});
}

TEST(CliResize, UnchangedTargetsCopyThePicture)
{
    ScratchFolder folder;
    ASSERT_EQ(RunCli({SamplePath("chelsea.png"), folder.File("same.png")}).status, 0);
    const RgbPicture input = ReadPicture(SamplePath("chelsea.png"));
    const RgbPicture output = ReadPicture(folder.File("same.png"));
    EXPECT_TRUE(output.rgb == input.rgb);
}

TEST(CliUsage, HelpAndVersion)
{
    for (const char* option : {"--help", "-h", "--hel"}) {
        CliResult help = RunCli({option});
        EXPECT_EQ(help.status, 0) << option;
        EXPECT_NE(help.stdoutText.find("kerv-cli [options] -o DIR INPUT..."), std::string::npos);
        EXPECT_NE(help.stdoutText.find("--keep-aspect"), std::string::npos);
    }
    CliResult version = RunCli({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.stdoutText, "kerv-cli 0.67\n");
}

}  // namespace
