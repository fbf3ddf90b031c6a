#pragma once
// A time of day as a thermometer log holds it: whatever the writer's locale
// made of the hours, minutes and seconds.
//
// Accepted: two or three numbers, hour, minutes and optionally seconds, each
// one or two decimal digits of any one script; between two numbers a
// separator of one to eight characters that holds no digit (":", ".",
// "時", "시 "); before the first and after the last any text without
// digits: an AM/PM marker, a unit ("秒"), a time zone's name. A zone
// written as a signed number ("+0300", "-03") after a blank also counts as
// such text. Hours 0 to 23, minutes 0 to 59, seconds 0 to 60.
//   "14:03:07", " 2:03:07 PM", "UTC 02:03:07 م", "02시 03분 07초",
//   "۱۴:۰۳:۰۷", "kl. 14.03 +0000", "上午 02時03分07秒 UTC"
// Times written in words or in numerals that are not digits ("十四時")
// are not accepted.

#include <optional>
#include <string>
#include <string_view>

namespace chart {

struct TimeText {
    int hour = 0;
    int minute = 0;
    int second = 0;
    // The text around the numbers, blanks trimmed, the part before them and
    // the part after them joined by kFrameJoint: "\x1fPM", "UTC\x1fص".
    // Two times of one locale differ in it only by their AM/PM marker (and
    // a zone's change of name).
    std::string frame;
};

inline constexpr char kFrameJoint = '\x1f';

// `text` is UTF-8, without the line's end.
std::optional<TimeText> parseTimeText(std::string_view text);

} // namespace chart
