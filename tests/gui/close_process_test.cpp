// SPDX-License-Identifier: GPL-3.0-or-later
// Kerv as a process, driven through the display, started with a picture on its command line (as
// a file manager's "Open with" starts it): a close asks about the changes or whether to quit,
// "No" keeps everything, "Yes" ends Kerv cleanly with its settings written; after a choice in the
// zoom box the shortcuts reach the window again; the undo and redo keys step through a carve.
#include <sys/wait.h>

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <utility>

#include "process_driver.h"

namespace {

const std::string kTitle = "Vandrel 0.67 - coffee.png";

// The first focusable control is the immediate width slider: Tab, then Left narrows the
// picture by one seam.
const std::string kNarrowByOneSeam = "Tab Left";

enum class CloseBy { AltF4, CloseBox };

struct CloseCase {
    const char* name;
    const char* settings;  // written to the settings file before the start
    bool modify;
    CloseBy closeBy;
    const char* question;  // the title of the question that the close asks
    const char* yes;       // the keys that answer it "Yes"
};

void PrintTo(const CloseCase& c, std::ostream* out)
{
    *out << c.name;
}

// Kerv started with the sample coffee.png (600×400) on its command line.
class CoffeeProcessTest : public KervProcessTest {
protected:
    std::string OpenCoffee()
    {
        // An unknown option is passed over; the picture is opened.
        Start({"--no-such-option", KERV_SAMPLES_DIR "/coffee.png"});
        return WaitForWindow(kTitle, 30);
    }

    // Copies the picture with Ctrl+C and reads its size from the clipboard ("600x400"), waiting
    // up to five seconds for the size expected.
    std::string CopiedSize(const std::string& window, const std::string& expected)
    {
        TypeKeys(window, "ctrl+c");
        std::string copied;
        WaitUntil(
            [&] {
                copied = RunCommand(
                    "xclip -selection clipboard -t image/png -o 2>/dev/null | "
                    "identify -format %wx%h -");
                return copied == expected;
            },
            Seconds(5));
        return copied;
    }
};

class CloseProcessTest : public CoffeeProcessTest, public ::testing::WithParamInterface<CloseCase> {
protected:
    void RequestClose(const std::string& window, CloseBy closeBy)
    {
        if (closeBy == CloseBy::AltF4)
            TypeKeys(window, "alt+F4");
        else
            ASSERT_TRUE(SendCloseRequest(window));
    }
};

// Keys typed into the zoom box, which has the keyboard after a click, each ending with a zoom
// taken: a choice from the list, or a typed value confirmed with Enter.
class ZoomBoxFocusTest : public CoffeeProcessTest,
                         public ::testing::WithParamInterface<const char*> {};

}  // namespace

TEST_P(CloseProcessTest, NoKeepsTheWindowAndYesEndsKerv)
{
    const CloseCase& c = GetParam();
    std::ofstream(root / "home" / ".Kerv") << c.settings;
    const std::string main = OpenCoffee();
    ASSERT_FALSE(main.empty()) << "no window titled " << kTitle;
    if (c.modify) {
        TypeKeys(main, kNarrowByOneSeam);
        // The close must find the carve done, however slowly Kerv runs.
        ASSERT_EQ(CopiedSize(main, "599x400"), "599x400") << "the slider did not carve";
    }

    RequestClose(main, c.closeBy);
    std::string question = WaitForWindow(c.question);
    ASSERT_FALSE(question.empty()) << "the close did not ask \"" << c.question << "\"";
    TypeKeys(question, "alt+n");
    EXPECT_TRUE(WaitUntilGone(c.question)) << "the question stayed after \"No\"";
    EXPECT_TRUE(IsRunning()) << "\"No\" ended Kerv";
    EXPECT_EQ(WaitForWindow(kTitle, 5), main);

    RequestClose(main, c.closeBy);
    question = WaitForWindow(c.question);
    ASSERT_FALSE(question.empty()) << "the second close did not ask \"" << c.question << "\"";
    TypeKeys(question, c.yes);
    int status = 0;
    ASSERT_TRUE(WaitForExit(15, &status)) << "Kerv did not end after \"Yes\"";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    std::stringstream settings;
    settings << std::ifstream(root / "home" / ".Kerv").rdbuf();
    EXPECT_NE(settings.str().find("[Look]"), std::string::npos) << settings.str();
    EXPECT_NE(settings.str().find("[Operation]"), std::string::npos) << settings.str();
}

constexpr const char* kAskAll = "[Confirmations]\nAutoUpdate=0\n";
constexpr const char* kQuitWithoutAsking = "[Confirmations]\nAutoUpdate=0\nOnExit=1\n";

INSTANTIATE_TEST_SUITE_P(Closes, CloseProcessTest,
                         // "Yes" is the default button of the question whether to quit.
                         ::testing::Values(CloseCase{"ModifiedAltF4", kAskAll, true, CloseBy::AltF4,
                                                     "Image not Saved", "alt+y"},
                                           CloseCase{"ModifiedCloseBoxWithStandingYes",
                                                     kQuitWithoutAsking, true, CloseBy::CloseBox,
                                                     "Image not Saved", "alt+y"},
                                           CloseCase{"UnmodifiedAltF4", kAskAll, false,
                                                     CloseBy::AltF4, "Question", "Return"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_P(ZoomBoxFocusTest, CtrlCCopiesThePictureAfterAZoomIsTaken)
{
    const std::string main = OpenCoffee();
    ASSERT_FALSE(main.empty()) << "no window titled " << kTitle;

    // The zoom box is the first control of the tool bar, after the three tools.
    RunCommand("xdotool windowfocus --sync " + main + " mousemove --window " + main +
               " 300 44 click 1");
    TypeKeys(main, GetParam());
    // With the box still holding the keyboard, Ctrl+C would copy its text, not the picture.
    EXPECT_EQ(CopiedSize(main, "600x400"), "600x400");
}

INSTANTIATE_TEST_SUITE_P(ChosenOrTyped, ZoomBoxFocusTest,
                         ::testing::Values("alt+Down Down Return", "ctrl+a 5 0 Return"),
                         [](const auto& info) { return info.index == 0 ? "Chosen" : "Typed"; });

TEST_F(CoffeeProcessTest, UndoAndRedoKeysStepThroughACarve)
{
    const std::string main = OpenCoffee();
    ASSERT_FALSE(main.empty()) << "no window titled " << kTitle;
    TypeKeys(main, kNarrowByOneSeam);
    ASSERT_EQ(CopiedSize(main, "599x400"), "599x400") << "the slider did not carve";

    const std::pair<const char*, const char*> steps[] = {{"ctrl+z", "600x400"},
                                                         {"ctrl+y", "599x400"},
                                                         {"ctrl+z", "600x400"},
                                                         {"ctrl+shift+z", "599x400"}};
    for (const auto& [keys, size] : steps) {
        TypeKeys(main, keys);
        EXPECT_EQ(CopiedSize(main, size), size) << "after " << keys;
    }
}
