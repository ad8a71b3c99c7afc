// SPDX-License-Identifier: GPL-3.0-or-later
// kerv-cli against a hostile corpus (scripts/make-hostile-pictures.py over the fuzz seeds),
// each file as the picture and as the --mask: every run ends within 10 s with exit 0 and no
// error, or exit 1 and one error line; none dies of a signal, and none takes more memory than
// 64 MB plus 16 bytes a pixel of the picture it accepted (64 MB for a refused file).
// KERV_HOSTILE_PER_SEED sets the files per seed (default 8; 0 takes all) and KERV_HOSTILE_CLI
// another kerv-cli to measure; the table of outcomes is printed either way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "cli_runner.h"
#include "picture_header.h"

namespace {

// 10 s in an optimised build; a sanitizer build is several times slower, so its script may raise
// the limit through KERV_HOSTILE_SECONDS (what it checks there is memory safety, not speed).
int LimitSeconds()
{
    const char* text = std::getenv("KERV_HOSTILE_SECONDS");
    const int seconds = text ? std::atoi(text) : 0;
    return seconds > 0 ? seconds : 10;
}
constexpr long long kBaseBytes = 64LL << 20;
constexpr long long kBytesPerPixel = 16;

long long PixelsOf(const std::string& bmp)
{
    FileBytes bytes(bmp);
    const HeaderVerdict verdict = CheckPictureHeader(PictureFormat::kBmp, bytes);
    return verdict.Passed() ? verdict.width * verdict.height : 0;
}

struct Tally {
    int files = 0, accepted = 0, refused = 0, crashed = 0, hung = 0, overMemory = 0;
    long long worstPeak = 0;
};

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// Judges one run; returns what is wrong with it, or nothing.
std::string Judge(const CliResult& run, long long pixels, Tally& tally)
{
    tally.worstPeak = std::max(tally.worstPeak, run.peakBytes);
    if (run.hung)
        return ++tally.hung, "did not end within " + std::to_string(LimitSeconds()) + " s";
    if (run.status == -1)
        return ++tally.crashed, "died of a signal: " + run.stderrText;
    const size_t lines = std::count(run.stderrText.begin(), run.stderrText.end(), '\n');
    // A success may warn (metadata the output format cannot hold), never report an error.
    size_t warnings = 0;
    for (size_t at = 0; (at = run.stderrText.find("kerv-cli: warning: ", at)) != std::string::npos;
         ++at)
        ++warnings;
    if (run.status == 0 && warnings != lines)
        return ++tally.accepted, "succeeded with errors: " + run.stderrText;
    if (run.status == 1 && (lines != 1 || run.stderrText.rfind("kerv-cli: error: ", 0) != 0))
        return ++tally.refused, "exit 1 without exactly one error line: " + run.stderrText;
    if (run.status != 0 && run.status != 1)
        return ++tally.crashed, "exit " + std::to_string(run.status) + ": " + run.stderrText;
    ++(run.status == 0 ? tally.accepted : tally.refused);
    if (!kSanitized && run.peakBytes > kBaseBytes + kBytesPerPixel * pixels)
        return ++tally.overMemory, "took " + std::to_string(run.peakBytes >> 20) + " MB";
    return {};
}

std::string Format(const std::string& name)
{
    return name.substr(0, name.find('.'));
}

TEST(HostilePictures, EveryFileEndsInTimeWithExitZeroOrOneErrorLineWithinItsMemory)
{
    const char* perSeed = std::getenv("KERV_HOSTILE_PER_SEED");
    const char* other = std::getenv("KERV_HOSTILE_CLI");
    const std::string program = other && *other ? other : KERV_CLI;
    TempDir folder;
    const std::string corpus = folder / "corpus";
    const std::string generate = "python3 '" KERV_HOSTILE_SCRIPT "' '" KERV_HOSTILE_SEEDS "' '" +
                                 corpus + "' --per-seed " + (perSeed ? perSeed : "8") +
                                 " 2>/dev/null";
    ASSERT_EQ(std::system(generate.c_str()), 0);
    TempDir files;  // the runs' outputs
    const std::string base = files / "base.bmp";
    ASSERT_EQ(RunCli({KERV_HOSTILE_SEEDS "/bmp-24.bmp", base, "-q"}).status, 0);
    const long long basePixels = PixelsOf(base);

    std::map<std::string, Tally> tallies;
    const std::vector<std::string> names = FolderEntries(corpus);
    ASSERT_GT(names.size(), 100u);
    const std::string out = files / "out.bmp";
    for (const std::string& name : names) {
        const std::string path = corpus + "/" + name;
        Tally& tally = tallies[Format(name)];
        tally.files += 2;
        std::remove(out.c_str());
        const CliResult picture = RunProgram(program, {path, out, "-q"}, {}, LimitSeconds());
        const std::string pictureProblem =
            Judge(picture, picture.status == 0 ? PixelsOf(out) : 0, tally);
        EXPECT_EQ(pictureProblem, "") << name << " as the picture";
        const CliResult mask =
            RunProgram(program, {base, out, "-q", "--mask", path}, {}, LimitSeconds());
        EXPECT_EQ(Judge(mask, mask.status == 0 ? basePixels : 0, tally), "")
            << name << " as the mask";
    }
    std::printf("%-6s %6s %7s %7s %6s %5s %9s %9s\n", "format", "runs", "exit 0", "exit 1", "crash",
                "hang", "over mem", "worst MB");
    for (const auto& [format, t] : tallies)
        std::printf("%-6s %6d %7d %7d %6d %5d %9d %9lld\n", format.c_str(), t.files, t.accepted,
                    t.refused, t.crashed, t.hung, t.overMemory, t.worstPeak >> 20);
}

// A PNG declaring 12000 x 12000 pixels (over the pixel limit) is refused from its header: one
// error line naming the limit, exit 1, and no memory spent on the pixels.
TEST(HostilePictures, APictureOverTheLimitsIsRefusedFromItsHeader)
{
    TempDir folder;
    std::string png = ReadFile(KERV_HOSTILE_SEEDS "/png-rgb.png");
    const char side[4] = {0, 0, 0x2E, static_cast<char>(0xE0)};
    png.replace(16, 4, side, 4);
    png.replace(20, 4, side, 4);
    WriteFile(folder / "huge.png", png);
    const CliResult run = RunProgram(KERV_CLI, {folder / "huge.png", folder / "out.bmp"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.stderrText, "kerv-cli: error: cannot read '" + (folder / "huge.png") +
                                  "': the picture is 12000 x 12000 pixels, over the limit of 32000 "
                                  "pixels a side and 100000000 pixels in all\n");
    EXPECT_LT(run.peakBytes, kBaseBytes);
}

// Animated cursors are RIFF files, which a metadata reader may take for video: one followed by
// zeros (data a RIFF reader walks as empty chunks) ends within 10 s as the file without the tail.
TEST(HostilePictures, AnAnimatedCursorWithZerosAfterItEndsInTime)
{
    TempDir folder;
    const std::string ani = KERV_HOSTILE_SEEDS "/ani-no-sequence.ani";
    WriteFile(folder / "tail.ani", ReadFile(ani) + std::string(4096, '\0'));
    const CliResult plain = RunCli({ani, folder / "plain.bmp", "-q"});
    const CliResult tail =
        RunProgram(KERV_CLI, {folder / "tail.ani", folder / "out.bmp", "-q"}, {}, 10);
    EXPECT_FALSE(tail.hung);
    EXPECT_EQ(tail.status, plain.status);
}

}  // namespace
