// From code to the texts the window shows and the log records.

#include "conversion.h"
#include "log_entry.h"

#include <QSet>
#include <QTest>
#include <clocale>
#include <cmath>

using measure::NumberFormat;

namespace {

NumberFormat comma() {
    return NumberFormat::fromLocale(QLocale(QLocale::German, QLocale::Germany));
}

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

class ConversionTest : public QObject {
    Q_OBJECT
private slots:
    void workedValues_data() {
        QTest::addColumn<double>("code");
        QTest::addColumn<QString>("voltageText");
        QTest::addColumn<float>("temperature");
        QTest::addColumn<QString>("label1");
        QTest::addColumn<QString>("label3");
        QTest::newRow("0") << 0.0 << "0.00" << -273.f << "0.00 Вольт" << "-273 *C";
        QTest::newRow("1 rounds down to 0.00") << 1.0 << "0.00" << -273.f << "0.00 Вольт" << "-273 *C";
        QTest::newRow("2") << 2.0 << "0.01" << -272.f << "0.01 Вольт" << "-272 *C";
        QTest::newRow("537") << 537.0 << "2.67" << -6.f << "2.67 Вольт" << "-6 *C";
        QTest::newRow("538 follows the text") << 538.0 << "2.67" << -6.f << "2.67 Вольт" << "-6 *C";
        QTest::newRow("550") << 550.0 << "2.73" << 0.f << "2.73 Вольт" << "0 *C";
        QTest::newRow("562") << 562.0 << "2.79" << 6.f << "2.79 Вольт" << "6 *C";
        QTest::newRow("600") << 600.0 << "2.98" << 25.f << "2.98 Вольт" << "25 *C";
        QTest::newRow("700") << 700.0 << "3.47" << 74.f << "3.47 Вольт" << "74 *C";
        QTest::newRow("1023") << 1023.0 << "5.08" << 235.f << "5.08 Вольт" << "235 *C";
    }
    void workedValues() {
        QFETCH(double, code);
        QFETCH(QString, voltageText);
        QFETCH(float, temperature);
        QFETCH(QString, label1);
        QFETCH(QString, label3);
        const auto c = measure::convertCode(code, NumberFormat{});
        QCOMPARE(c.VoltageText, voltageText);
        QCOMPARE(c.Temperature, temperature);
        QCOMPARE(c.voltageDisplay, label1);
        QCOMPARE(c.temperatureDisplay, label3);
    }

    void everyCodeGivesWholeDegrees() {
        QSet<QString> voltageTexts, temperatureTexts;
        for (int code = 0; code < 1024; ++code) {
            const auto c = measure::convertCode(code, NumberFormat{});
            if (c.Temperature != std::round(c.Temperature))
                QFAIL(qPrintable(QStringLiteral("code %1 gives %2").arg(code).arg(c.Temperature)));
            QVERIFY(!c.temperatureText.contains(QLatin1Char('.')));
            voltageTexts << c.VoltageText;
            temperatureTexts << c.temperatureText;
        }
        QCOMPARE(voltageTexts.size(), 509);
        QCOMPARE(temperatureTexts.size(), 509);
    }

    void aCommaLocaleReadsItsOwnTextBack() {
        const auto c = measure::convertCode(600, comma());
        QCOMPARE(c.voltageDisplay, QStringLiteral("2,98 Вольт"));
        QCOMPARE(c.Temperature, 25.f);
        QCOMPARE(c.temperatureDisplay, QStringLiteral("25 *C"));
    }

    void negativeTextsUseTheAsciiMinusInEveryLocale() {
        // Swedish locale data carries U+2212 as its minus sign.
        const auto swedish = NumberFormat::fromLocale(QLocale(QLocale::Swedish, QLocale::Sweden));
        QCOMPARE(measure::convertCode(0, swedish).temperatureText, QStringLiteral("-273"));
        QCOMPARE(measure::convertCode(537, comma()).temperatureText, QStringLiteral("-6"));
    }

    void numbersReadBackOnlyInTheirOwnForm() {
        QCOMPARE(measure::parseNumber(u"2,98", comma()), std::optional<double>(2.98));
        QCOMPARE(measure::parseNumber(u"2.98", NumberFormat{}), std::optional<double>(2.98));
        QVERIFY(!measure::parseNumber(u"2.98", comma()));
        QVERIFY(!measure::parseNumber(u"", NumberFormat{}));
        QVERIFY(!measure::parseNumber(u"2.98 V", NumberFormat{}));
    }

    void singlesKeepSevenSignificantDigits() {
        QCOMPARE(measure::singleToText(25.f, NumberFormat{}), QStringLiteral("25"));
        QCOMPARE(measure::singleToText(1.5f, comma()), QStringLiteral("1,5"));
        QCOMPARE(measure::singleToText(1234567.f, NumberFormat{}), QStringLiteral("1234567"));
        QCOMPARE(measure::singleToText(0.1f, NumberFormat{}), QStringLiteral("0.1"));
    }

    void aLogEntryIsTemperatureFourBlanksTime() {
        QCOMPARE(measure::logEntry(QStringLiteral("25"), QStringLiteral("14:03:07")),
                 QStringLiteral("25    14:03:07"));
        QCOMPARE(measure::logEntry(QStringLiteral("-6"), QStringLiteral("09:00:00")),
                 QStringLiteral("-6    09:00:00"));
    }

    void timeOfDayFollowsTheLocale_data() {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QString>("text");
        QTest::newRow("C") << QByteArray("C.UTF-8") << "14:03:07";
        QTest::newRow("German") << QByteArray("de_DE.UTF-8") << "14:03:07";
        QTest::newRow("Russian") << QByteArray("ru_RU.UTF-8") << "14:03:07";
        QTest::newRow("US English") << QByteArray("en_US.UTF-8") << "02:03:07 PM";
    }
    void timeOfDayFollowsTheLocale() {
        QFETCH(QByteArray, locale);
        QFETCH(QString, text);
        TimeLocale scope(locale.constData());
        if (!scope.ok())
            QFAIL(qPrintable("locale " + locale + " is not installed; the test set-up generates it"));
        QCOMPARE(measure::timeOfDayText(QTime(14, 3, 7)), text);
    }
};

QTEST_GUILESS_MAIN(ConversionTest)
#include "test_conversion.moc"
