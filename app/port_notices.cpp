#include "port_notices.h"

#include "message.h"

#include <algorithm>

#include <chrono>

namespace app {
namespace {

using text::MessageId;
using text::render;

long long wholeMs(serial::DcdDelay::Duration duration) {
    return std::chrono::ceil<std::chrono::milliseconds>(duration).count();
}

} // namespace

std::string PortNotices::seconds(serial::DcdDelay::Duration duration) const {
    const long long tenths = (wholeMs(duration) + 99) / 100;
    return std::to_string(tenths / 10) + format_.decimalSeparator + std::to_string(tenths % 10);
}

PortNotices::Notice PortNotices::afterRead(serial::ReadResult result, const serial::DcdDelay& delay) {
    Notice notice;
    const long long delayMs = wholeMs(delay.longest());
    // Growth worth a line: a quarter more, or at least 2 ms more.
    if (delayMs > 0 && (announcedMs_ == 0 || delayMs > announcedMs_ + std::max(2LL, announcedMs_ / 4))) {
        notice.line = render(MessageId::PortAnswersWithin, {std::to_string(delayMs)});
        announcedMs_ = delayMs;
    }
    const std::string delayText = std::to_string(delayMs);
    switch (result) {
    case serial::ReadResult::Reading: {
        discardsInARow_ = 0;
        if (spell_ != Spell::None) {
            spell_ = Spell::None;
            notice.messages.push_back(render(MessageId::ReadingsResumed, {delayText}));
        }
        const int periods = delay.periodsPerReading();
        if (periods != periodsSaid_ && periods > 0) {
            notice.messages.push_back(
                periods == 1 ? render(MessageId::ReadingsEverySecond, {delayText})
                             : render(MessageId::ReadingsEvery, {delayText, seconds(delay.readingTime()),
                                                                 std::to_string(periods)}));
            periodsSaid_ = periods;
        }
        break;
    }
    case serial::ReadResult::TooSlow:
        if (spell_ == Spell::None) {
            spell_ = Spell::TooSlow;
            notice.clearReadings = true;
            notice.messages.push_back(
                render(MessageId::PortTooSlow, {delayText, seconds(delay.readingTime())}));
        }
        break;
    case serial::ReadResult::TakenTooEarly:
    case serial::ReadResult::Unsettled:
        if (++discardsInARow_ >= kDiscardsBeforeClearing && spell_ == Spell::None) {
            spell_ = Spell::Unsettled;
            notice.clearReadings = true;
            notice.messages.push_back(render(MessageId::PortUnsettled,
                                             {std::to_string(wholeMs(delay.longestAffordableWait()))}));
        }
        break;
    }
    return notice;
}

} // namespace app
