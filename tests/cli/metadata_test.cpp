// SPDX-License-Identifier: GPL-3.0-or-later
// What a photo carries besides its pixels, through kerv-cli: the EXIF orientation applied, EXIF
// (corrected), XMP, the colour profile and the resolution kept, the JPEG quality followed.
// ImageMagick makes the inputs and judges the JPEG quality, exiftool writes and reads the
// metadata: both are independent of the code under test.
#include <gtest/gtest.h>

#include <wx/image.h>

#include "cli_runner.h"
#include "reference_carver.h"

namespace {

// A small but well-formed ICC header (display class, RGB to XYZ) and one tag, so that readers
// take it for a profile; the bytes are compared as they are.
std::string TestProfile()
{
    std::string profile(128, '\0');
    const auto put32 = [&](size_t at, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            profile[at + i] = static_cast<char>(value >> (24 - 8 * i));
    };
    profile.replace(4, 4, "none");
    put32(8, 0x02100000);
    profile.replace(12, 12, "mntrRGB XYZ ");
    profile.replace(36, 4, "acsp");
    profile += std::string("\0\0\0\1cprt\0\0\0\x90\0\0\0\x0e", 16) +
               std::string("text\0\0\0\0Kerv\0\0", 14);
    put32(0, static_cast<uint32_t>(profile.size()));
    return profile;
}

void RunShell(const std::string& command)
{
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// `upright` stored turned by ImageMagick's `ops` and tagged with orientation, so that a
// viewer applying the tag shows `upright` as it is.
std::string StoredTurned(const std::string& upright, const TempDir& folder, const std::string& name,
                         const std::string& ops, int orientation, const std::string& extra = "")
{
    const std::string path = folder / name;
    RunShell("convert '" + upright + "' " + ops + " '" + path + "'");
    RunShell("exiftool -q -q -overwrite_original -Orientation#=" + std::to_string(orientation) +
             " " + extra + " '" + path + "'");
    return path;
}

TEST(CliMetadata, EveryOrientationIsTurnedUprightAndTaggedNormal)
{
    // The stored pixels for each tag, by the inverse of what the tag asks a viewer to do.
    const std::vector<std::pair<int, std::string>> cases = {
        {1, ""},           {2, "-flop"},       {3, "-rotate 180"}, {4, "-flip"},
        {5, "-transpose"}, {6, "-rotate -90"}, {7, "-transverse"}, {8, "-rotate 90"}};
    TempDir folder;
    const std::string original = folder / "upright.png";
    RunShell("convert '" + SamplePath("coffee.png") + "' -resize 30x20! '" + original + "'");
    const RgbPicture upright = ReadPicture(original);
    for (const auto& [orientation, ops] : cases) {
        const std::string stored = StoredTurned(original, folder, "stored.png", ops, orientation);
        const CliResult run = RunCli({stored, folder / "out.png"});
        ASSERT_EQ(run.status, 0) << orientation << ": " << run.stderrText;
        const RgbPicture out = ReadPicture(folder / "out.png");
        EXPECT_EQ(out.width, upright.width) << orientation;
        EXPECT_TRUE(out.rgb == upright.rgb) << "orientation " << orientation << " not upright";
        EXPECT_EQ(ExifTool(folder / "out.png", {"Orientation"})["Orientation"], "1") << orientation;
    }
}

// A phone photo: stored sideways with orientation 6, a colour profile, EXIF with its stored
// dimensions and a thumbnail, XMP, written at quality 83. Carved to 500 wide and saved as JPEG,
// PNG and TIFF, it comes out upright with everything kept and corrected, and without the
// thumbnail of the picture it no longer is.
TEST(CliMetadata, APhonePhotoKeepsItsMetadataInEveryFormatThatHoldsIt)
{
    TempDir folder;
    WriteFile(folder / "profile.icc", TestProfile());
    RunShell("convert '" + SamplePath("coffee.png") + "' -resize 40x60! '" +
             (folder / "thumb.jpg") + "'");
    const std::string photo = StoredTurned(
        SamplePath("coffee.png"), folder, "phone.jpg", "-rotate -90 -quality 83", 6,
        "-Make=KervTest -ExifImageWidth=400 -ExifImageHeight=600 "
        "-XMP-dc:Title=Cup '-ThumbnailImage<=" +
            (folder / "thumb.jpg") + "' '-ICC_Profile<=" + (folder / "profile.icc") + "'");
    ASSERT_NE(ExifTool(photo, {"ThumbnailImage"}).count("ThumbnailImage"), 0u);
    ASSERT_EQ(CommandOutput("identify -format %Q '" + photo + "'"), "83");
    wxImage decoded(wxString::FromUTF8(photo));
    const reference::Carver expected = [&] {
        const RgbPicture upright = FromImage(decoded.Rotate90(true));
        reference::Carver carver(upright.rgb, upright.width, upright.height);
        for (int i = 0; i < 100; ++i)
            carver.SeamVert(true);
        return carver;
    }();

    for (const char* name : {"out.jpg", "out.png", "out.tif"}) {
        const std::string out = folder / name;
        const CliResult run = RunCli({photo, out, "--width", "500"});
        ASSERT_EQ(run.status, 0) << name << ": " << run.stderrText;
        EXPECT_EQ(run.stderrText, "") << name;
        const std::map<std::string, std::string> expectedTags = {
            {"ImageSize", "500 400"},   {"Orientation", "1"}, {"ExifImageWidth", "500"},
            {"ExifImageHeight", "400"}, {"Make", "KervTest"}, {"Title", "Cup"}};
        EXPECT_EQ(ExifTool(out, {"ImageSize", "Orientation", "ExifImageWidth", "ExifImageHeight",
                                 "Make", "XMP-dc:Title", "ThumbnailImage", "Warning"}),
                  expectedTags)
            << name;
        EXPECT_EQ(CommandOutput("exiftool -b -ICC_Profile '" + out + "'"), TestProfile()) << name;

        if (std::string(name) == "out.jpg") {
            EXPECT_EQ(CommandOutput("identify -format %Q '" + out + "'"), "83");
        } else {
            const RgbPicture carved = ReadPicture(out);
            EXPECT_TRUE(carved.rgb == expected.pixels) << name << ": not the upright carve";
        }
    }
}

TEST(CliMetadata, APngKeepsItsProfileItsExactResolutionAndItsXmp)
{
    TempDir folder;
    WriteFile(folder / "profile.icc", TestProfile());
    const std::string input = folder / "in.png";
    RunShell("convert '" + SamplePath("chelsea.png") + "' '" + input + "'");
    // 2835 pixels per metre (72.009 dpi) survives no round trip through whole dpi or per cm.
    RunShell(
        "exiftool -q -q -overwrite_original -PixelsPerUnitX=2835 -PixelsPerUnitY=2835 "
        "-PixelUnits=meters -XMP-dc:Title=Cat '-ICC_Profile<=" +
        (folder / "profile.icc") + "' '" + input + "'");
    const CliResult run = RunCli({input, folder / "out.png", "--height", "250"});
    ASSERT_EQ(run.status, 0) << run.stderrText;
    const std::string out = folder / "out.png";
    EXPECT_EQ(CommandOutput("exiftool -b -ICC_Profile '" + out + "'"), TestProfile());
    const std::map<std::string, std::string> expectedTags = {{"PixelsPerUnitX", "2835"},
                                                             {"PixelsPerUnitY", "2835"},
                                                             {"PixelUnits", "1"},
                                                             {"Title", "Cat"}};
    EXPECT_EQ(ExifTool(out, {"PixelsPerUnitX", "PixelsPerUnitY", "PixelUnits", "XMP-dc:Title",
                             "Warning"}),
              expectedTags);
}

TEST(CliMetadata, JpegQualityFollowsTheInputUnlessGiven)
{
    TempDir folder;
    struct Case {
        std::string input;  // made from chelsea.png by these convert options
        std::vector<std::string> options;
        std::string quality;  // as identify reports the result's
    };
    const std::vector<Case> cases = {
        {"-quality 23", {}, "23"}, {"-quality 50", {}, "50"},
        {"-quality 97", {}, "97"}, {"-quality 97", {"--quality", "40"}, "40"},
        {"PNG", {}, "92"},
    };
    for (const Case& c : cases) {
        const std::string input = folder / (c.input == "PNG" ? "in.png" : "in.jpg");
        RunShell("convert '" + SamplePath("chelsea.png") + "' " +
                 (c.input == "PNG" ? "" : c.input) + " '" + input + "'");
        std::vector<std::string> arguments = {input, folder / "out.jpg", "--width", "440"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const CliResult run = RunCli(arguments);
        ASSERT_EQ(run.status, 0) << c.input << ": " << run.stderrText;
        EXPECT_EQ(CommandOutput("identify -format %Q '" + (folder / "out.jpg") + "'"), c.quality)
            << c.input;
    }
}

TEST(CliMetadata, MetadataAFormatCannotHoldIsAWarningNotAFailure)
{
    TempDir folder;
    WriteFile(folder / "profile.icc", TestProfile());
    const std::string photo = StoredTurned(SamplePath("coffee.png"), folder, "in.jpg", "", 1,
                                           "'-ICC_Profile<=" + (folder / "profile.icc") + "'");
    const CliResult run = RunCli({photo, folder / "out.bmp", "--width", "590"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.stderrText, "kerv-cli: warning: '" + (folder / "out.bmp") +
                                  "': EXIF, colour profile not kept: the output format cannot "
                                  "hold them\n");
    EXPECT_EQ(ReadPicture(folder / "out.bmp").width, 590);
}

}  // namespace
