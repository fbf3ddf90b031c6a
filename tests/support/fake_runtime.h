#pragma once
// A Runtime for tests: a fixed clock, a chosen number format, a directory
// of the test's own, and reports collected instead of shown.

#include "runtime.h"

#include <QStringList>
#include <optional>

class FakeRuntime final : public Runtime {
public:
    QString directory;
    QTime clock{14, 3, 7};
    measure::NumberFormat format;
    QStringList fatalReports;
    QStringList problems;
    std::optional<int> endStatus;

    QString programDirectory() const override { return directory; }
    QTime timeOfDay() const override { return clock; }
    measure::NumberFormat numberFormat() const override { return format; }
    void reportFatal(const QString& report) override { fatalReports << report; }
    void reportProblem(QWidget*, const QString& text) override { problems << text; }
    void endProgram(int status) override { endStatus = status; }
};
