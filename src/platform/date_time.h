#pragma once
// TDateTime: days since 1899-12-30 with the time of day as the fraction; 0 means "no date".
#include <string>

namespace galerion {

using TDateTime = double;

struct TDateTimeParts {
    int year = 1899, month = 12, day = 30;
    int hour = 0, minute = 0, second = 0;
};

TDateTime EncodeDateTime(const TDateTimeParts& parts);
// RangeError for a value outside the years 1 to 9999 (infinite or not a number included).
TDateTimeParts DecodeDateTime(TDateTime value);
// True for a finite value within the years 1 to 9999.
bool IsDateTimeInRange(TDateTime value);

// Statement form: "yyyy-mm-dd hh:nn:ss", the time left out when it is 00:00:00.
std::string DateTimeToIsoText(TDateTime value);
// Accepts "yyyy-mm-dd", "yyyy-mm-dd hh:nn[:ss[.fff]]" and the same with 'T', a real calendar
// date and nothing after it; throws ConvertError.
TDateTime IsoTextToDateTime(const std::string& text);

// Screen forms in the user's locale (C library "%x" and "%X" after setlocale).
std::string ShortDateText(TDateTime value);
std::string LongTimeText(TDateTime value);

// A file's last-modified time in local time; throws FileError when it cannot be read.
TDateTime FileModifiedTime(const std::string& path);

}  // namespace galerion
