#pragma once
// The converter's scale and the sensor's line: the one place the program
// keeps them. The conversion reads them, and so does the converter model
// the demo and the tests run on.

namespace measure {

inline constexpr double kFullScaleVolts = 5.083;   // the converter's code 1024
inline constexpr int kConverterSteps = 1024;       // 10 bits
inline constexpr double kVoltsAtZeroCelsius = 2.73;
inline constexpr double kDegreesPerVolt = 100.0;   // 10 mV per degree

} // namespace measure
