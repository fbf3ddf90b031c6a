#pragma once
// What the window needs from its surroundings besides the port: the clock,
// the user's number conventions, the program's directory, and the ways to
// tell the user something and to end. DesktopRuntime is the real one; tests
// substitute their own.

#include "number_format.h"

#include <QString>
#include <QTime>

class QWidget;

class Runtime {
public:
    virtual ~Runtime() = default;

    virtual QString programDirectory() const = 0;
    virtual QTime timeOfDay() const = 0;
    virtual measure::NumberFormat numberFormat() const = 0;

    // An error that ends the program: written to standard error and shown;
    // returns once the user has dismissed it. Nothing else runs meanwhile.
    virtual void reportFatal(const QString& report) = 0;
    // A problem the user can put right: shown without blocking the caller.
    virtual void reportProblem(QWidget* window, const QString& text) = 0;
    // Leaves the event loop with this exit status.
    virtual void endProgram(int status) = 0;
};

class DesktopRuntime final : public Runtime {
public:
    DesktopRuntime();

    QString programDirectory() const override;
    QTime timeOfDay() const override;
    measure::NumberFormat numberFormat() const override { return numberFormat_; }
    void reportFatal(const QString& report) override;
    void reportProblem(QWidget* window, const QString& text) override;
    void endProgram(int status) override;

private:
    measure::NumberFormat numberFormat_;
};
