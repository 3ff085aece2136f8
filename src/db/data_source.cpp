#include "db/data_source.h"

#include <cstddef>
#include <string_view>

namespace galerion {
namespace {

// Hand-written form of the pattern  Data Source\s*=\s*([^;$]*)  (case-insensitive): the
// library regex engine recurses per character and can overflow the stack on long input.
struct TSourceMatch {
    size_t begin = std::string::npos;  // start of "Data Source"
    size_t valueBegin = 0;
    size_t end = 0;  // one past the value
    bool Found() const { return begin != std::string::npos; }
};

bool IsRegexSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

char AsciiFold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool KeyAt(const std::string& text, size_t at) {
    static constexpr std::string_view kKey = "data source";
    if (text.size() - at < kKey.size()) return false;
    for (size_t k = 0; k < kKey.size(); ++k)
        if (AsciiFold(text[at + k]) != kKey[k]) return false;
    return true;
}

// The match at `at`, if the pattern matches there.
TSourceMatch MatchAt(const std::string& text, size_t at) {
    TSourceMatch m;
    if (!KeyAt(text, at)) return m;
    size_t i = at + 11;
    while (i < text.size() && IsRegexSpace(text[i])) ++i;
    if (i >= text.size() || text[i] != '=') return m;
    ++i;
    while (i < text.size() && IsRegexSpace(text[i])) ++i;
    m.valueBegin = i;
    while (i < text.size() && text[i] != ';' && text[i] != '$') ++i;
    m.begin = at;
    m.end = i;
    return m;
}

TSourceMatch FindFrom(const std::string& text, size_t from) {
    for (size_t at = from; at < text.size(); ++at)
        if (TSourceMatch m = MatchAt(text, at); m.Found()) return m;
    return {};
}

}  // namespace

std::string ExtractDataSource(const std::string& connection) {
    const TSourceMatch m = FindFrom(connection, 0);
    return m.Found() ? connection.substr(m.valueBegin, m.end - m.valueBegin) : std::string();
}

std::string ReplaceDataSource(const std::string& connection, const std::string& path) {
    std::string out;
    size_t copied = 0;
    for (TSourceMatch m = FindFrom(connection, 0); m.Found(); m = FindFrom(connection, m.end)) {
        out.append(connection, copied, m.begin - copied);
        out += "Data Source=";
        out += path;
        copied = m.end;
    }
    out.append(connection, copied, std::string::npos);
    return out;
}

}  // namespace galerion
