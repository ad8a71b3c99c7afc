// SPDX-License-Identifier: GPL-3.0-or-later
// Photos in the main window: Save keeps what a photo carries (opened upright by its EXIF
// orientation, saved with EXIF corrected, XMP, its colour profile and its JPEG quality), and a
// format that cannot hold the metadata saves the picture and says so in the status bar.
// exiftool and ImageMagick make the photos and judge the results.
#include <cstdlib>

#include <wx/file.h>
#include <wx/statusbr.h>

#include "gui_test_support.h"
#include "main_frame.h"
#include "main_frame_ids.h"

namespace {

// A minimal well-formed ICC profile: header (display class, RGB to XYZ) and one text tag.
std::string TestProfile()
{
    std::string profile(128, '\0');
    profile.replace(4, 4, "none");
    profile.replace(8, 4, std::string("\x02\x10\0\0", 4));
    profile.replace(12, 12, "mntrRGB XYZ ");
    profile.replace(36, 4, "acsp");
    profile += std::string("\0\0\0\1cprt\0\0\0\x90\0\0\0\x0e", 16) +
               std::string("text\0\0\0\0Kerv\0\0", 14);
    profile[3] = static_cast<char>(profile.size());
    return profile;
}

}  // namespace

class PhotoFilesTest : public GuiTest {};

TEST_F(PhotoFilesTest, AnOrientedPhotoIsSavedUprightWithItsMetadataAndQuality)
{
    const std::string folder(work.fn_str());
    const std::string photo = folder + "/phone.jpg";
    wxFile(wxString(folder + "/profile.icc"), wxFile::write)
        .Write(TestProfile().data(), TestProfile().size());
    WriteTestPicture(wxString(folder + "/upright.png"), 90, 60, 3);
    ASSERT_EQ(
        std::system(("convert '" + folder + "/upright.png' -rotate -90 -quality 77 '" + photo +
                     "' && exiftool -q -q -overwrite_original -Orientation#=6 " +
                     "-Make=KervTest -ExifImageWidth=60 -ExifImageHeight=90 " +
                     "-XMP-dc:Title=Cup '-ICC_Profile<=" + folder + "/profile.icc' '" + photo + "'")
                        .c_str()),
        0);
    CMainFrame* frame = MakeFrame();
    OpenThroughDialog(frame, wxString(photo));

    const std::string saved = folder + "/saved.jpg";
    wxTEST_DIALOG(SendMenu(frame, ID_MENU_SAVE), ExpectFileDialog(wxString(saved)));
    EXPECT_EQ(CommandOutput("exiftool -q -q -s3 -n -ImageSize -Orientation -ExifImageWidth "
                            "-ExifImageHeight -Make -XMP-dc:Title '" +
                            saved + "'"),
              "90 60\n1\n90\n60\nKervTest\nCup");
    EXPECT_EQ(CommandOutput("exiftool -b -ICC_Profile '" + saved + "'"), TestProfile());
    EXPECT_EQ(CommandOutput("identify -format %Q '" + saved + "'"), "77");
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0), "");

    const std::string bitmap = folder + "/saved.bmp";
    wxTEST_DIALOG(SendMenu(frame, ID_MENU_SAVE), ExpectFileDialog(wxString(bitmap)));
    EXPECT_TRUE(wxFileExists(wxString(bitmap)));
    EXPECT_EQ(frame->GetStatusBar()->GetStatusText(0),
              "Saved without some of the original's metadata: EXIF, XMP, colour profile not "
              "kept: the output format cannot hold them");
}
