// SPDX-License-Identifier: GPL-3.0-or-later
// kerv-cli's failures: the exit status, one error line naming the file and the reason, and
// nothing written (an existing output is left as it was).
#include <gtest/gtest.h>

#include <wx/image.h>

#include "cli_runner.h"

namespace {

struct FailureCase {
    const char* name;
    std::vector<std::string> arguments;  // "{dir}" stands for the scratch folder
    int status;
    const char* mentions;  // a word the error line must contain
};

std::string Expand(const std::string& argument, const TempDir& folder)
{
    std::string expanded = argument;
    const size_t at = expanded.find("{dir}");
    if (at != std::string::npos)
        expanded.replace(at, 5, folder.Path());
    return expanded;
}

// The scratch folder's fixtures: a picture with alpha, a text file named like a picture, a mask
// of the wrong size, and a precious existing output.
void MakeFixtures(const TempDir& folder)
{
    wxImage alpha(8, 8);
    alpha.InitAlpha();
    alpha.SetAlpha(3, 3, 128);
    ASSERT_TRUE(alpha.SaveFile(folder / "alpha.png"));
    WriteFile(folder / "text.png", "not a picture at all\n");
    ASSERT_TRUE(wxImage(10, 10).SaveFile(folder / "small-mask.bmp"));
    ASSERT_TRUE(wxImage(600, 10).SaveFile(folder / "low-mask.bmp"));
    WriteFile(folder / "out.png", "precious");
}

TEST(CliFailures, EachHasItsStatusAnErrorLineAndWritesNothing)
{
    const std::string coffee = SamplePath("coffee.png");
    const TempDir shared;
    const std::string clear = shared / "clear.gif";  // a picture with a transparent colour
    ASSERT_EQ(
        CommandOutput("convert -size 8x8 xc:white -fill red -draw 'point 3,3' -transparent red '" +
                      clear + "' && echo made"),
        "made");
    const std::string out = "{dir}/out.png";
    const std::vector<FailureCase> cases = {
        {"unknown option", {"--frobnicate", coffee, out}, 2, "--frobnicate"},
        {"missing output", {coffee}, 2, "OUTPUT"},
        {"missing value", {coffee, out, "--width"}, 2, "--width"},
        {"malformed width", {coffee, out, "--width", "12x"}, 2, "12x"},
        {"percent sign alone", {coffee, out, "--width", "%"}, 2, "--width"},
        {"negative height", {coffee, out, "--height", "-5"}, 2, "-5"},
        {"zero width", {coffee, out, "--width", "0"}, 2, "below 1 pixel"},
        {"zero percent", {coffee, out, "--height", "0%"}, 2, "below 1 pixel"},
        {"aspect to zero", {coffee, out, "--width", "1", "--keep-aspect"}, 2, "below 1 pixel"},
        {"over the size limit", {coffee, out, "--width", "40000"}, 2, "limit"},
        {"over the pixel limit",
         {coffee, out, "--width", "3000%", "--height", "3000%"},
         2,
         "limit"},
        {"aspect without a side", {coffee, out, "--keep-aspect"}, 2, "--keep-aspect"},
        {"malformed thread count", {coffee, out, "--threads", "3"}, 2, "--threads"},
        {"too many arguments", {coffee, out, "extra"}, 2, "extra"},
        {"missing input", {"{dir}/none.png", out, "--width", "10"}, 1, "none.png"},
        {"not a picture", {"{dir}/text.png", out, "--width", "10"}, 1, "text.png"},
        {"alpha channel", {"{dir}/alpha.png", out, "--width", "4"}, 1, "alpha"},
        {"mask of another size",
         {coffee, out, "--mask", "{dir}/small-mask.bmp"},
         1,
         "small-mask.bmp"},
        {"mask of another height",
         {coffee, out, "--mask", "{dir}/low-mask.bmp"},
         1,
         "low-mask.bmp"},
        {"unreadable mask", {coffee, out, "--mask", "{dir}/text.png"}, 1, "text.png"},
        {"missing mask", {coffee, out, "--mask", "{dir}/nomask.bmp"}, 1, "nomask.bmp"},
        {"no handler for the extension", {coffee, "{dir}/out.xyz", "--width", "590"}, 1, "out.xyz"},
        {"no handler for the energy file", {coffee, out, "--energy", "{dir}/e.doc"}, 1, "e.doc"},
        {"output folder missing",
         {coffee, "{dir}/no/such/out.png", "--width", "590"},
         1,
         "out.png"},
        {"read-only output format", {coffee, "{dir}/out.gif"}, 1, "never written"},
        {"grey output format", {coffee, "{dir}/out.pgm"}, 1, ".ppm"},
        {"directory as input", {"{dir}", out}, 1, "directory"},
        {"transparent colour", {clear, out}, 1, "transparent"},
        {"repeated width", {coffee, out, "--width", "5", "--wid=6"}, 2, "twice"},
        {"ambiguous abbreviation", {coffee, out, "--q"}, 2, "ambiguous"},
        {"flag with a value", {coffee, out, "--quiet=1"}, 2, "takes no value"},
        {"unknown short option", {coffee, out, "-x"}, 2, "-x"},
        {"standard output without a format", {coffee, "-"}, 2, "--format"},
        {"format with a named output", {coffee, "{dir}/o.png", "--format", "png"}, 2, "--format"},
        {"quality over 100", {coffee, out, "--quality", "101"}, 2, "101"},
        {"no jobs", {"-j", "0", "-o", "{dir}", coffee}, 2, "--jobs"},
        {"folder and suffix", {"-o", "{dir}", "--suffix", "_k", coffee}, 2, "exclude"},
        {"standard input in a batch", {"-o", "{dir}", "-", coffee}, 2, "batch"},
        {"a mask for several inputs",
         {"-o", "{dir}", "--mask", "{dir}/small-mask.bmp", coffee, coffee},
         2,
         "single"},
        {"batch folder missing", {"-o", "{dir}/none", coffee}, 1, "none"},
        {"the encoder's own reason", {coffee, "{dir}/out.ico"}, 1, "too tall for an icon"},
        {"energy folder missing",
         {coffee, out, "--energy", "{dir}/missing/energy.png"},
         1,
         "energy.png"},
        {"output folder is a file",
         {coffee, "{dir}/text.png/out.png", "--width", "590"},
         1,
         "out.png"},
    };
    for (const FailureCase& failure : cases) {
        TempDir folder;
        MakeFixtures(folder);
        const std::vector<std::string> before = FolderEntries(folder.Path());
        std::vector<std::string> arguments;
        for (const std::string& argument : failure.arguments)
            arguments.push_back(Expand(argument, folder));

        const CliResult run = RunCli(arguments);
        EXPECT_EQ(run.status, failure.status) << failure.name << ": " << run.stderrText;
        EXPECT_EQ(run.stderrText.rfind("kerv-cli: error: ", 0), 0u)
            << failure.name << ": " << run.stderrText;
        EXPECT_EQ(std::count(run.stderrText.begin(), run.stderrText.end(), '\n'), 1)
            << failure.name;
        EXPECT_NE(run.stderrText.find(failure.mentions), std::string::npos)
            << failure.name << ": " << run.stderrText;
        EXPECT_EQ(FolderEntries(folder.Path()), before)
            << failure.name << " left files behind or removed some";
        EXPECT_EQ(ReadFile(folder / "out.png"), "precious")
            << failure.name << " damaged the existing output";
    }
}

}  // namespace
