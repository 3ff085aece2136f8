#include "platform/date_time.h"

#include "platform/errors.h"

#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

namespace galerion {
namespace {

constexpr long kDaysFrom1899ToUnixEpoch = 25569;  // 1970-01-01 as a TDateTime
constexpr double kSecondsPerDay = 86400.0;

// Days since 1970-01-01 for a proleptic Gregorian date (H. Hinnant's civil algorithm).
long DaysFromCivil(long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long>(doe) - 719468;
}

void CivilFromDays(long z, int& y, int& m, int& d) {
    z += 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(static_cast<long>(yoe) + era * 400 + (m <= 2));
}

std::tm ToTm(TDateTime value) {
    const TDateTimeParts p = DecodeDateTime(value);
    std::tm tm{};
    tm.tm_year = p.year - 1900;
    tm.tm_mon = p.month - 1;
    tm.tm_mday = p.day;
    tm.tm_hour = p.hour;
    tm.tm_min = p.minute;
    tm.tm_sec = p.second;
    tm.tm_isdst = -1;
    tm.tm_wday = static_cast<int>(((DaysFromCivil(p.year, p.month, p.day) % 7) + 11) % 7);
    return tm;
}

std::string Format(TDateTime value, const char* format) {
    const std::tm tm = ToTm(value);
    char buffer[128];
    const size_t n = std::strftime(buffer, sizeof buffer, format, &tm);
    return std::string(buffer, n);
}

constexpr double kFirstDay = -693593;      // 0001-01-01
constexpr double kAfterLastDay = 2958466;  // 10000-01-01

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

bool ValidParts(const TDateTimeParts& p) {
    return p.year >= 1 && p.year <= 9999 && p.month >= 1 && p.month <= 12 && p.day >= 1 &&
           p.day <= DaysInMonth(p.year, p.month) && p.hour >= 0 && p.hour <= 23 && p.minute >= 0 &&
           p.minute <= 59 && p.second >= 0 && p.second <= 59;
}

// Reads exactly `digits` decimal digits at `at`.
bool ReadNumber(const std::string& text, size_t& at, size_t digits, int& value) {
    if (text.size() - at < digits) return false;
    const char* first = text.data() + at;
    const auto result = std::from_chars(first, first + digits, value);
    if (result.ec != std::errc() || result.ptr != first + digits) return false;
    at += digits;
    return true;
}

bool ReadChar(const std::string& text, size_t& at, const char* allowed) {
    if (at >= text.size() || std::strchr(allowed, text[at]) == nullptr || text[at] == '\0')
        return false;
    ++at;
    return true;
}

// "yyyy-mm-dd", then optionally " hh:nn", ":ss" and ".f..." (the fraction is dropped).
bool ParseIsoText(const std::string& text, TDateTimeParts& p) {
    size_t at = 0;
    if (!ReadNumber(text, at, 4, p.year) || !ReadChar(text, at, "-") ||
        !ReadNumber(text, at, 2, p.month) || !ReadChar(text, at, "-") ||
        !ReadNumber(text, at, 2, p.day))
        return false;
    if (at == text.size()) return true;
    if (!ReadChar(text, at, " T") || !ReadNumber(text, at, 2, p.hour) || !ReadChar(text, at, ":") ||
        !ReadNumber(text, at, 2, p.minute))
        return false;
    if (at == text.size()) return true;
    if (!ReadChar(text, at, ":") || !ReadNumber(text, at, 2, p.second)) return false;
    if (at == text.size()) return true;
    if (!ReadChar(text, at, ".") || at == text.size()) return false;
    for (; at < text.size(); ++at)
        if (text[at] < '0' || text[at] > '9') return false;
    return true;
}

}  // namespace

TDateTime EncodeDateTime(const TDateTimeParts& p) {
    const long days =
        DaysFromCivil(p.year, static_cast<unsigned>(p.month), static_cast<unsigned>(p.day)) +
        kDaysFrom1899ToUnixEpoch;
    const double time = (p.hour * 3600.0 + p.minute * 60.0 + p.second) / kSecondsPerDay;
    // Before 1899-12-30 the fraction counts away from zero, as the type has always done.
    return days >= 0 ? days + time : days - time;
}

bool IsDateTimeInRange(TDateTime value) {
    return std::isfinite(value) && value > kFirstDay - 1 && value < kAfterLastDay;
}

TDateTimeParts DecodeDateTime(TDateTime value) {
    if (!IsDateTimeInRange(value))
        throw RangeError("The date-time value " + std::to_string(value) +
                         " lies outside the years 1 to 9999");
    double whole = std::trunc(value);
    double fraction = std::fabs(value - whole);
    long seconds = std::lround(fraction * kSecondsPerDay);
    // Rounding reached the next midnight: the next day in the calendar, which for a value
    // before 1899-12-30 (whose whole part counts the days back) is the whole part plus one too.
    if (seconds >= 86400) {
        seconds -= 86400;
        whole += 1;
    }
    TDateTimeParts p;
    CivilFromDays(static_cast<long>(whole) - kDaysFrom1899ToUnixEpoch, p.year, p.month, p.day);
    p.hour = static_cast<int>(seconds / 3600);
    p.minute = static_cast<int>(seconds / 60 % 60);
    p.second = static_cast<int>(seconds % 60);
    return p;
}

std::string DateTimeToIsoText(TDateTime value) {
    const TDateTimeParts p = DecodeDateTime(value);
    char buffer[40];
    if (p.hour == 0 && p.minute == 0 && p.second == 0)
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d", p.year, p.month, p.day);
    else
        std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month,
                      p.day, p.hour, p.minute, p.second);
    return buffer;
}

TDateTime IsoTextToDateTime(const std::string& text) {
    TDateTimeParts p;
    p.hour = p.minute = p.second = 0;
    if (!ParseIsoText(text, p) || !ValidParts(p))
        throw ConvertError("'" + text + "' is not a valid date and time");
    return EncodeDateTime(p);
}

std::string ShortDateText(TDateTime value) { return Format(value, "%x"); }

std::string LongTimeText(TDateTime value) { return Format(value, "%X"); }

TDateTime FileModifiedTime(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        throw FileError("Cannot read the time of " + path + ": " + std::strerror(errno));
    std::tm local{};
    if (!::localtime_r(&st.st_mtim.tv_sec, &local))
        throw FileError("Cannot convert the time of " + path);
    TDateTimeParts p;
    p.year = local.tm_year + 1900;
    p.month = local.tm_mon + 1;
    p.day = local.tm_mday;
    p.hour = local.tm_hour;
    p.minute = local.tm_min;
    p.second = local.tm_sec;
    return EncodeDateTime(p);
}

}  // namespace galerion
