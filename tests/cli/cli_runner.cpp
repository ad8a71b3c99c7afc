// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_runner.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/image.h>
#include <wx/log.h>

ScratchFolder::ScratchFolder()
{
    std::string pattern = "/tmp/kerv-cli-test-XXXXXX";
    if (const char* tmp = std::getenv("TMPDIR"))
        pattern = std::string(tmp) + "/kerv-cli-test-XXXXXX";
    path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
}

ScratchFolder::~ScratchFolder()
{
    if (!path_.empty())
        std::system(("rm -rf '" + path_ + "'").c_str());
}

std::vector<std::string> ScratchFolder::FolderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..")
                names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

CliResult RunCli(const std::vector<std::string>& arguments, const std::string& standardInput)
{
    ScratchFolder capture;
    const std::string in = capture.File("stdin");
    const std::string out = capture.File("stdout");
    const std::string err = capture.File("stderr");
    WriteText(in, standardInput);
    const pid_t child = ::fork();
    if (child == 0) {
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(KERV_CLI));
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        if (!std::freopen(in.c_str(), "r", stdin) || !std::freopen(out.c_str(), "w", stdout) ||
            !std::freopen(err.c_str(), "w", stderr))
            ::_exit(127);
        ::execv(KERV_CLI, argv.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    CliResult result;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.stdoutText = ReadText(out);
    result.stderrText = ReadText(err);
    return result;
}

PaintedMask PaintMask(int width, int height, int discX, int discY, int radius, int boxLeft,
                      int boxRight, int boxTop, int boxBottom)
{
    PaintedMask mask{wxImage(width, height, true),
                     std::vector<int>(static_cast<size_t>(width) * height)};
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if ((x - discX) * (x - discX) + (y - discY) * (y - discY) < radius * radius) {
                mask.image.SetRGB(x, y, 255, 0, 0);
                mask.delta[y * width + x] = 255;
            } else if (x >= boxLeft && x < boxRight && y >= boxTop && y < boxBottom) {
                mask.image.SetRGB(x, y, 0, 255, 0);
                mask.delta[y * width + x] = -255;
            }
        }
    }
    return mask;
}

RgbPicture FromImage(const wxImage& image)
{
    RgbPicture picture;
    picture.width = image.GetWidth();
    picture.height = image.GetHeight();
    picture.rgb.assign(image.GetData(), image.GetData() + picture.width * picture.height * 3);
    picture.hasAlpha = image.HasAlpha();
    return picture;
}

RgbPicture ReadPicture(const std::string& path)
{
    wxLogNull quiet;
    wxImage image;
    if (!image.LoadFile(wxString::FromUTF8(path)) || !image.IsOk())
        return RgbPicture();
    return FromImage(image);
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

bool Exists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

std::string SamplePath(const std::string& name)
{
    return std::string(KERV_SAMPLES_DIR) + "/" + name;
}

std::string Shell(const std::string& command)
{
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
            output.append(buffer, got);
        ::pclose(pipe);
    }
    if (!output.empty() && output.back() == '\n')
        output.pop_back();
    return output;
}

std::map<std::string, std::string> ExifTool(const std::string& path,
                                            const std::vector<std::string>& tags)
{
    std::string command = "exiftool -q -q -s -n";
    for (const std::string& tag : tags)
        command += " -" + tag;
    std::istringstream lines(Shell(command + " '" + path + "' 2>/dev/null"));
    std::map<std::string, std::string> values;
    std::string line;
    while (std::getline(lines, line)) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        const size_t name = line.find_last_not_of(' ', colon - 1);
        values[line.substr(0, name + 1)] = line.substr(std::min(line.size(), colon + 2));
    }
    return values;
}
