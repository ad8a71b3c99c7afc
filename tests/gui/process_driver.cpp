// SPDX-License-Identifier: GPL-3.0-or-later
#include "process_driver.h"

#include <cstdlib>
#include <fstream>

namespace fs = std::filesystem;

void KervProcessTest::SetUp()
{
    fs::create_directories(root / "home");
    fs::create_directories(root / "work");
    ASSERT_NE(getenv("DISPLAY"), nullptr) << "needs a display: run under xvfb-run";
    ASSERT_TRUE(display.IsHeld()) << "the display does not accept connections";
}

void KervProcessTest::Start(const std::vector<std::string>& args)
{
    if (!fs::exists(root / "home" / ".Kerv"))
        std::ofstream(root / "home" / ".Kerv") << "[Confirmations]\nAutoUpdate=0\n";
    kerv = std::make_unique<Child>(KERV_PROGRAM, args, root / "work", root / "home");
    ASSERT_GT(kerv->Pid(), 0);
}

std::string KervProcessTest::WaitForWindow(const std::string& title, int seconds) const
{
    return FindWindow(kerv->Pid(), "^" + title + "$", Seconds(seconds));
}

bool KervProcessTest::WaitUntilGone(const std::string& title, int seconds) const
{
    return WaitUntil([&] { return FindWindow(kerv->Pid(), "^" + title + "$").empty(); },
                     Seconds(seconds));
}
