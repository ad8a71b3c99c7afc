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

reference::Carver ExpectedResize(const RgbPicture& input, int width, int height,
                                 const std::vector<int>* maskDelta = nullptr)
{
    reference::Carver ref(input.rgb, input.width, input.height);
    if (maskDelta)
        ref.AddEnergy(*maskDelta);  // the mask once, before the first seam
    ReferenceResize(ref, width, height);
    return ref;
}

void ExpectPicture(const RgbPicture& actual, const reference::Carver& expected)
{
    ASSERT_EQ(actual.width, expected.cols);
    ASSERT_EQ(actual.height, expected.rows);
    EXPECT_TRUE(actual.rgb == expected.pixels) << "pixels differ from the reference";
}

// Narrower, wider and lower on one and two threads, and unchanged: the reference's pixels, and
// nothing else in the folder nor on stderr (no progress display when stderr is not a terminal).
TEST(CliResize, CoffeeMatchesTheReference)
{
    const RgbPicture coffee = ReadPicture(SamplePath("coffee.png"));
    const struct {
        std::vector<std::string> options;
        int width, height;
    } cases[] = {{{"--width", "450"}, 450, 400},
                 {{"--width", "700", "--height", "300", "--threads", "1"}, 700, 300},
                 {{"--threads", "2", "--width", "700", "--height", "300"}, 700, 300},
                 {{}, 600, 400}};  // unchanged: a copy of the picture
    for (const auto& c : cases) {
        TempDir folder;
        std::vector<std::string> arguments = c.options;
        arguments.insert(arguments.begin(), {SamplePath("coffee.png"), folder / "out.png"});
        const CliResult run = RunCli(arguments);
        ASSERT_EQ(run.status, 0) << run.stderrText;
        EXPECT_EQ(run.stderrText, "");
        ExpectPicture(ReadPicture(folder / "out.png"), ExpectedResize(coffee, c.width, c.height));
        EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"out.png"});
    }
}

TEST(CliResize, PercentAndAspectFollowTheTargetFieldArithmetic)
{
    TempDir folder;
    struct Case {
        std::vector<std::string> options;
        int width, height;
    };
    // chelsea is 451 x 300: 50 % of 451 is 225 (truncated), 225 / (451 / 300) = 149.66 -> 149;
    // 200 / (300 / 451) = 300.66 -> 300; without --keep-aspect the other side stays.
    for (const Case& c : {Case{{"--width=50%", "--keep-aspect", "-q"}, 225, 149},
                          Case{{"--height", "200", "--keep-aspect"}, 300, 200},
                          Case{{"--height", "110%"}, 451, 330}}) {
        std::vector<std::string> arguments = {SamplePath("chelsea.png"), folder / "out.png"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const CliResult run = RunCli(arguments);
        ASSERT_EQ(run.status, 0) << run.stderrText;
        const RgbPicture out = ReadPicture(folder / "out.png");
        EXPECT_EQ(out.width, c.width) << c.options[0];
        EXPECT_EQ(out.height, c.height) << c.options[0];
    }
}

TEST(CliResize, MaskAndEnergyPictureMatchTheReference)
{
    TempDir folder;
    const RgbPicture input = ReadPicture(SamplePath("chelsea.png"));
    const PaintedMask mask =
        PaintMask(input.width, input.height, 200, 130, 70, 21, 60, 0, input.height);
    const std::vector<int>& delta = mask.delta;
    ASSERT_TRUE(mask.image.SaveFile(folder / "mask.bmp"));
    const CliResult run =
        RunCli({SamplePath("chelsea.png"), folder / "out.png", "--width", "380", "--height", "290",
                "--mask", folder / "mask.bmp", "--energy", folder / "energy.png"});
    ASSERT_EQ(run.status, 0) << run.stderrText;
    ExpectPicture(ReadPicture(folder / "out.png"), ExpectedResize(input, 380, 290, &delta));

    const RgbPicture energy = ReadPicture(folder / "energy.png");
    std::vector<int> expected = reference::Energy(input.rgb, input.width, input.height);
    ASSERT_EQ(energy.width, input.width);
    for (size_t i = 0; i < expected.size(); ++i) {
        const auto lowByte = static_cast<std::uint8_t>(expected[i] + delta[i]);
        ASSERT_EQ(energy.rgb[i * 3], lowByte) << "pixel " << i;
    }
}

TEST(CliResize, WritesEveryFormatByExtension)
{
    TempDir folder;
    ASSERT_EQ(RunCli({SamplePath("coffee.png"), folder / "ref.png", "--width", "590"}).status, 0);
    const RgbPicture reference = ReadPicture(folder / "ref.png");
    for (const char* name : {"out.bmp", "out.ppm", "out.pnm", "out.tif", "out.tga", "out.pcx"}) {
        const CliResult run = RunCli({SamplePath("coffee.png"), folder / name, "--width", "590"});
        ASSERT_EQ(run.status, 0) << name << ": " << run.stderrText;
        const RgbPicture back = ReadPicture(folder / name);
        EXPECT_EQ(back.width, 590) << name;
        EXPECT_TRUE(back.rgb == reference.rgb) << name << " does not hold the same pixels";
    }
    const CliResult jpeg =
        RunCli({SamplePath("coffee.png"), folder / "out.jpg", "--height", "390"});
    ASSERT_EQ(jpeg.status, 0) << jpeg.stderrText;
    EXPECT_EQ(ReadPicture(folder / "out.jpg").height, 390);
}

TEST(CliResize, ReadsItsOwnOutputAndReplacesAnExistingFile)
{
    TempDir folder;
    WriteFile(folder / "out.png", "old contents");
    ::chmod((folder / "out.png").c_str(), 0640);
    ASSERT_EQ(RunCli({SamplePath("coffee.png"), folder / "out.png", "--width", "500"}).status, 0);
    struct stat replaced {};
    ASSERT_EQ(::stat((folder / "out.png").c_str(), &replaced), 0);
    EXPECT_EQ(replaced.st_mode & 0777, 0640u) << "the replaced file keeps its permissions";
    ASSERT_EQ(RunCli({folder / "out.png", folder / "out.png", "--width", "480", "--height", "380"})
                  .status,
              0);
    const RgbPicture twice = ReadPicture(folder / "out.png");
    EXPECT_EQ(twice.width, 480);
    EXPECT_EQ(twice.height, 380);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"out.png"});
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
