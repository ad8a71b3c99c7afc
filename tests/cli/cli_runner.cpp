// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_runner.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <sstream>
#include <thread>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <wx/image.h>
#include <wx/log.h>

CliResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                     const std::string& standardInput, int limitSeconds)
{
    TempDir capture;
    const std::string in = capture / "stdin";
    const std::string out = capture / "stdout";
    const std::string err = capture / "stderr";
    WriteFile(in, standardInput);
    const pid_t child = ::fork();
    if (child == 0) {
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& argument : arguments)
            argv.push_back(const_cast<char*>(argument.c_str()));
        argv.push_back(nullptr);
        if (!std::freopen(in.c_str(), "r", stdin) || !std::freopen(out.c_str(), "w", stdout) ||
            !std::freopen(err.c_str(), "w", stderr))
            ::_exit(127);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    CliResult result;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(limitSeconds);
    int status = 0;
    rusage usage{};
    while (::wait4(child, &status, limitSeconds > 0 ? WNOHANG : 0, &usage) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::wait4(child, &status, 0, &usage);
            result.hung = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.peakBytes = static_cast<long long>(usage.ru_maxrss) * 1024;
    result.stdoutText = ReadFile(out);
    result.stderrText = ReadFile(err);
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

std::string SamplePath(const std::string& name)
{
    return std::string(KERV_SAMPLES_DIR) + "/" + name;
}

std::map<std::string, std::string> ExifTool(const std::string& path,
                                            const std::vector<std::string>& tags)
{
    std::string command = "exiftool -q -q -s -n";
    for (const std::string& tag : tags)
        command += " -" + tag;
    std::istringstream lines(CommandOutput(command + " '" + path + "' 2>/dev/null"));
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
