#pragma once
// The galerion-image command line: each image operation on files, for debugging and scripts.
#include <iosfwd>
#include <string>
#include <vector>

namespace galerion {

// Runs one command (the arguments after the program name). Returns the exit code: 0 done,
// 1 the operation failed (message on `err`), 2 the command line was wrong.
int RunImageTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace galerion
