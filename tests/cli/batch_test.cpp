// SPDX-License-Identifier: GPL-3.0-or-later
// kerv-cli for batch work: standard input and output, many inputs with -o or --suffix and
// several jobs, the energy picture and the output committed together, GNU option conventions.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <wx/image.h>

#include "cli_runner.h"

namespace {

TEST(CliStreams, StandardInputAndOutputGiveTheSamePicturesAsFiles)
{
    TempDir folder;
    const std::string coffee = ReadFile(SamplePath("coffee.png"));
    ASSERT_EQ(RunCli({SamplePath("coffee.png"), folder / "file.png", "--width", "570"}).status, 0);
    const CliResult piped = RunCli({"-", "-", "--format=png", "--width", "570"}, coffee);
    ASSERT_EQ(piped.status, 0) << piped.stderrText;
    WriteFile(folder / "piped.png", piped.stdoutText);
    EXPECT_TRUE(ReadPicture(folder / "piped.png").rgb == ReadPicture(folder / "file.png").rgb);

    // A failure writes nothing to standard output; a picture that is no picture is named.
    const CliResult broken = RunCli({"-", "-", "--format", "png"}, "not a picture");
    EXPECT_EQ(broken.status, 1);
    EXPECT_EQ(broken.stdoutText, "");
    EXPECT_EQ(broken.stderrText.rfind("kerv-cli: error: cannot read standard input: ", 0), 0u)
        << broken.stderrText;
}

TEST(CliBatch, TwentyFilesWithABrokenOneInTheMiddleOnTwoJobs)
{
    TempDir folder;
    const std::string in = folder / "in";
    const std::string out = folder / "out";
    ASSERT_EQ(::mkdir(in.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(out.c_str(), 0755), 0);
    wxImage chelsea(wxString::FromUTF8(SamplePath("chelsea.png")));
    std::vector<std::string> arguments = {"--jobs", "2", "--width=90%", "-o", out};
    for (int i = 0; i < 20; ++i) {
        const std::string name = in + "/p" + std::to_string(i) + ".png";
        if (i == 10)
            WriteFile(name, "broken");
        else
            ASSERT_TRUE(chelsea.GetSubImage(wxRect(i, 0, 200 + i, 120)).SaveFile(name));
        arguments.push_back(name);
    }
    const CliResult run = RunCli(arguments);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.stderrText.rfind("kerv-cli: error: cannot read '" + in + "/p10.png': ", 0), 0u)
        << run.stderrText;
    EXPECT_EQ(std::count(run.stderrText.begin(), run.stderrText.end(), '\n'), 1);
    for (int i = 0; i < 20; ++i) {
        const RgbPicture result = ReadPicture(out + "/p" + std::to_string(i) + ".png");
        if (i == 10) {
            EXPECT_EQ(result.width, 0);
            continue;
        }
        EXPECT_EQ(result.width, (200 + i) * 9 / 10) << i;
        // The same pixels as the same file alone.
        if (i % 7 == 0) {
            const std::string alone = folder / "alone.png";
            ASSERT_EQ(RunCli({in + "/p" + std::to_string(i) + ".png", alone, "--width=90%"}).status,
                      0);
            EXPECT_TRUE(ReadPicture(alone).rgb == result.rgb) << i;
        }
    }
}

TEST(CliBatch, SuffixWritesBesideEachInputAndClashesAreRefusedBeforeCarving)
{
    TempDir folder;
    wxImage picture(wxString::FromUTF8(SamplePath("chelsea.png")));
    ASSERT_TRUE(picture.SaveFile(folder / "a.png"));
    ASSERT_TRUE(picture.SaveFile(folder / "b.bmp"));
    ASSERT_EQ(CommandOutput("convert '" + SamplePath("chelsea.png") + "' '" + (folder / "c.gif") +
                            "' && echo made"),
              "made");
    CliResult run = RunCli({"--suffix", "_kerv", "--height", "280", folder / "a.png",
                            folder / "b.bmp", folder / "c.gif"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.stderrText, "kerv-cli: error: cannot write '" + (folder / "c_kerv.gif") +
                                  "': pictures are read in this format but never written\n");
    EXPECT_EQ(ReadPicture(folder / "a_kerv.png").height, 280);
    EXPECT_EQ(ReadPicture(folder / "b_kerv.bmp").height, 280);
    EXPECT_FALSE(Exists(folder / "c_kerv.gif"));

    // --format changes the results' extension; an input that is its own result is refused.
    run = RunCli({"-o", folder.Path(), "--format", "png", "--height", "280", folder / "a.png",
                  folder / "c.gif"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.stderrText, "kerv-cli: error: '" + (folder / "a.png") +
                                  "' would be replaced by its own result\n");
    EXPECT_EQ(ReadPicture(folder / "c.png").height, 280);
}

// --energy and OUTPUT are committed together: when the second rename fails, the first is
// undone, and existing files of either name are as they were.
TEST(CliAtomicPair, AFailingOutputTakesTheEnergyPictureWithIt)
{
    struct Case {
        const char* name;
        bool outputIsFolder;  // else the energy name is a folder
    };
    for (const Case c : {Case{"output", true}, Case{"energy", false}}) {
        TempDir folder;
        const std::string output = folder / "out.png";
        const std::string energy = folder / "energy.png";
        ASSERT_EQ(::mkdir((c.outputIsFolder ? output : energy).c_str(), 0755), 0);
        WriteFile(c.outputIsFolder ? energy : output, "precious");
        const CliResult run =
            RunCli({SamplePath("chelsea.png"), output, "--width", "440", "--energy", energy});
        EXPECT_EQ(run.status, 1) << c.name;
        EXPECT_NE(run.stderrText.find("Is a directory"), std::string::npos) << run.stderrText;
        EXPECT_EQ(ReadFile(c.outputIsFolder ? energy : output), "precious") << c.name;
        EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"energy.png", "out.png"}))
            << c.name;
    }
    // With both new, a failure leaves neither.
    TempDir folder;
    ASSERT_EQ(::mkdir((folder / "out.png").c_str(), 0755), 0);
    EXPECT_EQ(
        RunCli({SamplePath("chelsea.png"), folder / "out.png", "--energy", folder / "energy.png"})
            .status,
        1);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{"out.png"});
}

TEST(CliOptions, GnuConventions)
{
    TempDir folder;
    const std::string chelsea = SamplePath("chelsea.png");
    // Unique abbreviations, --opt=value and --opt value, options after the arguments.
    const CliResult run = RunCli({"--wid=440", chelsea, "--hei", "290", folder / "o.png"});
    ASSERT_EQ(run.status, 0) << run.stderrText;
    const RgbPicture out = ReadPicture(folder / "o.png");
    EXPECT_EQ(out.width, 440);
    EXPECT_EQ(out.height, 290);
    // After --, everything is an argument.
    const CliResult ended = RunCli({chelsea, folder / "p.png", "--", "--width"});
    EXPECT_EQ(ended.status, 2);
    EXPECT_NE(ended.stderrText.find("too many arguments: --width"), std::string::npos);
}

}  // namespace
