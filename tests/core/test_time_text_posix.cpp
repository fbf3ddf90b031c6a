// The time of day as the C library writes it under the user's locale (the
// Linux program's time text).

#include "log_entry.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

// Runs the body under one C library LC_TIME locale, restoring the old one.
class TimeLocale {
public:
    explicit TimeLocale(const char* name) : old_(std::setlocale(LC_TIME, nullptr)) {
        ok_ = std::setlocale(LC_TIME, name) != nullptr;
    }
    ~TimeLocale() { std::setlocale(LC_TIME, old_.c_str()); }
    bool ok() const { return ok_; }

private:
    std::string old_;
    bool ok_ = false;
};

} // namespace

TEST(TimeText, FollowsTheLocale) {
    const std::pair<const char*, const char*> cases[] = {{"C.UTF-8", "14:03:07"},
                                                         {"de_DE.UTF-8", "14:03:07"},
                                                         {"ru_RU.UTF-8", "14:03:07"},
                                                         {"en_US.UTF-8", "02:03:07 PM"}};
    std::tm time{};
    time.tm_hour = 14;
    time.tm_min = 3;
    time.tm_sec = 7;
    for (const auto& [locale, text] : cases) {
        TimeLocale scope(locale);
        ASSERT_TRUE(scope.ok()) << "locale " << locale << " is not installed; the test set-up generates it";
        EXPECT_EQ(measure::timeOfDayText(time), text) << locale;
    }
}
