#pragma once
// Reading one "Key=Value" part of a connection string, the way the backends see it.
#include <optional>
#include <string>
#include <vector>

namespace galerion {

// The value of the first part whose key equals `key` (letter case and surrounding blanks
// ignored); a value in double or single quotes may hold ';'. Nothing when the key is absent.
std::optional<std::string> ConnectionStringValue(const std::string& connection,
                                                 const std::string& key);

struct TConnectionPart {
    std::string key;  // trimmed, letter case as written
    std::string value;
};
// Every part with a key, in the order written, read by the same rules.
std::vector<TConnectionPart> ConnectionStringParts(const std::string& connection);

}  // namespace galerion
