// A day's recording through the Qt window (day_recording.h).

#include "counting_line.h"
#include "day_recording.h"
#include "form1_window.h"
#include "qt_runtime.h"

#include <QApplication>
#include <QCheckBox>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <unistd.h>

namespace {

double residentBytes() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return double(resident) * double(::sysconf(_SC_PAGESIZE));
}

} // namespace

// Optionally the number of readings, for a shorter trial: day_recording 5000
int main(int argc, char** argv) {
    const int entries = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDayEntries;
    QApplication application(argc, argv);
    QTemporaryDir folder;
    qtui::QtRuntime real;
    SteppedClockRuntime runtime(real);
    runtime.directory = folder.path().toStdString();
    qtui::Form1Window window(std::make_unique<CountingLine>(), runtime);
    if (!window.form().load())
        return 2;
    window.show();
    window.controls().Check1->setChecked(true);
    const DayFigures day = recordADay(window.form(), runtime, [] { QApplication::processEvents(); },
                                      residentBytes, entries);
    return reportDay(day, QFile::exists(folder.filePath(QStringLiteral("database.txt"))), entries);
}
