// The whole road with the real programs: Kerv asks a loopback server through "Check for
// &Update", the user answers Yes, Kerv starts Kerv_upd_0.67 and closes; the updater verifies and
// installs the signed archive, and closing it starts the new main program, a stand-in shipped
// in the archive that leaves a marker.
#include "test_archive.h"
#include "test_process.h"
#include "test_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>

namespace
{

namespace fs = std::filesystem;
using std::chrono::seconds;

std::string Today()
{
    char text[16];
    std::time_t now = std::time(nullptr);
    std::strftime(text, sizeof text, "%Y-%m-%d", std::localtime(&now));
    return text;
}

}   // namespace

TEST(KervEndToEnd, CheckForUpdateAnsweredYesInstallsTheUpdateAndRestartsTheNewProgram)
{
    ASSERT_NE(std::getenv("DISPLAY"), nullptr) << "needs a display: run under xvfb-run";
    TempDir root;
    const std::string home = root / "home";
    const std::string bin = root / "bin";   // the program folder, also the working folder
    fs::create_directory(home);
    fs::create_directory(bin);
    fs::copy_file(KERV_PROGRAM, bin + "/Kerv");
    fs::copy_file(KERV_UPDATER_PROGRAM, bin + "/Kerv_upd_0.67");
    // Checked today: no start-up question, the check comes from the menu.
    WriteFile(home + "/.Kerv", "[Operation]\nLastCheckUpdate=" + Today() + "\n");

    TestServer server;
    const std::string archive =
        TarBuilder().File("Kerv", "#!/bin/sh\necho \"new $#\" > \"$(dirname \"$0\")/restarted\"\n", 0755).Gzip();
    server.Route("/kerv/kerv_version_lnx.txt", MakeResponse(200, "0.68\n"));
    server.Route("/kerv/0.68_Kerv_lnx.tar.gz", MakeResponse(200, archive));
    server.Route("/kerv/0.68_Kerv_lnx.tar.gz.sig", MakeResponse(200, SignWithTestKey(archive)));

    Child kerv(bin + "/Kerv", {}, bin, home, {{"KERV_SERVER", server.Url("")}});
    const std::string pid = std::to_string(kerv.Pid());
    ASSERT_EQ(Shell("w=$(timeout 20 xdotool search --sync --onlyvisible --pid " + pid +
                    " --name '^Vandrel' | head -n1) && [ -n \"$w\" ] && xdotool windowfocus --sync $w && "
                    "xdotool key --clearmodifiers alt+h && sleep 0.5 && xdotool key u"),
              0);
    // The question "New version available": Yes is its default button.
    ASSERT_EQ(Shell("w=$(timeout 20 xdotool search --sync --onlyvisible --pid " + pid +
                    " --name '^New version available$' | head -n1) && [ -n \"$w\" ] && "
                    "xdotool windowfocus --sync $w && xdotool key --clearmodifiers Return"),
              0);
    int status = 0;
    ASSERT_TRUE(kerv.WaitForEnd(seconds(15), status)) << "Kerv did not close for the update";

    // The updater installs the new program into the working folder and removes the archive.
    ASSERT_TRUE(WaitUntil([&] { return ReadFile(bin + "/Kerv").find("restarted") != std::string::npos; },
                          seconds(30)));
    EXPECT_TRUE(WaitUntil([&] { return !Exists(bin + "/0.68_Kerv_lnx.tar.gz"); }, seconds(5)));
    EXPECT_FALSE(Exists(bin + "/restarted"));

    // Its window stays until closed; "&Close" starts the new Kerv from the updater's folder.
    ASSERT_EQ(Shell("w=$(timeout 20 xdotool search --sync --onlyvisible --name '^Update \\.\\.\\.$' | head -n1) && "
                    "[ -n \"$w\" ] && eval $(xdotool getwindowgeometry --shell $w) && xdotool windowraise $w && "
                    "xdotool mousemove --window $w $((WIDTH - 55)) $((HEIGHT - 20)) click 1"),
              0);
    ASSERT_TRUE(WaitUntil([&] { return Exists(bin + "/restarted"); }, seconds(15)));
    WaitUntil([&] { return ReadFile(bin + "/restarted").find('\n') != std::string::npos; }, seconds(2));
    EXPECT_EQ(ReadFile(bin + "/restarted"), "new 0\n");

    const std::vector<std::string> requests = server.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0], "GET /kerv/kerv_version_lnx.txt HTTP/1.0");
    EXPECT_EQ(requests[1], "GET /kerv/0.68_Kerv_lnx.tar.gz HTTP/1.0");
    EXPECT_EQ(requests[2], "GET /kerv/0.68_Kerv_lnx.tar.gz.sig HTTP/1.0");
}
