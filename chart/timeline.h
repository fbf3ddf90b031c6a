#pragma once
// Where each reading's time of day falls: on which day and, for a 12-hour
// clock, in which half of it. A log holds times of day only.
//
// The day: a journal's dated lines give it; the first reading after one
// falls on the day that puts it nearest to the line's date and time. From
// there, and in a saved log from its first reading (day 0), a new day
// starts only where the time goes back by more than 12 hours; a smaller
// step back (a clock put back, the end of summer time) stays on the day.
//
// The half of the day: a time whose AM/PM marker is known (day_half.h)
// says it. Otherwise the file's own times decide. Any hour 0 or over 12
// means a 24-hour clock. Failing that, two markers that take turns are a
// 12-hour clock whose halves cannot be told: the first marker seen is taken
// for the morning. One time without a marker that goes from 12 to 1 is a
// 12-hour clock without markers: it is counted on from the first reading,
// taken for the morning. Anything else is a 24-hour clock. What these
// guesses rest on can change as a file is read; the reader then reads it
// again from its start.

#include "day_half.h"
#include "time_text.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace chart {

class Timeline {
public:
    struct Placed {
        std::int64_t seconds;  // dated: civil_time.h's seconds; else day number x 86 400 + time of day
        bool dated;
    };

    // How times without a known marker are read.
    enum class Clock { TwentyFourHour, TwelveHourTwoMarkers, TwelveHourNoMarker };

    // Takes in what `time` tells of the file's clock. True when that
    // changes how times already placed read: the caller then calls
    // restart() and places every time again from the file's start.
    bool learn(const TimeText& time);

    // Where `time` falls; nothing for a third marker of unknown meaning.
    std::optional<Placed> place(const TimeText& time);

    // A journal's dated line (civil_time.h's seconds).
    void dateMark(std::int64_t dateTime);

    // Back to before the first time: what was learnt is kept.
    void restart();

    Clock clock() const;
    // The marker taken for the morning where two unknown ones take turns.
    std::string guessedMorning() const;

private:
    struct Frame {
        std::string text;
        DayHalf half;
        int unknownRank;  // the order in which unknown markers were first seen; -1 for known
    };
    const Frame& frameOf(const TimeText& time);
    // The time of day `time` stands for, and in `open` the times it may
    // stand for where a dated line is to choose.
    struct Open {
        std::array<int, 2> times{};
        int count = 0;
    };
    std::optional<int> timeOfDay(const TimeText& time, const Frame& frame, Open& open);

    // What was learnt
    std::vector<Frame> frames_;
    int unknownFrames_ = 0;
    bool sawTwentyFourHour_ = false;
    bool sawTwelveToOne_ = false;
    int lastUnknownHour_ = -1;
    Clock clockUsed_ = Clock::TwentyFourHour;
    bool placedUnknown_ = false;

    // Where the last time fell
    std::int64_t day_ = 0;
    int lastTimeOfDay_ = -1;
    int lastTwelveHourTime_ = -1;
    int afternoon_ = 0;
    bool dated_ = false;
    std::optional<std::int64_t> dateMark_;
};

} // namespace chart
