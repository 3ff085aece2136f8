#pragma once
// The statement forms that the backends translate before sending a text.
#include <string>

namespace galerion {

// "DELETE * FROM t ..." (the old form the statements use) becomes "DELETE FROM t ..."; any
// other text comes back unchanged.
std::string WithoutDeleteStar(const std::string& sql);

}  // namespace galerion
