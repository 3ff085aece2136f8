#pragma once
// Small files for fixtures: real baseline JPEG photos written by the project's own encoder,
// texts and folders.
#include <string>

namespace galerion::test {

// A baseline JPEG of width x height pixels with a gradient, so turns and crops are visible.
void WriteJpeg(const std::string& path, int width, int height);
void WriteText(const std::string& path, const std::string& text);
std::string ReadText(const std::string& path);
void MakeFolder(const std::string& path);

// A file the build put beside the executables (programs, the table script), found from any
// working directory.
std::string BuiltFile(const std::string& name);

}  // namespace galerion::test
