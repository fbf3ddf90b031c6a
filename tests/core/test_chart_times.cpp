// The times of day the chart reads, as the thermometer writes them under
// any locale (strftime("%X") on Linux, GetTimeFormatEx on Windows), placed
// on the day and in the half of it they were written at.

#include "time_text.h"
#include "timeline.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

using chart::parseTimeText;
using chart::Timeline;

namespace {

struct LocaleTimes {
    const char* locale;
    std::array<const char*, 7> times;
};

const LocaleTimes kLocales[] = {
#include "locale_times.inc"
    // Windows' user formats, as GetTimeFormatEx writes them, the designators
    // included ("h:mm:ss tt", "tt h:mm:ss", "tt hh:mm:ss", with U+202F).
    {"en-US",
     {"9:00:00 AM", "11:59:59 AM", "12:00:00 PM", "1:00:00 PM", "11:59:59 PM", "12:00:00 AM", "1:00:00 AM"}},
    {"ko-KR",
     {"오전 9:00:00", "오전 11:59:59", "오후 12:00:00", "오후 1:00:00", "오후 11:59:59", "오전 12:00:00",
      "오전 1:00:00"}},
    {"zh-TW",
     {"上午 09:00:00", "上午 11:59:59", "下午 12:00:00", "下午 01:00:00", "下午 11:59:59", "上午 12:00:00",
      "上午 01:00:00"}},
    {"el-GR",
     {"9:00:00 π.μ.", "11:59:59 π.μ.", "12:00:00 μ.μ.", "1:00:00 μ.μ.", "11:59:59 μ.μ.", "12:00:00 π.μ.",
      "1:00:00 π.μ."}},
    {"en-US (ICU)",
     {"9:00:00\u202fAM", "11:59:59\u202fAM", "12:00:00\u202fPM", "1:00:00\u202fPM", "11:59:59\u202fPM",
      "12:00:00\u202fAM", "1:00:00\u202fAM"}},
    {"de-DE, custom", {"09.00", "11.59", "12.00", "13.00", "23.59", "00.00", "01.00"}},
};

// 09:00:00, 11:59:59, 12:00:00, 13:00:00, 23:59:59, and the next day 00:00:00, 01:00:00.
constexpr std::array<std::int64_t, 7> kPlaced{32400, 43199, 43200, 46800, 86399, 86400, 90000};

// The times of one file, learnt and then placed, as the reader does.
std::vector<std::int64_t> placeAll(const std::vector<chart::TimeText>& times, Timeline& timeline) {
    for (const chart::TimeText& time : times)
        timeline.learn(time);
    timeline.restart();
    std::vector<std::int64_t> placed;
    for (const chart::TimeText& time : times) {
        const auto at = timeline.place(time);
        placed.push_back(at ? at->seconds : -1);
    }
    return placed;
}

} // namespace

TEST(ChartTimes, EveryLocalesTimesAcrossNoonAndMidnightFallWhereTheyWereWritten) {
    for (const LocaleTimes& locale : kLocales) {
        SCOPED_TRACE(locale.locale);
        if (std::string(locale.locale) == "lzh_TW") {
            // Hours in Chinese numerals, not digits: not a time this reads.
            EXPECT_FALSE(parseTimeText(locale.times[0]));
            continue;
        }
        std::vector<chart::TimeText> times;
        for (const char* text : locale.times) {
            const auto time = parseTimeText(text);
            ASSERT_TRUE(time) << text;
            times.push_back(*time);
        }
        const bool withSeconds = times[1].second == 59;
        Timeline timeline;
        const std::vector<std::int64_t> placed = placeAll(times, timeline);
        for (std::size_t k = 0; k < placed.size(); ++k)
            EXPECT_EQ(placed[k], kPlaced[k] - (withSeconds ? 0 : kPlaced[k] % 60)) << locale.times[k];
        // Only where the markers say nothing is morning told from afternoon by guessing.
        const bool blankMarkers = std::string(locale.times[2]) == locale.times[5];
        EXPECT_EQ(timeline.clock() == Timeline::Clock::TwelveHourNoMarker, blankMarkers);
    }
}

TEST(ChartTimes, WhatIsNotATimeOfDayIsRefused) {
    for (const char* text : {"", "14", "14:03:07:09", "123:03:07", "24:00:00", "14:60:00", "14:03:61",
                             "14:\x01:07", "14:03:\xff", "14 minutes past 3 in the afternoon, as one says"})
        EXPECT_FALSE(parseTimeText(text)) << text;
    const auto zoned = parseTimeText("kl. 14.03 -0300");
    ASSERT_TRUE(zoned);
    EXPECT_EQ(zoned->hour * 60 + zoned->minute, 14 * 60 + 3);
    const auto dashed = parseTimeText("14-03-07");  // a separator, not a zone
    ASSERT_TRUE(dashed);
    EXPECT_EQ(dashed->second, 7);
}

TEST(ChartTimes, TwoMarkersOfNoKnownLanguageTakeTurnsAsMorningAndAfternoon) {
    std::vector<chart::TimeText> times;
    for (const char* text : {"11:59:59 xa", "12:00:00 xb", "1:00:00 xb", "11:59:59 xb", "12:00:00 xa"})
        times.push_back(*parseTimeText(text));
    Timeline timeline;
    EXPECT_EQ(placeAll(times, timeline), (std::vector<std::int64_t>{43199, 43200, 46800, 86399, 86400}));
    EXPECT_EQ(timeline.clock(), Timeline::Clock::TwelveHourTwoMarkers);
    EXPECT_EQ(timeline.guessedMorning(), "\x1fxa");
    // An hour past 12 shows the clock counts to 24: the markers are no halves.
    times.push_back(*parseTimeText("13:00:00 xa"));
    Timeline again;
    placeAll(times, again);
    EXPECT_EQ(again.clock(), Timeline::Clock::TwentyFourHour);
}
