// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli_options.h"

#include <getopt.h>

#include <cctype>
#include <cstring>
#include <map>

#include "target_size.h"

namespace {

enum OptionId {
    kWidth = 256,
    kHeight,
    kKeepAspect,
    kMask,
    kEnergy,
    kThreads,
    kSuffix,
    kFormat,
    kQuality,
    kVersion,
    kEnergyMode,
    kSeams,
    kRemoveObject,
};

const option kLongOptions[] = {
    {"width", required_argument, nullptr, kWidth},
    {"height", required_argument, nullptr, kHeight},
    {"keep-aspect", no_argument, nullptr, kKeepAspect},
    {"mask", required_argument, nullptr, kMask},
    {"energy", required_argument, nullptr, kEnergy},
    {"energy-mode", required_argument, nullptr, kEnergyMode},
    {"seams", required_argument, nullptr, kSeams},
    {"remove-object", no_argument, nullptr, kRemoveObject},
    {"threads", required_argument, nullptr, kThreads},
    {"output-dir", required_argument, nullptr, 'o'},
    {"suffix", required_argument, nullptr, kSuffix},
    {"format", required_argument, nullptr, kFormat},
    {"quality", required_argument, nullptr, kQuality},
    {"jobs", required_argument, nullptr, 'j'},
    {"quiet", no_argument, nullptr, 'q'},
    {"help", no_argument, nullptr, 'h'},
    {"version", no_argument, nullptr, kVersion},
    {nullptr, 0, nullptr, 0},
};
constexpr const char* kShortOptions = ":ho:qj:";

// The option's name as the user should read it: "--width", "--jobs".
std::string NameOf(int id)
{
    for (const option* o = kLongOptions; o->name; ++o) {
        if (o->val == id)
            return std::string("--") + o->name;
    }
    return std::string("-") + static_cast<char>(id);
}

bool IsKnown(int id)
{
    for (const option* o = kLongOptions; o->name; ++o) {
        if (o->val == id)
            return true;
    }
    return false;
}

// Why getopt_long refused an option: optionId is its optopt, word the argument it was in.
std::string Refusal(int optionId, bool missingValue, const std::string& word)
{
    if (missingValue)
        return "option " + NameOf(optionId) + " needs a value";
    if (IsKnown(optionId))
        return "option " + NameOf(optionId) + " takes no value";
    if (optionId != 0)
        return std::string("unknown option -") + static_cast<char>(optionId);
    // An unknown or ambiguous long option (getopt_long has stepped past its word).
    const std::string name = word.substr(2, word.find('=') - 2);
    std::string candidates;
    for (const option* o = kLongOptions; o->name; ++o) {
        if (std::strncmp(o->name, name.c_str(), name.size()) == 0)
            candidates += (candidates.empty() ? "--" : ", --") + std::string(o->name);
    }
    if (candidates.find(',') != std::string::npos)
        return "ambiguous option --" + name + " (could be " + candidates + ")";
    return "unknown option --" + name;
}

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

// A whole number in [low, high] written with digits only.
bool ParseNumber(const std::string& text, int low, int high, int& value)
{
    if (text.empty() || text.size() > 6)
        return false;
    for (char c : text) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    }
    value = std::stoi(text);
    return value >= low && value <= high;
}

// Phase 1: the words of argv as options with their values (each option that takes a value at
// most once) and the remaining arguments.
struct RawCommandLine {
    std::map<int, std::string> values;
    std::vector<std::string> arguments;
    bool keepAspect = false, quiet = false, help = false, version = false, removeObject = false;
};

std::optional<RawCommandLine> SplitArguments(int argc, char* const* argv, std::string& error)
{
    RawCommandLine raw;
    opterr = 0;
    optind = 0;  // a full new scan
    for (;;) {
        const int id = getopt_long(argc, argv, kShortOptions, kLongOptions, nullptr);
        if (id == -1)
            break;
        if (id == '?' || id == ':') {
            error = Refusal(optopt, id == ':', argv[optind - 1]);
            return std::nullopt;
        }
        switch (id) {
            case kKeepAspect:
                raw.keepAspect = true;
                break;
            case kRemoveObject:
                raw.removeObject = true;
                break;
            case 'q':
                raw.quiet = true;
                break;
            case 'h':
                raw.help = true;
                break;
            case kVersion:
                raw.version = true;
                break;
            default:
                if (!raw.values.emplace(id, optarg).second) {
                    error = "option " + NameOf(id) + " given twice";
                    return std::nullopt;
                }
        }
    }
    raw.arguments.assign(argv + optind, argv + argc);
    return raw;
}

// One option's value checked and stored; false (with what was expected) when it is malformed.
bool ReadValue(int id, const std::string& text, CliOptions& options, const char*& expected)
{
    switch (id) {
        case kWidth:
        case kHeight: {
            expected = "pixels like 450 or a percentage like 75%";
            std::optional<SideTarget>& side = id == kWidth ? options.width : options.height;
            return ParseSideTarget(text, side.emplace());
        }
        case kThreads:
            expected = "1 or 2";
            return ParseNumber(text, 1, 2, options.threads);
        case 'j':
            expected = "a number of files from 1 to 1024";
            return ParseNumber(text, 1, 1024, options.jobs);
        case kQuality:
            expected = "a JPEG quality from 1 to 100";
            return ParseNumber(text, 1, 100, options.quality);
        case kFormat:
            expected = "an extension like png or jpg";
            options.format = text;
            return !text.empty() && text.find_first_of("./") == std::string::npos;
        case kSuffix:
            expected = "text to put after each name, like _kerv";
            options.suffix = text;
            return !text.empty() && text.find('/') == std::string::npos;
        case 'o':
            expected = "a folder";
            options.outputFolder = text;
            return !text.empty();
        case kMask:
            options.maskFile = text;
            return true;
        case kEnergy:
            options.energyFile = text;
            return true;
        case kSeams:
            options.seamsFile = text;
            return true;
        case kEnergyMode:
            expected = "sobel or forward";
            options.forwardEnergy = text == "forward";
            return text == "sobel" || text == "forward";
        default:
            return false;
    }
}

// Phase 2: each option's value checked and stored.
bool ReadValues(const RawCommandLine& raw, CliOptions& options, std::string& error)
{
    for (const auto& [id, text] : raw.values) {
        const char* expected = "";
        if (!ReadValue(id, text, options, expected)) {
            error =
                "malformed value '" + text + "' for " + NameOf(id) + " (expected " + expected + ")";
            return false;
        }
    }
    options.keepAspect = raw.keepAspect;
    options.removeObject = raw.removeObject;
    options.quiet = raw.quiet;
    options.showHelp = raw.help;
    options.showVersion = raw.version;
    return true;
}

// Phase 3: the arguments as inputs and output, and the options that only fit together.
bool ReadArguments(const std::vector<std::string>& arguments, CliOptions& options,
                   std::string& error)
{
    if (!options.outputFolder.empty() && !options.suffix.empty()) {
        error = "-o and --suffix exclude each other";
        return false;
    }
    if (options.IsBatch()) {
        options.inputs = arguments;
        if (options.inputs.empty()) {
            error = "missing INPUT";
            return false;
        }
        for (const std::string& input : options.inputs) {
            if (input == "-") {
                error = "- (standard input) cannot be part of a batch";
                return false;
            }
        }
        if (options.inputs.size() > 1 && !(options.maskFile.empty() && options.energyFile.empty() &&
                                           options.seamsFile.empty())) {
            error = "--mask, --energy and --seams work on a single INPUT";
            return false;
        }
    } else {
        if (arguments.size() < 2) {
            error = arguments.empty() ? "missing INPUT and OUTPUT" : "missing OUTPUT";
            return false;
        }
        if (arguments.size() > 2) {
            error = "too many arguments: " + arguments[2] + " (several inputs need -o or --suffix)";
            return false;
        }
        options.inputs = {arguments[0]};
        options.output = arguments[1];
        if (options.output == "-" && options.format.empty()) {
            error = "- as OUTPUT needs --format EXT";
            return false;
        }
        if (options.output != "-" && !options.format.empty()) {
            error =
                "--format is for - as OUTPUT and for batches; OUTPUT's extension names its format";
            return false;
        }
    }
    if (options.removeObject && options.maskFile.empty()) {
        error = "--remove-object needs --mask FILE with the object painted green";
        return false;
    }
    if (options.removeObject && (options.width || options.height || options.keepAspect)) {
        error =
            "--remove-object keeps the picture's size; --width, --height and --keep-aspect "
            "do not apply";
        return false;
    }
    if (options.keepAspect && options.width.has_value() == options.height.has_value()) {
        error = "--keep-aspect needs exactly one of --width and --height";
        return false;
    }
    return true;
}

}  // namespace

int SideTarget::Resolve(int original) const
{
    return percent ? target::PercentOf(original, value) : value;
}

std::optional<CliOptions> ParseCliOptions(int argc, char* const* argv, std::string& error)
{
    const std::optional<RawCommandLine> raw = SplitArguments(argc, argv, error);
    CliOptions options;
    if (!raw || !ReadValues(*raw, options, error))
        return std::nullopt;
    if (options.showHelp || options.showVersion)
        return options;
    if (!ReadArguments(raw->arguments, options, error))
        return std::nullopt;
    return options;
}

const char* CliUsage()
{
    return "Usage: kerv-cli [options] INPUT OUTPUT\n"
           "       kerv-cli [options] -o DIR INPUT...\n"
           "       kerv-cli [options] --suffix TEXT INPUT...\n"
           "Resizes pictures by seam carving: removes or duplicates seams of least energy.\n"
           "\n"
           "Sizes:\n"
           "  --width N | --width P%      target width in pixels, or in percent of the input's width\n"
           "  --height N | --height P%    target height likewise; a side not given stays unchanged\n"
           "  --keep-aspect               with only one of the two given, derive the other from the\n"
           "                              input's aspect ratio\n"
           "  --mask FILE                 a protect/delete mask of the input's size: each pixel's red\n"
           "                              minus green is added to its energy before the first seam\n"
           "  --energy FILE               also write the energy picture (after the mask) to FILE;\n"
           "                              it and OUTPUT are written together or not at all\n"
           "  --seams FILE                also write the input with the run's seams drawn on it, in\n"
           "                              the order carved: magenta, or green on pixels nearer to\n"
           "                              magenta (written together with OUTPUT)\n"
           "  --remove-object             with --mask: remove the object painted green (red stays\n"
           "                              protected) by removing seams in the direction that needs\n"
           "                              fewer until no green pixel is left, then duplicating as\n"
           "                              many, so the picture keeps its size\n"
           "  --energy-mode sobel|forward how seams are chosen: sobel (default) by each pixel's\n"
           "                              edge strength; forward by the jumps a seam's removal would\n"
           "                              create (slower, keeps straight edges better)\n"
           "Files:\n"
           "  -                           as INPUT: read standard input; as OUTPUT: write standard\n"
           "                              output (then --format is needed)\n"
           "  -o, --output-dir DIR        write each result into DIR under its input's name\n"
           "  --suffix TEXT               write each result beside its input, TEXT after the name\n"
           "                              (--suffix _kerv: photo.jpg gives photo_kerv.jpg)\n"
           "  --format EXT                the results' format (png, jpg, ...) for - as OUTPUT and for\n"
           "                              batches; otherwise OUTPUT's extension names it\n"
           "  --quality N                 JPEG quality 1-100 (default: the input's when it is a JPEG,\n"
           "                              else 92)\n"
           "Running:\n"
           "  -j, --jobs N                carve N files at a time in a batch (default: one per core)\n"
           "  --threads 1|2               cores for one picture (default: both where there are two;\n"
           "                              a batch job always uses one)\n"
           "  -q, --quiet                 no progress display\n"
           "  -h, --help                  show this help and exit\n"
           "  --version                   show the version and exit\n"
           "\n"
           "Pictures are turned upright by their EXIF orientation before carving. EXIF (with the\n"
           "new size and orientation), XMP, the colour profile and the resolution are kept where\n"
           "the output format can hold them (JPEG, PNG, TIFF); what is lost is reported as a\n"
           "warning. Formats that are only read (gif, ani, iff) and .pgm/.pbm are refused.\n"
           "Results are limited to 32000 pixels a side and 100 million pixels in all.\n"
           "Options may be abbreviated while unique; -- ends the options.\n"
           "Exit status: 0 success, 1 failure (in a batch: any file failed), 2 usage error.\n";
}
