#include "qt_runtime.h"

#include "periodic_timer.h"
#include "run.h"
#include "time_of_day.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <ctime>

namespace qtui {

measure::NumberFormat numberFormatOf(const QLocale& locale) {
    measure::NumberFormat format;
    const QString separator = locale.decimalPoint();
    if (!separator.isEmpty())
        format.decimalSeparator = separator.toStdString();
    return format;
}

QtRuntime::QtRuntime(std::unique_ptr<AwakeHold> awake)
    : numberFormat_(numberFormatOf(QLocale::system())), awake_(std::move(awake)) {}

std::string QtRuntime::programDirectory() const {
    return QCoreApplication::applicationDirPath().toStdString();
}

std::string QtRuntime::programName() const {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

void QtRuntime::keepSystemAwake(bool awake) noexcept {
    if (awake)
        awake_->hold();
    else
        awake_->release();
}

void QtRuntime::announce(const std::string& line) noexcept {
    ::announce(line);
}

std::string QtRuntime::timeOfDayText() const {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    // Without the zone's rules (an unreadable zone file) the clock's own UTC
    // time is still the time of day best known.
    if (!::localtime_r(&now, &local))
        ::gmtime_r(&now, &local);
    return qtui::timeOfDayText(local);
}

std::unique_ptr<app::Timer> QtRuntime::makeTimer(std::chrono::milliseconds interval,
                                                 std::function<void()> onTick) {
    return std::make_unique<PeriodicTimer>(interval, std::move(onTick));
}

} // namespace qtui
