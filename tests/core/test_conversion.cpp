// From code to the texts the window shows and the log records.

#include "conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

using measure::NumberFormat;

namespace {
const NumberFormat kComma{","};
} // namespace

TEST(Conversion, WorkedValues) {
    struct Case { double code; const char* voltageText; float temperature; const char* label1; const char* label3; };
    const Case cases[] = {
        {0, "0.00", -273.f, "0.00 Вольт", "-273 *C"},
        {1, "0.00", -273.f, "0.00 Вольт", "-273 *C"},  // rounds down to 0.00
        {2, "0.01", -272.f, "0.01 Вольт", "-272 *C"},
        {537, "2.67", -6.f, "2.67 Вольт", "-6 *C"},
        {538, "2.67", -6.f, "2.67 Вольт", "-6 *C"},    // follows the text
        {550, "2.73", 0.f, "2.73 Вольт", "0 *C"},
        {562, "2.79", 6.f, "2.79 Вольт", "6 *C"},
        {600, "2.98", 25.f, "2.98 Вольт", "25 *C"},
        {700, "3.47", 74.f, "3.47 Вольт", "74 *C"},
        {1023, "5.08", 235.f, "5.08 Вольт", "235 *C"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const auto r = measure::convertCode(c.code, NumberFormat{});
        EXPECT_EQ(r.VoltageText, c.voltageText);
        EXPECT_EQ(r.Temperature, c.temperature);
        EXPECT_EQ(r.voltageDisplay, c.label1);
        EXPECT_EQ(r.temperatureDisplay, c.label3);
    }
}

TEST(Conversion, EveryCodeGivesWholeDegrees) {
    std::set<std::string> voltageTexts, temperatureTexts;
    for (int code = 0; code < 1024; ++code) {
        const auto c = measure::convertCode(code, NumberFormat{});
        ASSERT_EQ(c.Temperature, std::round(c.Temperature)) << "code " << code;
        ASSERT_EQ(c.temperatureText.find('.'), std::string::npos) << "code " << code;
        voltageTexts.insert(c.VoltageText);
        temperatureTexts.insert(c.temperatureText);
    }
    EXPECT_EQ(voltageTexts.size(), 509u);
    EXPECT_EQ(temperatureTexts.size(), 509u);
}

TEST(Conversion, ACommaLocaleReadsItsOwnTextBack) {
    const auto c = measure::convertCode(600, kComma);
    EXPECT_EQ(c.voltageDisplay, "2,98 Вольт");
    EXPECT_EQ(c.Temperature, 25.f);
    EXPECT_EQ(c.temperatureDisplay, "25 *C");
    EXPECT_EQ(measure::convertCode(537, kComma).temperatureText, "-6");
    // A separator of more than one byte (U+066B, Arabic) reads back as well.
    EXPECT_EQ(measure::convertCode(600, NumberFormat{"\xd9\xab"}).Temperature, 25.f);
}

TEST(Conversion, NumbersReadBackOnlyInTheirOwnForm) {
    EXPECT_EQ(measure::parseNumber("2,98", kComma), std::optional<double>(2.98));
    EXPECT_EQ(measure::parseNumber("2.98", NumberFormat{}), std::optional<double>(2.98));
    EXPECT_FALSE(measure::parseNumber("2.98", kComma));
    EXPECT_FALSE(measure::parseNumber("", NumberFormat{}));
    EXPECT_FALSE(measure::parseNumber("2.98 V", NumberFormat{}));
}

TEST(Conversion, SinglesKeepSevenSignificantDigits) {
    EXPECT_EQ(measure::singleToText(25.f, NumberFormat{}), "25");
    EXPECT_EQ(measure::singleToText(1.5f, kComma), "1,5");
    EXPECT_EQ(measure::singleToText(1234567.f, NumberFormat{}), "1234567");
    EXPECT_EQ(measure::singleToText(0.1f, NumberFormat{}), "0.1");
}
