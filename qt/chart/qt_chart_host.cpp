#include "qt_chart_host.h"

#include <QApplication>
#include <QDate>
#include <QTime>

#include <cmath>

namespace qtchart {

QString timeWithSeconds(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        kept += c;
    }
    return kept.trimmed();
}

QString timeWithoutSeconds(const QLocale& locale) {
    QString format = timeWithSeconds(locale);
    // The seconds and the separator before them: "HH:mm:ss" -> "HH:mm".
    bool quoted = false;
    for (qsizetype at = 0; at < format.size(); ++at) {
        if (format[at] == u'\'')
            quoted = !quoted;
        if (quoted || format[at] != u's')
            continue;
        qsizetype from = at;
        while (from > 0 && !format[from - 1].isLetter() && format[from - 1] != u'\'')
            --from;
        qsizetype to = at;
        while (to < format.size() && format[to] == u's')
            ++to;
        format.remove(from, to - from);
        break;
    }
    return format.trimmed();
}

QtChartHost::QtChartHost()
    : locale_(QLocale::system()), shortTime_(timeWithoutSeconds(locale_)),
      longTime_(timeWithSeconds(locale_)), font_(QApplication::font()), metrics_(font_) {
    setDpi(96);
}

void QtChartHost::setDpi(int dpi) {
    if (dpi == dpi_)
        return;
    dpi_ = dpi;
    font_ = QApplication::font();
    const double points = font_.pointSizeF() > 0 ? font_.pointSizeF() : 9.0;
    font_.setPixelSize(std::max(1, int(std::lround(points * dpi / 72.0))));
    metrics_ = QFontMetrics(font_);
}

int QtChartHost::textWidth(std::string_view utf8) const {
    return metrics_.horizontalAdvance(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())));
}

int QtChartHost::lineHeight() const {
    return metrics_.height();
}

std::string QtChartHost::timeText(int hour, int minute, int second, bool withSeconds) const {
    return locale_.toString(QTime(hour, minute, second), withSeconds ? longTime_ : shortTime_).toStdString();
}

std::string QtChartHost::dateText(int year, int month, int day) const {
    return locale_.toString(QDate(year, month, day), QLocale::ShortFormat).toStdString();
}

std::string QtChartHost::decimalSeparator() const {
    return locale_.decimalPoint().toStdString();
}

} // namespace qtchart
