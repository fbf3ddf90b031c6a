// Windows: a name Windows takes for a device, named as the file to chart,
// is refused without being opened (opening COM1 changes its lines).

#include "log_reader.h"

#include <gtest/gtest.h>

TEST(ChartReaderWindows, ADevicesNameIsRefusedWithoutOpeningIt) {
    for (const char* path : {"C:\\logs\\COM1", "C:\\logs\\nul.txt", "\\\\.\\COM1"}) {
        chart::LogReader device(path);
        try {
            device.update();
            ADD_FAILURE() << path << " was read";
        } catch (const text::Error& error) {
            EXPECT_EQ(error.number(), text::kRefusedNameError) << path;
        }
    }
}
