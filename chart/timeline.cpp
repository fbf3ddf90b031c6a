#include "timeline.h"

#include "civil_time.h"

#include <cstdlib>

namespace chart {
namespace {

constexpr int kHalfDay = 43200;

int secondsOf(int hour, int minute, int second) {
    return hour * 3600 + minute * 60 + (second > 59 ? 59 : second);
}

} // namespace

const Timeline::Frame& Timeline::frameOf(const TimeText& time) {
    for (const Frame& frame : frames_)
        if (frame.text == time.frame)
            return frame;
    const DayHalf half = dayHalfOf(time.frame);
    frames_.push_back({time.frame, half, half == DayHalf::Unknown ? unknownFrames_++ : -1});
    return frames_.back();
}

Timeline::Clock Timeline::clock() const {
    if (sawTwentyFourHour_)
        return Clock::TwentyFourHour;
    if (unknownFrames_ >= 2)
        return Clock::TwelveHourTwoMarkers;
    return sawTwelveToOne_ ? Clock::TwelveHourNoMarker : Clock::TwentyFourHour;
}

std::string Timeline::guessedMorning() const {
    for (const Frame& frame : frames_)
        if (frame.unknownRank == 0)
            return frame.text;
    return {};
}

bool Timeline::learn(const TimeText& time) {
    const Frame& frame = frameOf(time);
    if (frame.half == DayHalf::Unknown) {
        if (time.hour == 0 || time.hour > 12)
            sawTwentyFourHour_ = true;
        if (lastUnknownHour_ == 12 && time.hour == 1)
            sawTwelveToOne_ = true;
        lastUnknownHour_ = time.hour;
    }
    const Clock now = clock();
    const bool changed = now != clockUsed_ && placedUnknown_;
    clockUsed_ = now;
    return changed;
}

void Timeline::restart() {
    day_ = 0;
    lastTimeOfDay_ = -1;
    lastTwelveHourTime_ = -1;
    afternoon_ = 0;
    dated_ = false;
    dateMark_.reset();
    placedUnknown_ = false;
    lastUnknownHour_ = -1;
}

void Timeline::dateMark(std::int64_t dateTime) {
    dateMark_ = dateTime;
}

std::optional<int> Timeline::timeOfDay(const TimeText& time, const Frame& frame, Open& open) {
    const int asWritten = secondsOf(time.hour, time.minute, time.second);
    const int onTwelve = secondsOf(time.hour % 12, time.minute, time.second);
    if (frame.half != DayHalf::Unknown)
        return time.hour > 12 ? asWritten : onTwelve + (frame.half == DayHalf::Afternoon ? kHalfDay : 0);
    placedUnknown_ = true;
    switch (clockUsed_) {
    case Clock::TwentyFourHour:
        return asWritten;
    case Clock::TwelveHourTwoMarkers:
        if (frame.unknownRank > 1)
            return std::nullopt;
        return onTwelve + frame.unknownRank * kHalfDay;
    case Clock::TwelveHourNoMarker:
        // The clock goes round twice a day: a step back of more than six
        // hours on it is the next half of the day.
        if (lastTwelveHourTime_ >= 0 && onTwelve + kHalfDay / 2 < lastTwelveHourTime_)
            afternoon_ ^= 1;
        lastTwelveHourTime_ = onTwelve;
        open = {{onTwelve, onTwelve + kHalfDay}, 2};
        return onTwelve + afternoon_ * kHalfDay;
    }
    return std::nullopt;
}

std::optional<Timeline::Placed> Timeline::place(const TimeText& time) {
    const Frame& frame = frameOf(time);
    Open open;
    std::optional<int> seconds = timeOfDay(time, frame, open);
    if (!seconds)
        return std::nullopt;
    if (open.count == 0)
        open = {{*seconds, 0}, 1};
    if (dateMark_) {
        // The day (and half of it, where that is open) nearest the dated line.
        const std::int64_t markDay = dayOf(*dateMark_);
        std::int64_t bestDistance = -1;
        for (std::int64_t day = markDay - 1; day <= markDay + 1; ++day) {
            for (int k = 0; k < open.count; ++k) {
                const int candidate = open.times[std::size_t(k)];
                const std::int64_t distance = std::llabs(day * kSecondsPerDay + candidate - *dateMark_);
                if (bestDistance < 0 || distance < bestDistance) {
                    bestDistance = distance;
                    day_ = day;
                    *seconds = candidate;
                }
            }
        }
        if (clockUsed_ == Clock::TwelveHourNoMarker && frame.half == DayHalf::Unknown)
            afternoon_ = *seconds >= kHalfDay ? 1 : 0;
        dated_ = true;
        dateMark_.reset();
    } else if (lastTimeOfDay_ >= 0 && *seconds < lastTimeOfDay_ - kHalfDay) {
        ++day_;
    }
    lastTimeOfDay_ = *seconds;
    return Placed{day_ * kSecondsPerDay + *seconds, dated_};
}

} // namespace chart
