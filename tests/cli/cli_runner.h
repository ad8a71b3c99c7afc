// SPDX-License-Identifier: GPL-3.0-or-later
// Runs kerv-cli as a process and reads pictures back.
#ifndef KERV_TESTS_CLI_RUNNER_H
#define KERV_TESTS_CLI_RUNNER_H

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <wx/image.h>

#include "test_files.h"

struct CliResult {
    int status = -1;          // the exit status; -1 when killed by a signal or at the time limit
    bool hung = false;        // killed at the time limit
    long long peakBytes = 0;  // the largest resident size it reached
    std::string stdoutText;
    std::string stderrText;
};

// Runs program with the arguments (each passed as one word), standardInput as its standard
// input, and waits for it, killing it after limitSeconds (0: no limit).
CliResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& standardInput = {}, int limitSeconds = 0);
// The same for kerv-cli.
inline CliResult RunCli(const std::vector<std::string>& arguments,
                        const std::string& standardInput = {})
{
    return RunProgram(KERV_CLI, arguments, standardInput);
}

// The tags' values as exiftool reads them (numbers as numbers, -n), by tag name; a tag the file
// does not have is missing.
std::map<std::string, std::string> ExifTool(const std::string& path,
                                            const std::vector<std::string>& tags);

struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};

// A mask over a picture: red inside a disc, green in a box, black elsewhere.
struct PaintedMask {
    wxImage image;
    std::vector<int> delta;  // red - green per pixel
};
PaintedMask PaintMask(int width, int height, int discX, int discY, int radius, int boxLeft,
                      int boxRight, int boxTop, int boxBottom);

// The resize kerv-cli performs, done on a reference carver: per step one horizontal seam while
// the height differs and one vertical seam while the width differs.
template <class Carver>
void ReferenceResize(Carver& ref, int width, int height)
{
    const int dw = ref.cols - width, dh = ref.rows - height;
    for (int i = 0; i < std::max(std::abs(dw), std::abs(dh)); ++i) {
        if (i < std::abs(dh))
            ref.SeamHorz(dh > 0);
        if (i < std::abs(dw))
            ref.SeamVert(dw > 0);
    }
}

RgbPicture FromImage(const wxImage& image);
// Reads a picture through the toolkit; an empty picture (width 0) when it cannot.
RgbPicture ReadPicture(const std::string& path);
std::string SamplePath(const std::string& name);

#endif
