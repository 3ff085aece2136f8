#pragma once
#include <string>

namespace galerion {

// A random version-4 UUID in braced upper-case form: {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}.
std::string NewGuidText();

}  // namespace galerion
