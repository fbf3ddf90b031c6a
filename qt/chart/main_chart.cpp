// thermometer-chart: a thermometer's readings as a chart. With a file
// named, that log or journal; with none, the recording in progress beside
// the program.

#include "chart_window.h"
#include "language.h"

#include <QApplication>

int main(int argc, char** argv) {
    text::setLanguage(text::userLanguage());
    QApplication application(argc, argv);
    qtchart::ChartWindow window;
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() > 1)
        window.showFile(arguments.at(1));
    else
        window.followRecording();
    window.show();
    return application.exec();
}
