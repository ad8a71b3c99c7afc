// SPDX-License-Identifier: GPL-3.0-or-later
// The "Protect/Delete" group: painting on and off with the lose-mask question, the brush size,
// store and recall, save and load, and clear. Masks never change size behind the picture's back.
#include <wx/bitmap.h>
#include <wx/ffile.h>

#include "frame_access.h"
#include "gui_test_support.h"

namespace {

const char* const kLoseMaskText = "Mask will be lost\nContinue without Storing?";
const char* const kOtherSizeText = "The Mask was created with a different image or image size";

class MaskCommandsTest : public GuiTest {
protected:
    // A window with the coffee photo (600 x 400) open and painting on.
    CMainFrame* OpenCoffeeAndPaint()
    {
        CMainFrame* frame = OpenCoffee();
        SetChecked(Ui(frame).checkEnableMask, true);
        return frame;
    }

    void ProtectStroke(CMainFrame* frame, wxPoint from, wxPoint to)
    {
        Ui(frame).radioProtect->SetValue(true);
        PaintStroke(frame, from, to);
    }
};

}  // namespace

// Which controls painting unlocks is tested with the Kerv run; here the fresh mask. Store,
// recall and load put masks on the canvas without marking them as worked on, so switching off
// asks nothing; only a stroke makes it ask (tested next).
TEST_F(MaskCommandsTest, EnablingPaintingGivesABlackMaskAndTheBrushAndUntouchedDisablingAsksNothing)
{
    CMainFrame* frame = OpenCoffeeAndPaint();
    EXPECT_TRUE(Ui(frame).paintPanel->paintEnabled);
    const wxImage mask = MaskImage(frame);
    EXPECT_EQ(mask.GetSize(), wxSize(600, 400));
    EXPECT_EQ(CountPixels(mask, 0, 0, 0), 600 * 400);
    // The brush slider sets the canvas's brush.
    Ui(frame).sliderBrush->SetValue(37);
    wxScrollEvent scroll(wxEVT_SCROLL_THUMBRELEASE, Ui(frame).sliderBrush->GetId(), 37);
    scroll.SetEventObject(Ui(frame).sliderBrush);
    Ui(frame).sliderBrush->GetEventHandler()->ProcessEvent(scroll);
    EXPECT_EQ(Ui(frame).textBrushSize->GetValue(), "37");
    EXPECT_EQ(Ui(frame).paintPanel->brushSize, 37);

    Click(Ui(frame).btnStoreMask);
    Click(Ui(frame).btnRecallMask);
    const wxString file = work + "/black.bmp";
    ASSERT_TRUE(wxImage(600, 400).SaveFile(file));
    wxTEST_DIALOG(Click(Ui(frame).btnLoadMask), ExpectFileDialog(file, wxString(), "Load Mask"));
    EXPECT_FALSE(Ui(frame).paintPanel->maskChanged);
    {
        wxTestingModalHook noDialogMayAppear(__FILE__, __LINE__);
        SetChecked(Ui(frame).checkEnableMask, false);
    }
    EXPECT_FALSE(Ui(frame).paintPanel->paintEnabled);
}

TEST_F(MaskCommandsTest, SwitchingOffAPaintedMaskAsksAndOnlyYesEmptiesItAndUnlocksTheSize)
{
    struct Case {
        long stored;  // the standing answer, -1: none
        int answer;   // the answer given when asked
        bool off;     // painting is off afterwards
    };
    // How a ticked answer is kept is the question's own (tested with it); here the window's key.
    for (const Case& c : {Case{-1, 0, false}, Case{-1, 1, true}, Case{1, 0, true}}) {
        SCOPED_TRACE(::testing::Message() << c.stored << " " << c.answer);
        wxConfigBase::Get()->DeleteEntry("/Confirmations/LoseMask");
        if (c.stored != -1)
            wxConfigBase::Get()->Write("/Confirmations/LoseMask", c.stored);
        CMainFrame* frame = OpenCoffeeAndPaint();
        ProtectStroke(frame, wxPoint(100, 100), wxPoint(250, 150));
        const wxImage painted = MaskImage(frame);
        ASSERT_GT(CountPixels(painted, 255, 0, 0), 500);
        if (c.stored == -1) {
            wxTEST_DIALOG(
                SetChecked(Ui(frame).checkEnableMask, false),
                wxExpectModal<CDontShowDialog>(c.answer, false, kLoseMaskText, "Warning"));
        } else {
            wxTestingModalHook noDialogMayAppear(__FILE__, __LINE__);
            SetChecked(Ui(frame).checkEnableMask, false);
        }
        EXPECT_EQ(Ui(frame).checkEnableMask->GetValue(), !c.off);
        EXPECT_EQ(Ui(frame).paintPanel->paintEnabled, !c.off);
        EXPECT_EQ(Ui(frame).btnStoreMask->IsEnabled(), !c.off);
        EXPECT_EQ(Ui(frame).sliderWidth->IsEnabled(), c.off);
        if (c.off)
            EXPECT_EQ(CountPixels(MaskImage(frame), 0, 0, 0), 600 * 400);
        else
            EXPECT_TRUE(SamePixels(MaskImage(frame), painted));
        EXPECT_EQ(wxConfigBase::Get()->ReadLong("/Confirmations/LoseMask", -1), c.stored);
        CloseQuietly(frame);
    }
}

// Recall with nothing stored, or after the size changed, warns and keeps the mask; Clear asks
// nothing and leaves the stored.
TEST_F(MaskCommandsTest, StorePaintRecallBringsTheStoredMaskBackUnchangedAtItsSize)
{
    CMainFrame* frame = OpenCoffeeAndPaint();
    ProtectStroke(frame, wxPoint(60, 60), wxPoint(200, 80));
    const wxImage stored = MaskImage(frame);
    ASSERT_GT(CountPixels(stored, 255, 0, 0), 300);
    wxTEST_DIALOG(Click(Ui(frame).btnRecallMask),
                  ExpectMessageBox(kOtherSizeText, "Can not recall mask"));
    EXPECT_TRUE(SamePixels(MaskImage(frame), stored));
    Click(Ui(frame).btnStoreMask);

    Ui(frame).radioDelete->SetValue(true);
    PaintStroke(frame, wxPoint(100, 200), wxPoint(300, 250));
    Ui(frame).radioErase->SetValue(true);
    PaintStroke(frame, wxPoint(60, 60), wxPoint(200, 80));
    ASSERT_FALSE(SamePixels(MaskImage(frame), stored));
    {
        wxTestingModalHook noDialogMayAppear(__FILE__, __LINE__);
        Click(Ui(frame).btnClearMask);
    }
    EXPECT_EQ(CountPixels(MaskImage(frame), 0, 0, 0), 600 * 400);
    // Painting after the store and clearing never reached the stored mask.
    EXPECT_TRUE(SamePixels(Ui(frame).bmpStoredMask.ConvertToImage(), stored));

    Click(Ui(frame).btnRecallMask);
    EXPECT_TRUE(SamePixels(MaskImage(frame), stored));
    // The recalled mask can be painted on without changing the stored one.
    Ui(frame).radioDelete->SetValue(true);
    PaintStroke(frame, wxPoint(10, 10), wxPoint(40, 40));
    EXPECT_TRUE(SamePixels(Ui(frame).bmpStoredMask.ConvertToImage(), stored));

    // After a size change the stored mask no longer fits.
    Ui(frame).checkAnimated->SetValue(false);
    SetTargets(frame, 580, 400);
    Click(Ui(frame).btnKerv);
    ASSERT_EQ(frame->Session().CurrentWidth(), 580);
    wxTEST_DIALOG(Click(Ui(frame).btnRecallMask),
                  ExpectMessageBox(kOtherSizeText, "Can not recall mask"));
    EXPECT_EQ(MaskImage(frame).GetSize(), wxSize(580, 400));
    EXPECT_EQ(CountPixels(MaskImage(frame), 0, 0, 0), 580 * 400);
}

// Save proposes the mask's name and writes its colours unchanged; a load of the picture's size
// restores the mask, one of another size or of no picture is refused and keeps it.
TEST_F(MaskCommandsTest, SaveAndLoadKeepTheMaskAndALoadOfAnotherSizeOrNoPictureIsRefused)
{
    CMainFrame* frame = OpenCoffeeAndPaint();
    ProtectStroke(frame, wxPoint(60, 60), wxPoint(200, 80));
    Ui(frame).radioDelete->SetValue(true);
    PaintStroke(frame, wxPoint(250, 200), wxPoint(350, 220));
    const wxImage painted = MaskImage(frame);

    const wxString file = work + "/coffee_mask.bmp";
    wxTEST_DIALOG(Click(Ui(frame).btnSaveMask), ExpectFileDialog(file, file, "Save Mask"));
    EXPECT_TRUE(SamePixels(wxImage(file), painted));
    Click(Ui(frame).btnClearMask);
    ASSERT_EQ(CountPixels(MaskImage(frame), 255, 0, 0), 0);
    wxTEST_DIALOG(Click(Ui(frame).btnLoadMask), ExpectFileDialog(file, wxString(), "Load Mask"));
    EXPECT_TRUE(SamePixels(MaskImage(frame), painted));

    const wxString narrow = work + "/narrow.bmp", low = work + "/low.bmp";
    ASSERT_TRUE(wxImage(599, 400).SaveFile(narrow));
    ASSERT_TRUE(wxImage(600, 399).SaveFile(low));
    const wxString notes = work + "/notes.bmp";
    wxFFile(notes, "w").Write("not a picture\n");
    for (const wxString& other : {narrow, low})
        wxTEST_DIALOG(Click(Ui(frame).btnLoadMask), ExpectFileDialog(other),
                      ExpectMessageBox(kOtherSizeText, "Can not recall mask"));
    wxTEST_DIALOG(Click(Ui(frame).btnLoadMask), ExpectFileDialog(notes),
                  ExpectMessageBox("Error Loading Image", "Error"));
    EXPECT_TRUE(SamePixels(MaskImage(frame), painted));

    // Without a picture there is no mask to save.
    CMainFrame* empty = MakeFrame();
    SetChecked(Ui(empty).checkEnableMask, true);
    wxTEST_DIALOG(Click(Ui(empty).btnSaveMask), ExpectMessageBox("No Mask defined", "Error"));
}
