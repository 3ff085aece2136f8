#include "processing/output_names.h"

#include "core/model.h"
#include "core/settings.h"
#include "platform/text.h"

namespace galerion {
namespace {

struct TOutputName {
    std::string fullPath;
    std::string webPath;
};

TOutputName MakeOutput(const std::string& albumFolder, const std::string& albumName,
                       const std::string& folder, const std::string& fileName) {
    return {albumFolder + "/" + folder + "/" + fileName, albumName + "/" + folder + "/" + fileName};
}

// Outputs are JPEG files: a HEIC or HEIF source's name ends in .jpg in their names.
std::string JpegName(const std::string& name) {
    const size_t dot = name.find_last_of('.');
    if (dot == std::string::npos) return name;
    const std::string extension = AsciiLower(name.substr(dot));
    return extension == ".heic" || extension == ".heif" ? name.substr(0, dot) + ".jpg" : name;
}

}  // namespace

std::string ApplyCaseRule(const std::string& name, int outputFilenames) {
    switch (outputFilenames) {
        case 0: return AsciiLower(name);
        case 1: return AsciiUpper(name);
        default: return name;
    }
}

std::string LastPathComponent(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WorkingThumbnailPath(const std::string& albumFolder, const std::string& sourcePath,
                                 int outputFilenames) {
    return albumFolder + "/tmp/" +
           ApplyCaseRule("tmp_" + JpegName(LastPathComponent(sourcePath)), outputFilenames);
}

void MakeOutputNames(TPictureItem& picture, const std::string& albumFolder,
                     const TSettings& settings) {
    const std::string albumName = LastPathComponent(albumFolder);
    const std::string source = LastPathComponent(picture.OriginalFile);
    const std::string name = JpegName(source);
    const int rule = settings.OutputFilenames;
    const TOutputName large = MakeOutput(albumFolder, albumName, settings.LargeFolder,
                                         ApplyCaseRule(settings.LargePrefix + name, rule));
    const TOutputName medium = MakeOutput(albumFolder, albumName, settings.MediumFolder,
                                          ApplyCaseRule(settings.MediumPrefix + name, rule));
    const TOutputName thumb = MakeOutput(albumFolder, albumName, settings.ThumbFolder,
                                         ApplyCaseRule(settings.ThumbPrefix + name, rule));
    picture.LargeFile = large.fullPath;
    picture.MediumFile = medium.fullPath;
    picture.ThumbFile = thumb.fullPath;
    picture.TempFile = WorkingThumbnailPath(albumFolder, picture.OriginalFile, rule);
    picture.WebOriginal = albumName + "/" + source;
    picture.WebLarge = settings.ProcessLarge ? large.webPath : "";
    picture.WebMedium = settings.ProcessMedium ? medium.webPath : "";
    picture.WebThumb = settings.ProcessThumb ? thumb.webPath : "";
}

}  // namespace galerion
