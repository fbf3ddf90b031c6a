#include "run.h"

#include "form1.h"
#include "runtime.h"

#include <QApplication>

int runThermometer(int& argc, char** argv, std::unique_ptr<serial::SerialLine> port) {
    QApplication app(argc, argv);
    DesktopRuntime runtime;
    Form1 form(std::move(port), runtime);
    if (!form.load())
        return Form1::kFatalExitStatus;
    form.show();
    return app.exec();
}
