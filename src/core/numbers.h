#pragma once
// Number conversions shared by every layer.
#include <cmath>
#include <string>

namespace galerion {

// Round half to even on the value as computed (the default rounding mode of nearbyint).
inline long long Round(long double value) { return static_cast<long long>(std::nearbyintl(value)); }
inline long long Round(double value) { return static_cast<long long>(std::nearbyint(value)); }
inline long long Round(float value) { return static_cast<long long>(std::nearbyintf(value)); }

// A decimal 32-bit integer with an optional sign and surrounding blanks, as an edit holds it;
// anything else throws ConvertError ("'abc' is not a valid integer value").
int StrToInt(const std::string& text);
// The same without the exception: false when the text is no decimal 32-bit integer.
bool TryStrToInt(const std::string& text, int& value);

}  // namespace galerion
