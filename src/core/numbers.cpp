#include "core/numbers.h"

#include "platform/errors.h"
#include "platform/text.h"

#include <charconv>
#include <cstdint>

namespace galerion {

bool TryStrToInt(const std::string& text, int& value) {
    const std::string_view digits = Trim(text);
    if (digits.empty()) return false;
    const char* first = digits.data();
    const char* last = digits.data() + digits.size();
    if (*first == '+' && first + 1 < last && *(first + 1) != '-') ++first;
    std::int32_t parsed = 0;
    const auto result = std::from_chars(first, last, parsed, 10);
    if (result.ec != std::errc() || result.ptr != last) return false;
    value = parsed;
    return true;
}

int StrToInt(const std::string& text) {
    int value = 0;
    if (!TryStrToInt(text, value))
        throw ConvertError("'" + text + "' is not a valid integer value");
    return value;
}

}  // namespace galerion
