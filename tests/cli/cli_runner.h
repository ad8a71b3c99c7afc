// SPDX-License-Identifier: GPL-3.0-or-later
// Runs kerv-cli as a process in a scratch folder and reads pictures back.
#ifndef KERV_TESTS_CLI_RUNNER_H
#define KERV_TESTS_CLI_RUNNER_H

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <wx/image.h>

struct CliResult {
    int status = -1;
    std::string stdoutText;
    std::string stderrText;
};

// A fresh folder, removed with everything in it when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    // Names of the entries in the folder, sorted.
    std::vector<std::string> Entries() const { return FolderEntries(path_); }
    static std::vector<std::string> FolderEntries(const std::string& folder);

private:
    std::string path_;
};

// Runs kerv-cli with the arguments (each passed as one word), standardInput as its standard
// input, and waits for it.
CliResult RunCli(const std::vector<std::string>& arguments, const std::string& standardInput = {});

// Runs a shell command and returns what it wrote to standard output, its last line feed cut.
std::string Shell(const std::string& command);
// The tags' values as exiftool reads them (numbers as numbers, -n), by tag name; a tag the file
// does not have is missing.
std::map<std::string, std::string> ExifTool(const std::string& path,
                                            const std::vector<std::string>& tags);

struct RgbPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
    bool hasAlpha = false;
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
std::string ReadText(const std::string& path);
void WriteText(const std::string& path, const std::string& text);
bool Exists(const std::string& path);
std::string SamplePath(const std::string& name);

#endif
