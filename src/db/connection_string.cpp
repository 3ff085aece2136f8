#include "db/connection_string.h"

#include "platform/text.h"

#include <string_view>

namespace galerion {
namespace {

std::string_view Trimmed(std::string_view text) { return Trim(text, " \t\r\n"); }

// One "key=value" part starting at `at`; `at` moves past the ';' that ends it.
struct TPart {
    std::string key;
    std::string value;
};

TPart ReadPart(const std::string& text, size_t& at) {
    TPart part;
    const size_t equals = text.find_first_of("=;", at);
    if (equals == std::string::npos || text[equals] == ';') {
        part.key = Trimmed(std::string_view(text).substr(at, equals - at));
        at = equals == std::string::npos ? text.size() : equals + 1;
        return part;
    }
    part.key = Trimmed(std::string_view(text).substr(at, equals - at));
    size_t i = equals + 1;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && (text[i] == '"' || text[i] == '\'')) {
        const char quote = text[i];
        const size_t close = text.find(quote, i + 1);
        if (close != std::string::npos) {
            part.value = text.substr(i + 1, close - i - 1);
            const size_t semicolon = text.find(';', close);
            at = semicolon == std::string::npos ? text.size() : semicolon + 1;
            return part;
        }
    }
    const size_t semicolon = text.find(';', i);
    const size_t end = semicolon == std::string::npos ? text.size() : semicolon;
    part.value = Trimmed(std::string_view(text).substr(i, end - i));
    at = semicolon == std::string::npos ? text.size() : semicolon + 1;
    return part;
}

}  // namespace

std::optional<std::string> ConnectionStringValue(const std::string& connection,
                                                 const std::string& key) {
    const std::string wanted = AsciiLower(key);
    size_t at = 0;
    while (at < connection.size()) {
        TPart part = ReadPart(connection, at);
        if (AsciiLower(part.key) == wanted) return std::move(part.value);
    }
    return std::nullopt;
}

std::vector<TConnectionPart> ConnectionStringParts(const std::string& connection) {
    std::vector<TConnectionPart> parts;
    size_t at = 0;
    while (at < connection.size()) {
        TPart part = ReadPart(connection, at);
        if (!part.key.empty()) parts.push_back({std::move(part.key), std::move(part.value)});
    }
    return parts;
}

}  // namespace galerion
