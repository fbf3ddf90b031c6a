// What the user is told about how port 1 reads: the delay on standard
// output, how often a slow port is read, and the spells in which nothing
// can be read, each said once.

#include "port_notices.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;
using serial::DcdDelay;
using serial::ReadResult;

namespace {

// Four measurements of `delay`: enough to go by.
void measureFour(DcdDelay& delay, DcdDelay::Duration each) {
    for (int i = 0; i < 4; ++i)
        delay.measured(each, DcdDelay::Clock::time_point{});
}

} // namespace

TEST(PortNotices, TheDelayIsToldWhenFirstMeasuredAndWhenItHasGrown) {
    DcdDelay delay;
    app::PortNotices notices({"."});
    EXPECT_TRUE(notices.afterRead(ReadResult::Reading, delay).line.empty());
    measureFour(delay, 3400us);
    EXPECT_EQ(notices.afterRead(ReadResult::Reading, delay).line, "port 1 answers within 4 ms");
    measureFour(delay, 5ms);  // a millisecond more is no news
    EXPECT_TRUE(notices.afterRead(ReadResult::Reading, delay).line.empty());
    measureFour(delay, 60ms);
    EXPECT_EQ(notices.afterRead(ReadResult::TakenTooEarly, delay).line, "port 1 answers within 60 ms");
}

TEST(PortNotices, HowOftenASlowPortIsReadIsSaidOnceAndAgainWhenItChanges) {
    DcdDelay delay;
    app::PortNotices notices({","});
    measureFour(delay, 150ms);
    const auto slow = notices.afterRead(ReadResult::Reading, delay).messages;
    ASSERT_EQ(slow.size(), 1u);
    EXPECT_EQ(slow[0], "Port 1 shows a change of the converter's data up to 150 ms late, so one reading "
                       "takes about 1,6 s. A reading now comes every 2 seconds instead of every second.");
    EXPECT_TRUE(notices.afterRead(ReadResult::Reading, delay).messages.empty());
    delay.forget();
    measureFour(delay, 4ms);
    const auto fast = notices.afterRead(ReadResult::Reading, delay).messages;
    ASSERT_EQ(fast.size(), 1u);
    EXPECT_NE(fast[0].find("every second again"), std::string::npos);
}

TEST(PortNotices, ReadingsAreClearedOncePerSpellAndTheirReturnIsSaid) {
    DcdDelay delay;
    measureFour(delay, 20ms);
    app::PortNotices notices({"."});
    notices.afterRead(ReadResult::Reading, delay);
    // A read or two in doubt is no spell yet.
    for (int read = 1; read < app::PortNotices::kDiscardsBeforeClearing; ++read)
        EXPECT_FALSE(notices.afterRead(ReadResult::Unsettled, delay).clearReadings);
    const auto spell = notices.afterRead(ReadResult::TakenTooEarly, delay);
    EXPECT_TRUE(spell.clearReadings);
    ASSERT_EQ(spell.messages.size(), 1u);
    EXPECT_EQ(spell.messages[0].rfind("DCD on port 1 changes when no line", 0), 0u);
    EXPECT_TRUE(notices.afterRead(ReadResult::Unsettled, delay).messages.empty());
    EXPECT_TRUE(notices.afterRead(ReadResult::TooSlow, delay).messages.empty());  // the same spell
    const auto back = notices.afterRead(ReadResult::Reading, delay).messages;
    ASSERT_EQ(back.size(), 1u);
    EXPECT_EQ(back[0], "Port 1 reads reliably again (it answers within 20 ms): readings resume.");

    // Too slow to read at all: at once, once.
    const auto slow = notices.afterRead(ReadResult::TooSlow, delay);
    EXPECT_TRUE(slow.clearReadings);
    ASSERT_EQ(slow.messages.size(), 1u);
    EXPECT_EQ(slow.messages[0].rfind("Port 1 shows a change of the converter's data 20 ms late: too late", 0), 0u);
    EXPECT_FALSE(notices.afterRead(ReadResult::TooSlow, delay).clearReadings);
}
