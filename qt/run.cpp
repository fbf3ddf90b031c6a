#include "run.h"

#include "form1_window.h"
#include "qt_runtime.h"

#include <QApplication>

int runThermometer(int& argc, char** argv, std::unique_ptr<serial::SerialLine> port) {
    QApplication application(argc, argv);
    qtui::QtRuntime runtime;
    qtui::Form1Window window(std::move(port), runtime);
    if (!window.form().load())
        return app::Form1::kFatalExitStatus;
    window.show();
    return application.exec();
}
