#pragma once
// The chart's questions answered the Qt way: widths in the system's UI face
// at the window's device pixels, and times, dates and the decimal separator
// in the user's locale (QLocale::system()).

#include "chart.h"

#include <QFont>
#include <QFontMetrics>
#include <QLocale>

namespace qtchart {

class QtChartHost final : public chart::Host {
public:
    QtChartHost();

    // The face at `dpi` device dots per inch: the system's UI face, its
    // size in points kept, so that it is as large as elsewhere on the screen.
    void setDpi(int dpi);
    const QFont& font() const noexcept { return font_; }

    int textWidth(std::string_view utf8) const override;
    int lineHeight() const override;
    std::string timeText(int hour, int minute, int second, bool withSeconds) const override;
    std::string dateText(int year, int month, int day) const override;
    std::string decimalSeparator() const override;

private:
    QLocale locale_;
    QString shortTime_;  // "HH:mm", "h:mm AP"
    QString longTime_;   // the same with the seconds
    QFont font_;
    QFontMetrics metrics_;
    int dpi_ = 0;
};

// The locale's time format with seconds, without the time zone that Qt's
// long format adds: "h:mm:ss AP" from "h:mm:ss AP t".
QString timeWithSeconds(const QLocale& locale);
// And without the seconds: "h:mm AP".
QString timeWithoutSeconds(const QLocale& locale);

} // namespace qtchart
