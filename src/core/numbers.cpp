#include "core/numbers.h"

#include "platform/errors.h"

#include <charconv>
#include <cstdint>

namespace galerion {

bool TryStrToInt(const std::string& text, int& value) {
    size_t begin = text.find_first_not_of(" \t");
    size_t end = text.find_last_not_of(" \t");
    if (begin == std::string::npos) return false;
    const char* first = text.data() + begin;
    const char* last = text.data() + end + 1;
    if (*first == '+' && first + 1 < last && *(first + 1) != '-') ++first;
    std::int32_t parsed = 0;
    const auto result = std::from_chars(first, last, parsed, 10);
    if (result.ec != std::errc() || result.ptr != last) return false;
    value = parsed;
    return true;
}

int StrToInt(const std::string& text) {
    int value = 0;
    if (!TryStrToInt(text, value)) throw ConvertError("'" + text + "' is not a valid integer value");
    return value;
}

}  // namespace galerion
