// SPDX-License-Identifier: GPL-3.0-or-later
// wxFastImage: shared data, the in-place size change, loading through its own handler list.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <wx/log.h>

#include "fast_image.h"
#include "test_files.h"

namespace {

wxFastImage Filled(int width, int height, unsigned char value)
{
    wxFastImage image(width, height, false);
    std::memset(image.GetData(), value, static_cast<size_t>(width) * height * 3);
    return image;
}

// Copies and views share one buffer: a size change in place reaches every holder, new data only
// the image given it (which keeps its mask colour), and an empty image takes none.
TEST(FastImage, SharedDataChangesSizeInPlaceForEveryHolderAndNewDataOnlyForOne)
{
    wxFastImage image = Filled(4, 6, 9);
    const wxFastImage shared = image;
    const wxImage view = image.AsImage();
    unsigned char* buffer = image.GetData();
    image.SetNewSize(4, 5);
    EXPECT_EQ(image.GetData(), buffer);
    EXPECT_EQ(image.GetHeight(), 5);
    EXPECT_EQ(shared.GetHeight(), 5);
    EXPECT_EQ(shared.GetData(), buffer);
    EXPECT_EQ(view.GetData(), buffer);
    image.GetData()[0] = 1;
    EXPECT_EQ(view.GetRed(0, 0), 1);

    image.SetMaskColour(1, 2, 3);
    auto* fresh = static_cast<unsigned char*>(std::calloc(3 * 3 * 3, 1));
    image.SetData(fresh, 3, 3);
    EXPECT_EQ(image.GetData(), fresh);
    EXPECT_EQ(image.GetWidth(), 3);
    EXPECT_TRUE(image.HasMask());
    EXPECT_EQ(image.GetMaskBlue(), 3);
    EXPECT_EQ(shared.GetWidth(), 4);
    EXPECT_EQ(shared.GetData(), buffer);

    wxFastImage empty;
    unsigned char bytes[12] = {};
    empty.SetData(bytes, true);
    EXPECT_FALSE(empty.IsOk());
    EXPECT_EQ(empty.GetData(), nullptr);
    EXPECT_EQ(empty.GetWidth(), 0);
}

TEST(FastImage, GreyscaleRoundsAndKeepsTheMaskColour)
{
    wxFastImage image(2, 1, true);
    unsigned char* p = image.GetData();
    p[0] = 200;
    p[1] = 100;
    p[2] = 50;  // 59.8 + 58.7 + 5.7 + 0.5 = 124.7 -> 124
    p[3] = 10;
    p[4] = 20;
    p[5] = 30;  // the mask colour
    image.SetMaskColour(10, 20, 30);
    const wxFastImage grey = image.ConvertToGreyscale(0.299, 0.587, 0.114);
    EXPECT_EQ(grey.GetData()[0], 124);
    EXPECT_EQ(grey.GetData()[2], 124);
    EXPECT_EQ(grey.GetData()[3], 10);
    EXPECT_EQ(grey.GetData()[5], 30);
    // The levels the gradient reads: the grey picture's first channel.
    const std::vector<unsigned char> levels = image.GreyLevels(0.299, 0.587, 0.114);
    EXPECT_EQ(levels, (std::vector<unsigned char>{124, 10}));
}

// Loading goes through the container's own reader list and copies the picture; a missing file
// leaves the picture that was there, one that no reader reads leaves none.
TEST(FastImage, LoadsThroughItsOwnListAndAFailureKeepsThePictureOnlyWhenTheFileIsMissing)
{
    TempDir folder;
    wxImage written(4, 2);
    written.SetRGB(3, 1, 10, 20, 30);
    ASSERT_TRUE(written.SaveFile(folder / "picture.png"));
    wxFastImage image;
    ASSERT_TRUE(image.LoadFile(folder / "picture.png"));
    ASSERT_TRUE(image.LoadFile(folder / "picture.png", wxBITMAP_TYPE_PNG));
    EXPECT_EQ(image.GetWidth(), 4);
    EXPECT_EQ(image.GetHeight(), 2);
    EXPECT_EQ(image.GetData()[(1 * 4 + 3) * 3 + 2], 30);
    EXPECT_EQ(image.GetAlpha(), nullptr);

    wxLogNull quiet;
    unsigned char* buffer = image.GetData();
    EXPECT_FALSE(image.LoadFile(folder / "no-such-picture.png"));
    EXPECT_TRUE(image.IsOk());
    EXPECT_EQ(image.GetData(), buffer);
    WriteFile(folder / "text.png", "this is not a picture\n");
    EXPECT_FALSE(image.LoadFile(folder / "text.png"));
    EXPECT_FALSE(image.IsOk());
    EXPECT_FALSE(image.LoadFile(folder / "text.png", wxBITMAP_TYPE_PNG));
}

// Counts the log messages of a scope.
class CountingLog : public wxLog {
public:
    CountingLog() : previous_(wxLog::SetActiveTarget(this)) {}
    ~CountingLog() override { wxLog::SetActiveTarget(previous_); }
    int count = 0;

protected:
    void DoLogRecord(wxLogLevel, const wxString&, const wxLogRecordInfo&) override { ++count; }

private:
    wxLog* previous_;
};

TEST(FastImage, ReadingAPictureWellSaysNothingAndReadingABrokenOneSaysWhy)
{
    {
        CountingLog log;  // this PNG carries a colour profile that the reader warns about
        wxFastImage photo;
        ASSERT_TRUE(photo.LoadFile(wxString(KERV_SAMPLES_DIR) + "/chelsea.png"));
        EXPECT_EQ(log.count, 0);
    }
    TempDir folder;
    WriteFile(folder / "broken.png", std::string("\x89PNG\r\n\x1a\n", 8) + "garbage, not chunks");
    CountingLog log;
    wxFastImage broken;
    EXPECT_FALSE(broken.LoadFile(folder / "broken.png"));
    EXPECT_GT(log.count, 0);
}

class CountingHandler : public wxImageHandler {
public:
    explicit CountingHandler(int& deletions) : deletions_(deletions)
    {
        SetType(wxBITMAP_TYPE_PNG);
        SetName("second PNG handler");
    }
    ~CountingHandler() override { ++deletions_; }

protected:
    bool DoCanRead(wxInputStream&) override { return false; }

private:
    int& deletions_;
};

TEST(FastImage, AddingASecondHandlerOfTheSameTypeDeletesIt)
{
    wxImageHandler* first = wxFastImage::FindHandler(wxBITMAP_TYPE_PNG);
    ASSERT_NE(first, nullptr);
    const size_t count = wxFastImage::sm_handlers.GetCount();
    int deletions = 0;
    wxFastImage::AddHandler(new CountingHandler(deletions));
    EXPECT_EQ(deletions, 1);
    EXPECT_EQ(wxFastImage::sm_handlers.GetCount(), count);
    EXPECT_EQ(wxFastImage::FindHandler(wxBITMAP_TYPE_PNG), first);
}

}  // namespace
