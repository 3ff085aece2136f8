#pragma once
// Reading one "Key=Value" part of a connection string, the way the backends see it.
#include <optional>
#include <string>

namespace galerion {

// The value of the first part whose key equals `key` (letter case and surrounding blanks
// ignored); a value in double or single quotes may hold ';'. Nothing when the key is absent.
std::optional<std::string> ConnectionStringValue(const std::string& connection,
                                                 const std::string& key);

}  // namespace galerion
