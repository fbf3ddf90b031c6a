#include "run.h"

#include "form1_window.h"
#include "language.h"
#include "message.h"
#include "qt_runtime.h"
#include "real_port.h"
#include "session_end.h"

#include <QApplication>
#include <cstdio>

int runThermometer(int& argc, char** argv, std::unique_ptr<serial::SerialLine> port,
                   const std::function<void()>& onLoaded) {
    // Qt's own event dispatcher (ppoll) rather than glib's. The program
    // wakes a thousand times a second, and glib's main-loop bookkeeping on
    // each wake cost about a sixth of its CPU (bench/RESULTS.md). Qt picks
    // the dispatcher once, when the application object is made.
    qputenv("QT_NO_GLIB", "1");
    text::setLanguage(text::userLanguage());
    QApplication application(argc, argv);
    qtui::QtRuntime runtime;
    qtui::Form1Window window(std::move(port), runtime);
    if (!window.form().load())
        return app::Form1::kFatalExitStatus;
    if (onLoaded)
        onLoaded();
    qtui::SessionEnd sessionEnd(window.form());
    window.show();
    window.form().startJournal();
    return application.exec();
}

void announce(const std::string& line) noexcept {
    // Flushed now: standard output into a pipe or file is fully buffered,
    // and whoever watches it wants the line while the program runs.
    try {
        const std::string text = text::programLine(line);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    } catch (...) {
    }
}

void announcePort(int number, const std::string& device) {
    announce(serial::openedPortText(number, device));
}
