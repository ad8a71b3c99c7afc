// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_options.h"

#include <cctype>
#include <climits>

#include "target_size.h"

namespace {

// Digits only (an optional trailing '%' for percent); nothing else is a valid target.
bool ParseSideTarget(const std::string& text, SideTarget& target)
{
    std::string digits = text;
    target.percent = !digits.empty() && digits.back() == '%';
    if (target.percent)
        digits.pop_back();
    if (digits.empty() || digits.size() > 9)
        return false;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    }
    target.value = std::stoi(digits);
    return true;
}

}  // namespace

int SideTarget::Resolve(int original) const
{
    return percent ? target::PercentOf(original, value) : value;
}

const char* CliUsage()
{
    return "Usage: kerv-cli [options] INPUT OUTPUT\n"
           "Resizes a picture by seam carving: removes or duplicates seams of least energy.\n"
           "\n"
           "  --width N | --width P%      target width in pixels, or in percent of the input's width\n"
           "  --height N | --height P%    target height likewise; a dimension not given stays unchanged\n"
           "  --keep-aspect               with only one of the two given, derive the other from the\n"
           "                              input's aspect ratio\n"
           "  --mask FILE                 a protect/delete mask of the input's size: each pixel's red\n"
           "                              minus green is added to its energy before the first seam\n"
           "  --energy FILE               also write the energy picture (after the mask) to FILE\n"
           "  --threads 1|2               use one core, or both (the default where there are two)\n"
           "  -q, --quiet                 no progress display\n"
           "  --help                      show this help and exit\n"
           "  --version                   show the version and exit\n"
           "\n"
           "The output's format follows OUTPUT's extension (png, jpg, bmp, tif, pnm, ...).\n"
           "Results are limited to 32000 pixels a side and 100 million pixels in all.\n"
           "Exit status: 0 success, 1 failure, 2 usage error.\n";
}

std::optional<CliOptions> ParseCliOptions(int argc, const char* const* argv, std::string& error)
{
    CliOptions options;
    std::string positional[2];
    int positionals = 0;

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool hasInlineValue = false;
        if (arg.rfind("--", 0) == 0) {
            const size_t equals = arg.find('=');
            if (equals != std::string::npos) {
                value = arg.substr(equals + 1);
                arg = arg.substr(0, equals);
                hasInlineValue = true;
            }
        }
        auto takeValue = [&](std::string& out) {
            if (hasInlineValue) {
                out = value;
                return true;
            }
            if (i + 1 >= argc) {
                error = "option " + arg + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };
        auto takeSide = [&](std::optional<SideTarget>& side) {
            std::string text;
            if (!takeValue(text))
                return false;
            SideTarget parsed;
            if (!ParseSideTarget(text, parsed)) {
                error = "malformed value '" + text + "' for " + arg +
                        " (expected pixels like 450 or a percentage like 75%)";
                return false;
            }
            side = parsed;
            return true;
        };

        if (arg == "--width") {
            if (!takeSide(options.width))
                return std::nullopt;
        } else if (arg == "--height") {
            if (!takeSide(options.height))
                return std::nullopt;
        } else if (arg == "--mask") {
            if (!takeValue(options.maskFile))
                return std::nullopt;
        } else if (arg == "--energy") {
            if (!takeValue(options.energyFile))
                return std::nullopt;
        } else if (arg == "--threads") {
            std::string text;
            if (!takeValue(text))
                return std::nullopt;
            if (text != "1" && text != "2") {
                error = "malformed value '" + text + "' for --threads (expected 1 or 2)";
                return std::nullopt;
            }
            options.threads = text[0] - '0';
        } else if (arg == "--keep-aspect" && !hasInlineValue) {
            options.keepAspect = true;
        } else if ((arg == "-q" || arg == "--quiet") && !hasInlineValue) {
            options.quiet = true;
        } else if ((arg == "--help" || arg == "-h") && !hasInlineValue) {
            options.showHelp = true;
        } else if (arg == "--version" && !hasInlineValue) {
            options.showVersion = true;
        } else if (arg == "--") {
            for (++i; i < argc; ++i) {
                if (positionals == 2) {
                    error = "too many arguments";
                    return std::nullopt;
                }
                positional[positionals++] = argv[i];
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            error = "unknown option " + arg;
            return std::nullopt;
        } else {
            if (positionals == 2) {
                error = "too many arguments: " + arg;
                return std::nullopt;
            }
            positional[positionals++] = arg;
        }
    }

    if (options.showHelp || options.showVersion)
        return options;
    if (positionals < 2) {
        error = positionals == 0 ? "missing INPUT and OUTPUT" : "missing OUTPUT";
        return std::nullopt;
    }
    options.input = positional[0];
    options.output = positional[1];
    if (options.keepAspect && options.width.has_value() == options.height.has_value()) {
        error = "--keep-aspect needs exactly one of --width and --height";
        return std::nullopt;
    }
    return options;
}
