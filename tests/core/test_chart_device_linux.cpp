// Linux: a device named as the file to chart is refused without being
// opened (opening a serial port's device changes its lines).

#include "log_reader.h"

#include <gtest/gtest.h>

#include <cerrno>

TEST(ChartReaderLinux, ADeviceIsNoLogAndIsNotOpened) {
    chart::LogReader device("/dev/null");
    try {
        device.update();
        ADD_FAILURE() << "a device was read";
    } catch (const text::Error& error) {
        EXPECT_EQ(error.number(), EINVAL);
        EXPECT_EQ(error.subject(), "/dev/null");
    }
}
