// SPDX-License-Identifier: GPL-3.0-or-later
// Animated cursors are RIFF files, which a metadata reader may take for video: one followed by
// zeros (data a RIFF reader walks as empty chunks) ends within 10 s as the file
// without the tail ends.
#include <gtest/gtest.h>

#include "cli_runner.h"

TEST(RiffTail, AnAnimatedCursorWithZerosAfterItEndsInTime)
{
    ScratchFolder folder;
    const std::string ani = ReadText(KERV_HOSTILE_SEEDS "/ani-no-sequence.ani");
    WriteText(folder.File("tail.ani"), ani + std::string(4096, '\0'));
    const CliResult plain =
        RunCli({KERV_HOSTILE_SEEDS "/ani-no-sequence.ani", folder.File("plain.bmp"), "-q"});
    const std::string status = Shell("timeout 10 '" KERV_CLI "' '" + folder.File("tail.ani") +
                                     "' '" + folder.File("out.bmp") + "' -q 2>/dev/null; echo $?");
    EXPECT_EQ(status, std::to_string(plain.status));
}
