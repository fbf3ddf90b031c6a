#include "runtime.h"

#include <QCoreApplication>
#include <QLocale>
#include <QMessageBox>
#include <cstdio>

namespace {
const QString kTitle = QStringLiteral("Thermometer");
}

// The locale is read once: the separator of the texts must not change
// between a reading shown and the same reading saved.
DesktopRuntime::DesktopRuntime()
    : numberFormat_(measure::NumberFormat::fromLocale(QLocale::system())) {}

QString DesktopRuntime::programDirectory() const {
    return QCoreApplication::applicationDirPath();
}

QTime DesktopRuntime::timeOfDay() const {
    return QTime::currentTime();
}

void DesktopRuntime::reportFatal(const QString& report) {
    std::fprintf(stderr, "thermometer: %s\n", report.toLocal8Bit().constData());
    std::fflush(stderr);
    QMessageBox box(QMessageBox::Critical, kTitle, report, QMessageBox::Ok);
    box.exec();
}

void DesktopRuntime::reportProblem(QWidget* window, const QString& text) {
    std::fprintf(stderr, "thermometer: %s\n", text.toLocal8Bit().constData());
    auto* box = new QMessageBox(QMessageBox::Warning, kTitle, text, QMessageBox::Ok, window);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void DesktopRuntime::endProgram(int status) {
    QCoreApplication::exit(status);
}
