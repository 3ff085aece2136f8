#include "ui/fullsize/date_text.h"

#include <langinfo.h>
#include <time.h>

#include <cctype>
#include <cstring>
#include <ctime>
#include <vector>

namespace galerion::ui {
namespace {

bool OnlyBlanks(const char* rest) {
    while (*rest != '\0' && std::isspace(static_cast<unsigned char>(*rest))) ++rest;
    return *rest == '\0';
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// The locale's short date form as typed: its two-digit year also as four digits.
std::vector<std::string> DateFormats() {
    const std::string shortForm = nl_langinfo(D_FMT);
    std::vector<std::string> forms{shortForm};
    const std::size_t year = shortForm.find("%y");
    if (year != std::string::npos) {
        std::string fullYear = shortForm;
        fullYear[year + 1] = 'Y';
        forms.push_back(fullYear);
    }
    return forms;
}

std::optional<TDateTime> ReadWith(const std::string& text, const std::string& format) {
    std::tm parts{};
    parts.tm_mday = 1;
    const char* rest = strptime(text.c_str(), format.c_str(), &parts);
    if (rest == nullptr || !OnlyBlanks(rest)) return std::nullopt;
    const int year = parts.tm_year + 1900, month = parts.tm_mon + 1;
    if (month < 1 || month > 12 || parts.tm_mday < 1 || parts.tm_mday > DaysInMonth(year, month))
        return std::nullopt;
    if (parts.tm_hour > 23 || parts.tm_min > 59 || parts.tm_sec > 59) return std::nullopt;
    return EncodeDateTime({year, month, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec});
}

}  // namespace

std::optional<TDateTime> ReadLocalDateTime(const std::string& text) {
    const std::string timeForm = nl_langinfo(T_FMT);
    for (const std::string& date : DateFormats())
        for (const std::string& form : {date, date + " " + timeForm, date + " %H:%M"})
            if (std::optional<TDateTime> value = ReadWith(text, form)) return value;
    return std::nullopt;
}

}  // namespace galerion::ui
