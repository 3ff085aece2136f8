#include "db/script_text.h"

#include "platform/errors.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string_view>

namespace galerion {
namespace {

bool IsBlankLine(std::string_view line) {
    for (const char c : line) {
        const auto u = static_cast<unsigned char>(c);
        if (u > 0x20 && u != 0x7F) return false;
    }
    return true;
}

std::vector<std::string_view> SplitLines(std::string_view content) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t i = 0; i < content.size(); ++i) {
        if (content[i] != '\r' && content[i] != '\n') continue;
        lines.push_back(content.substr(start, i - start));
        if (content[i] == '\r' && i + 1 < content.size() && content[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < content.size()) lines.push_back(content.substr(start));
    return lines;
}

// Editors on other systems may start the file with a UTF-8 byte order mark.
std::string_view WithoutByteOrderMark(std::string_view content) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    return content.substr(0, kBom.size()) == kBom ? content.substr(kBom.size()) : content;
}

}  // namespace

std::string ReadScriptFile(const std::string& path) {
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) throw FileError("Cannot read " + path + ": " + std::strerror(errno));
    std::string content;
    char buffer[8192];
    while (const size_t n = std::fread(buffer, 1, sizeof buffer, file.get()))
        content.append(buffer, n);
    // A folder opens but does not read (EISDIR).
    if (std::ferror(file.get()))
        throw FileError("Cannot read " + path + ": " + std::strerror(errno));
    return content;
}

std::vector<std::string> SplitScriptStatements(const std::string& content) {
    const std::vector<std::string_view> lines = SplitLines(WithoutByteOrderMark(content));
    std::vector<std::string> statements;
    size_t i = 0;
    while (i < lines.size()) {
        std::string statement;
        for (; i < lines.size() && !IsBlankLine(lines[i]); ++i) {
            statement += ' ';
            statement += lines[i];
        }
        if (!statement.empty()) statements.push_back(std::move(statement));
        ++i;  // the blank line that ended the statement
    }
    return statements;
}

}  // namespace galerion
