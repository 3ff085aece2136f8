#include "platform/date_time.h"

#include "platform/errors.h"

#include <gtest/gtest.h>

#include <limits>

#include <fcntl.h>
#include <sys/stat.h>

#include <cstdio>
#include <ctime>
#include <fstream>

namespace galerion {
namespace {

TEST(DateTime, KnownDaysAndIsoTexts) {
    struct Case {
        TDateTimeParts parts;
        double value;
        const char* iso;
    };
    const Case cases[] = {
        {{1899, 12, 30, 0, 0, 0}, 0.0, "1899-12-30"},
        {{1900, 1, 1, 0, 0, 0}, 2.0, "1900-01-01"},
        {{1970, 1, 1, 0, 0, 0}, 25569.0, "1970-01-01"},
        {{2024, 2, 29, 12, 0, 0}, 45351.5, "2024-02-29 12:00:00"},
        {{2026, 12, 10, 6, 30, 15},
         46366.0 + (6 * 3600 + 30 * 60 + 15) / 86400.0,
         "2026-12-10 06:30:15"},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(EncodeDateTime(c.parts), c.value) << c.iso;
        EXPECT_EQ(DateTimeToIsoText(c.value), c.iso);
        EXPECT_DOUBLE_EQ(IsoTextToDateTime(c.iso), c.value) << c.iso;
    }
}

TEST(DateTime, IsoReadingAcceptsTAndRejectsJunk) {
    EXPECT_DOUBLE_EQ(IsoTextToDateTime("2024-02-29T12:00:00"), 45351.5);
    EXPECT_DOUBLE_EQ(IsoTextToDateTime("2024-02-29 12:00"), 45351.5);
    EXPECT_DOUBLE_EQ(IsoTextToDateTime("2024-02-29 12:00:00.250"), 45351.5);
    for (const char* bad :
         {"", "yesterday", "2024-13-01", "2024-02-29X12:00:00", "2024-02-29 25:00:00", "2021-02-29",
          "2021-02-31", "2021-04-31", "2024-02-29 12:00:00junk", "2024-02-29junk",
          "2024-02-29 12:00:00.", "2024-2-29", " 2024-02-29", "2024-02-29 12:00:00 ", "0000-01-01"})
        EXPECT_THROW(IsoTextToDateTime(bad), ConvertError) << bad;
}

TEST(DateTime, NegativeValuesRoundToTheRightDayAndTheRangeIsChecked) {
    // Before 1899-12-30 the whole part counts days back and the fraction is the time of day:
    // a time that rounds up to midnight is the start of the next calendar day.
    // 1899-12-29 23:59:59.6 -> 1899-12-30 00:00:00 (not 1899-12-28).
    const TDateTimeParts late = DecodeDateTime(-1.0 - (86399.6 / 86400.0));
    EXPECT_EQ(late.month, 12);
    EXPECT_EQ(late.day, 30);
    EXPECT_EQ(late.hour, 0);
    EXPECT_EQ(DateTimeToIsoText(-1.75), "1899-12-29 18:00:00");
    for (const double bad : {1e300, -1e300, std::numeric_limits<double>::infinity(),
                             std::numeric_limits<double>::quiet_NaN(), 2958466.0})
        EXPECT_THROW(DecodeDateTime(bad), RangeError) << bad;
    EXPECT_EQ(DateTimeToIsoText(2958465.0), "9999-12-31");
}

TEST(DateTime, FileModifiedTimeIsLocalTime) {
    const std::string path = testing::TempDir() + "/mtime.txt";
    std::ofstream(path) << "x";
    std::tm local{};
    local.tm_year = 2021 - 1900;
    local.tm_mon = 6;
    local.tm_mday = 4;
    local.tm_hour = 10;
    local.tm_min = 20;
    local.tm_sec = 30;
    local.tm_isdst = -1;
    const std::time_t when = std::mktime(&local);
    struct timespec times[2] = {{when, 0}, {when, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(DateTimeToIsoText(FileModifiedTime(path)), "2021-07-04 10:20:30");
    std::remove(path.c_str());
    EXPECT_THROW(FileModifiedTime(path), FileError);
}

}  // namespace
}  // namespace galerion
