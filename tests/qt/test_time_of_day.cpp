// The time of day as the C library writes it under the user's locale (the
// Linux program's time text).

#include "time_of_day.h"

#include <QTest>

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

class TimeOfDayTest : public QObject {
    Q_OBJECT
private slots:
    void followsTheLocale() {
        const std::pair<const char*, const char*> cases[] = {{"C.UTF-8", "14:03:07"},
                                                             {"de_DE.UTF-8", "14:03:07"},
                                                             {"ru_RU.UTF-8", "14:03:07"},
                                                             {"en_US.UTF-8", "02:03:07 PM"}};
        std::tm time{};
        time.tm_hour = 14;
        time.tm_min = 3;
        time.tm_sec = 7;
        for (const auto& [locale, expected] : cases) {
            TimeLocale scope(locale);
            QVERIFY2(scope.ok(), locale);  // the test set-up generates these locales
            QCOMPARE(qtui::timeOfDayText(time), std::string(expected));
        }
    }
};

QTEST_GUILESS_MAIN(TimeOfDayTest)
#include "test_time_of_day.moc"
