#include "image/tool/image_tool.h"

#include "core/numbers.h"
#include "core/processing_log.h"
#include "image/crop.h"
#include "image/jpeg_codec.h"
#include "image/orientation.h"
#include "image/resize.h"
#include "image/stretch_draw.h"
#include "image/tool/pam.h"
#include "platform/errors.h"

#include <cstdio>
#include <map>
#include <optional>
#include <ostream>

namespace galerion {

namespace {

constexpr const char* kHelp =
    "Usage: galerion-image COMMAND [OPTIONS] ...\n"
    "\n"
    "Runs one picture operation on files. Input files are JPEG or PAM (P7, RGB_ALPHA or RGB);\n"
    "an output file ending in .pam is written as PAM (lossless), any other as baseline JPEG.\n"
    "\n"
    "Commands:\n"
    "  fit W H BW BH [--upscale]          print the scale and the fitted size WxH of a W x H\n"
    "                                     picture in a BW x BH box\n"
    "  resize --box BWxBH [--filter N] [--upscale] IN OUT\n"
    "                                     fit IN into the box (as the medium and thumbnail files)\n"
    "  stretch --size DWxDH [--filter N] IN OUT\n"
    "                                     draw all of IN into a DW x DH picture\n"
    "  orient CODE IN OUT                 apply an orientation code (1-4, negative: mirrored)\n"
    "  turn cw|ccw|half|flip IN OUT       one turn or the left-right mirror\n"
    "  crop X1 Y1 X2 Y2 IN OUT            keep columns X1..X2-1 and rows Y1..Y2-1\n"
    "  thumb --box BWxBH [--filter N] [--upscale] IN OUT\n"
    "                                     a working thumbnail: IN must be JPEG, OUT is always\n"
    "                                     JPEG at quality 90; nearest-pixel unless --filter\n"
    "  size IN                            print the size WxH of a JPEG from its header\n"
    "\n"
    "Options:\n"
    "  --filter N     0 Nearest, 1 Linear, 2 Spline, 3 Lanczos (default), 4 Mitchell\n"
    "  --upscale      the Upscale setting: a picture smaller than the box keeps its size\n"
    "                 (without it, such a picture is enlarged with a warning)\n"
    "  --quality Q    JPEG quality 1-100 of the output (default 90)\n"
    "  --help         this text\n";

class TUsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TCommandLine {
    std::vector<std::string> words;  // the command and its positional arguments
    std::optional<int> filter;
    std::optional<std::pair<int, int>> box, size;
    bool upscale = false;
    int quality = kDefaultJpegQuality;
    bool help = false;
};

int Number(const std::string& text) {
    int value = 0;
    if (!TryStrToInt(text, value)) throw TUsageError("not a number: " + text);
    return value;
}

std::pair<int, int> Dimensions(const std::string& text) {
    const std::size_t x = text.find('x');
    if (x == std::string::npos) throw TUsageError("expected WxH, got " + text);
    return {Number(text.substr(0, x)), Number(text.substr(x + 1))};
}

TCommandLine Parse(const std::vector<std::string>& args) {
    TCommandLine line;
    for (std::size_t k = 0; k < args.size(); ++k) {
        const std::string& a = args[k];
        auto value = [&]() -> const std::string& {
            if (k + 1 >= args.size()) throw TUsageError(a + " needs a value");
            return args[++k];
        };
        if (a == "--help" || a == "-h")
            line.help = true;
        else if (a == "--upscale")
            line.upscale = true;
        else if (a == "--filter")
            line.filter = Number(value());
        else if (a == "--box")
            line.box = Dimensions(value());
        else if (a == "--size")
            line.size = Dimensions(value());
        else if (a == "--quality")
            line.quality = Number(value());
        else if (a.size() > 2 && a.rfind("--", 0) == 0)
            throw TUsageError("unknown option " + a);
        else
            line.words.push_back(a);
    }
    if (line.filter && (*line.filter < 0 || *line.filter > 4))
        throw TUsageError("--filter takes 0 to 4");
    return line;
}

void Expect(const TCommandLine& line, std::size_t words) {
    if (line.words.size() != words)
        throw TUsageError("wrong number of arguments for " + line.words[0]);
}

TStretchFilter FilterOf(const TCommandLine& line, TStretchFilter fallback) {
    return line.filter ? static_cast<TStretchFilter>(*line.filter) : fallback;
}

std::pair<int, int> Required(const std::optional<std::pair<int, int>>& value, const char* option) {
    if (!value) throw TUsageError(std::string(option) + " is required");
    return *value;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

TBitmap32 Load(const std::string& path) {
    TBitmap32 bitmap;
    if (IsPamFile(path))
        LoadPam(bitmap, path);
    else
        LoadPicture(bitmap, path);
    return bitmap;
}

void Save(const TBitmap32& bitmap, const TCommandLine& line, const std::string& path) {
    if (EndsWith(path, ".pam"))
        SavePam(bitmap, path);
    else
        SaveJpeg(bitmap, line.quality, path);
}

// Prints the log's lines (the warnings of the upscale rule) as the processing log would hold them.
void PrintLog(const TProcessingLog& log, std::ostream& err) {
    for (const TLogLine& l : log.Lines()) err << l.text << "\n";
}

TProcessingLog AllLevelsLog() {
    TProcessingLog log;
    log.ApplyLogSwitches(true, true, true);
    return log;
}

void Fit(const TCommandLine& line, std::ostream& out) {
    Expect(line, 5);
    const int w = Number(line.words[1]), h = Number(line.words[2]);
    double scale = FitScale(w, h, Number(line.words[3]), Number(line.words[4]));
    if (scale > 1.0 && line.upscale) scale = 1.0;
    const TFittedSize size = FittedSize(w, h, scale);
    char text[64];
    std::snprintf(text, sizeof text, "%.17g", scale);
    out << text << " " << size.Width << "x" << size.Height << "\n";
}

void Resize(const TCommandLine& line, std::ostream& err) {
    Expect(line, 3);
    const auto [bw, bh] = Required(line.box, "--box");
    TBitmap32 source = Load(line.words[1]);
    TBitmap32 target;
    TProcessingLog log = AllLevelsLog();
    ResizeIntoBox(line.words[1], source, target, bw, bh, line.upscale, FilterOf(line, sfLanczos),
                  log);
    PrintLog(log, err);
    Save(target, line, line.words[2]);
}

void Stretch(const TCommandLine& line) {
    Expect(line, 3);
    const auto [w, h] = Required(line.size, "--size");
    if (w < 1 || h < 1) throw TUsageError("--size needs positive sides");
    TBitmap32 source = Load(line.words[1]);
    source.StretchFilter = FilterOf(line, sfLanczos);
    TBitmap32 target;
    target.SetSize(w, h);
    StretchDraw(source, target, TRect{0, 0, w, h}, TRect{0, 0, source.Width(), source.Height()});
    Save(target, line, line.words[2]);
}

void Orient(const TCommandLine& line) {
    Expect(line, 4);
    TBitmap32 bitmap = Load(line.words[2]);
    ApplyOrientation(bitmap, Number(line.words[1]));
    Save(bitmap, line, line.words[3]);
}

void Turn(const TCommandLine& line) {
    Expect(line, 4);
    static const std::map<std::string, TTurnAction> kActions = {
        {"cw", TTurnAction::Clockwise},
        {"ccw", TTurnAction::CounterClockwise},
        {"half", TTurnAction::HalfTurn},
        {"flip", TTurnAction::Flip}};
    const auto action = kActions.find(line.words[1]);
    if (action == kActions.end()) throw TUsageError("turn takes cw, ccw, half or flip");
    TBitmap32 bitmap = Load(line.words[2]);
    ApplyTurnAction(bitmap, action->second);
    Save(bitmap, line, line.words[3]);
}

void Crop(const TCommandLine& line) {
    Expect(line, 7);
    TBitmap32 bitmap = Load(line.words[5]);
    CropBitmap(bitmap, Number(line.words[1]), Number(line.words[2]), Number(line.words[3]),
               Number(line.words[4]), FilterOf(line, sfNearest));
    Save(bitmap, line, line.words[6]);
}

void Thumb(const TCommandLine& line, std::ostream& err) {
    Expect(line, 3);
    const auto [bw, bh] = Required(line.box, "--box");
    TProcessingLog log = AllLevelsLog();
    MakeWorkingThumbnail(line.words[1], line.words[2], bw, bh, line.upscale,
                         FilterOf(line, sfNearest), log);
    PrintLog(log, err);
}

void Size(const TCommandLine& line, std::ostream& out) {
    Expect(line, 2);
    const TJpegSize size = ReadJpegSize(line.words[1]);
    out << size.Width << "x" << size.Height << "\n";
}

void Run(const TCommandLine& line, std::ostream& out, std::ostream& err) {
    const std::string& verb = line.words[0];
    if (verb == "fit")
        Fit(line, out);
    else if (verb == "resize")
        Resize(line, err);
    else if (verb == "stretch")
        Stretch(line);
    else if (verb == "orient")
        Orient(line);
    else if (verb == "turn")
        Turn(line);
    else if (verb == "crop")
        Crop(line);
    else if (verb == "thumb")
        Thumb(line, err);
    else if (verb == "size")
        Size(line, out);
    else
        throw TUsageError("unknown command " + verb);
}

}  // namespace

int RunImageTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        const TCommandLine line = Parse(args);
        if (line.help) {
            out << kHelp;
            return 0;
        }
        if (line.words.empty()) throw TUsageError("no command given");
        Run(line, out, err);
        return 0;
    } catch (const TUsageError& e) {
        err << "galerion-image: " << e.what() << "\n(see galerion-image --help)\n";
        return 2;
    } catch (const std::exception& e) {
        err << "galerion-image: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace galerion
