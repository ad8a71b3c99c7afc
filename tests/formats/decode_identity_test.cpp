// SPDX-License-Identifier: GPL-3.0-or-later
// Every valid picture reads through the engine's road (header check, then our decoder or the
// toolkit's) exactly as the toolkit's own reader list reads it: size, pixels, alpha and mask
// colour. The files are those of pictures/ (hand-made for features the toolkit does not write:
// run-length data, colour maps, grey and 16-bit pixels, orientations, several frames; and
// written by other programs) and the same picture written by each of the toolkit's writers.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <wx/image.h>
#include <wx/log.h>

#include "fast_image.h"
#include "test_files.h"

namespace {

std::vector<std::string> Pictures()
{
    std::vector<std::string> paths;
    for (const auto& entry : std::filesystem::directory_iterator(KERV_PICTURES_DIR))
        paths.push_back(entry.path().string());
    return paths;
}

// The same picture written by each of the toolkit's writers of the reader list's formats.
std::vector<std::string> WrittenByTheToolkit(const std::string& folder)
{
    wxImage picture;
    if (!picture.LoadFile(KERV_SAMPLES_DIR "/coffee.png"))
        return {};
    picture.Rescale(37, 23);
    std::vector<std::string> paths;
    for (const char* extension : {"bmp", "png", "jpg", "tif", "pnm", "pcx", "tga", "ico", "cur"}) {
        const std::string path = folder + "/written." + extension;
        if (picture.SaveFile(wxString::FromUTF8(path)))
            paths.push_back(path);
    }
    wxImage eightBit = picture;
    eightBit.SetOption(wxIMAGE_OPTION_BMP_FORMAT, wxBMP_8BPP);
    if (eightBit.SaveFile(wxString::FromUTF8(folder + "/written-8.bmp")))
        paths.push_back(folder + "/written-8.bmp");
    return paths;
}

// Compares what both roads make of one file; an empty string when they agree.
std::string Difference(const std::string& path)
{
    wxLogNull quiet;
    wxImage expected;
    if (!expected.LoadFile(wxString::FromUTF8(path)))
        return "the toolkit cannot read it";
    wxFastImage ours;
    if (!ours.LoadFile(wxString::FromUTF8(path)))
        return "refused";
    const wxImage got = ours.AsImage();
    if (got.GetWidth() != expected.GetWidth() || got.GetHeight() != expected.GetHeight())
        return "size differs";
    const size_t pixels = static_cast<size_t>(got.GetWidth()) * got.GetHeight();
    if (std::memcmp(got.GetData(), expected.GetData(), pixels * 3) != 0)
        return "pixels differ";
    if (got.HasAlpha() != expected.HasAlpha())
        return "alpha present in one only";
    if (got.HasAlpha() && std::memcmp(got.GetAlpha(), expected.GetAlpha(), pixels) != 0)
        return "alpha differs";
    if (got.HasMask() != expected.HasMask() ||
        (got.HasMask() && (got.GetMaskRed() != expected.GetMaskRed() ||
                           got.GetMaskGreen() != expected.GetMaskGreen() ||
                           got.GetMaskBlue() != expected.GetMaskBlue())))
        return "mask colour differs";
    return "";
}

TEST(DecodeIdentity, EveryValidPictureReadsAsTheToolkitReadsIt)
{
    const TempDir folder;
    std::vector<std::string> paths = Pictures();
    const std::vector<std::string> written = WrittenByTheToolkit(folder.Path());
    EXPECT_GE(written.size(), 9u);
    paths.insert(paths.end(), written.begin(), written.end());
    ASSERT_GT(paths.size(), 50u);
    for (const std::string& path : paths) {
        // The toolkit's reader refuses PBM bitmaps; see below.
        if (path.find(".pbm") == std::string::npos) {
            EXPECT_EQ(Difference(path), "") << path;
        }
    }
}

// The same black-and-white picture as plain and raw PBM reads as the toolkit reads its BMP.
TEST(DecodeIdentity, BitmapsReadAsTheSamePictureInBmp)
{
    wxImage expected;
    ASSERT_TRUE(expected.LoadFile(KERV_PICTURES_DIR "/bmp-1.bmp"));
    const size_t bytes = static_cast<size_t>(expected.GetWidth()) * expected.GetHeight() * 3;
    for (const char* name : {"pnm-plain-bitmap.pbm", "pnm-raw-bitmap.pbm"}) {
        wxFastImage ours;
        ASSERT_TRUE(ours.LoadFile(std::string(KERV_PICTURES_DIR "/") + name)) << name;
        ASSERT_EQ(ours.GetWidth(), expected.GetWidth()) << name;
        ASSERT_EQ(ours.GetHeight(), expected.GetHeight()) << name;
        EXPECT_EQ(std::memcmp(ours.GetData(), expected.GetData(), bytes), 0) << name;
    }
}

}  // namespace
