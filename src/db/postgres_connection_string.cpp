#include "db/postgres_connection_string.h"

#include "db/connection_string.h"
#include "platform/text.h"

#include <algorithm>
#include <string_view>

namespace galerion {
namespace {

struct TKeyAlias {
    std::string_view key;  // lower case
    std::string_view keyword;
};

constexpr TKeyAlias kAliases[] = {
    {"host", "host"},
    {"server", "host"},
    {"port", "port"},
    {"database", "dbname"},
    {"initial catalog", "dbname"},
    {"user id", "user"},
    {"username", "user"},
    {"password", "password"},
};

// Keys that never reach the library: the backend's choice and what the program sets itself.
constexpr std::string_view kDropped[] = {"provider", "client_encoding"};

std::string KeywordFor(const std::string& key) {
    const std::string lower = AsciiLower(key);
    for (const TKeyAlias& alias : kAliases)
        if (lower == alias.key) return std::string(alias.keyword);
    for (const std::string_view dropped : kDropped)
        if (lower == dropped) return {};
    return lower;  // the library's keywords are all lower case
}

}  // namespace

std::vector<std::pair<std::string, std::string>> PostgresConnectionKeywords(
    const std::string& connection) {
    std::vector<std::pair<std::string, std::string>> keywords;
    for (TConnectionPart& part : ConnectionStringParts(connection)) {
        std::string keyword = KeywordFor(part.key);
        if (keyword.empty() || part.value.empty()) continue;
        const bool seen = std::any_of(keywords.begin(), keywords.end(),
                                      [&](const auto& kv) { return kv.first == keyword; });
        if (!seen) keywords.emplace_back(std::move(keyword), std::move(part.value));
    }
    return keywords;
}

}  // namespace galerion
