#pragma once
// The names, full paths and web paths of a picture's outputs and working thumbnail.
#include <string>

namespace galerion {

class TPictureItem;
struct TSettings;

// OutputFilenames: 0 lower case, 1 upper case, anything else unchanged (A-Z, a-z only).
std::string ApplyCaseRule(const std::string& name, int outputFilenames);

// Last component of a path ("/p/Trip" -> "Trip").
std::string LastPathComponent(const std::string& path);

// The working thumbnail of a source file: albumFolder + "/tmp/" + C("tmp_" + name), a HEIC or
// HEIF source's name ending in .jpg there as in every output's name.
std::string WorkingThumbnailPath(const std::string& albumFolder, const std::string& sourcePath,
                                 int outputFilenames);

// Fills LargeFile ... ThumbFile, TempFile, WebOriginal and WebLarge ... WebThumb for the
// picture's OriginalFile; web paths of outputs switched off in the settings stay empty.
void MakeOutputNames(TPictureItem& picture, const std::string& albumFolder,
                     const TSettings& settings);

}  // namespace galerion
