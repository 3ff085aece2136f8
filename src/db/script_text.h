#pragma once
// The table script: statements separated by blank lines, read from a text file.
#include <string>
#include <vector>

namespace galerion {

// The whole file; FileError with the system's message when it cannot be read.
std::string ReadScriptFile(const std::string& path);

// Lines end at CR, LF or CR LF. A statement is a run of non-blank lines (blank: nothing but
// white space and control characters), sent as each line as read preceded by one blank.
// There is no comment syntax: every non-blank line belongs to a statement.
std::vector<std::string> SplitScriptStatements(const std::string& content);

}  // namespace galerion
