#pragma once
// The program's one window and its four handlers.
//
// Form1 owns the port (MSComm1), both timers, the controls and the Reading.
// Data flows one way: Timer1 -> read cycle -> conversion -> labels -> list,
// and the exit button -> list -> file. The handlers reach the port only
// through SerialLine.
//
// Handlers never overlap and never yield to the event loop. A port error
// in any handler ends the program: both timers stop, anything recorded is
// saved as the exit button would save it, one report says what happened
// (and where the readings went), and the event loop ends with status 1.

#include "form1_layout.h"
#include "periodic_timer.h"
#include "reading.h"
#include "runtime.h"
#include "serial_line.h"

#include <QWidget>
#include <memory>

namespace serial { class PortError; }

class Form1 final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFatalExitStatus = 1;

    Form1(std::unique_ptr<serial::SerialLine> port, Runtime& runtime, QWidget* parent = nullptr);
    ~Form1() override;

    // Runs OnFormLoad; false when it failed and the program is to end
    // without ever showing the window (the report has been made).
    bool load();

    // Runs a handler the way the event loop does (the timers and the button
    // come through here): an error it raises ends the program. Once the
    // program has ended, nothing runs. False when the handler failed.
    bool deliver(void (Form1::*handler)());

    // The handlers, public so that tests can drive them tick by tick; they
    // run exactly as the timers and the button run them.
    void OnFormLoad();
    void OnSampleTimer();
    void OnKeepAliveTimer();
    void OnExitClick();

    const Reading& reading() const { return reading_; }
    const window::Form1Controls& controls() const { return ui_; }
    const PeriodicTimer& timer1() const { return Timer1; }
    const PeriodicTimer& timer2() const { return Timer2; }
    bool ended() const { return ended_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void endOnError(const serial::PortError& error);
    QString logFileName() const;

    std::unique_ptr<serial::SerialLine> MSComm1;
    Runtime& runtime_;
    window::Form1Controls ui_;
    Reading reading_;
    PeriodicTimer Timer1;
    PeriodicTimer Timer2;
    bool ended_ = false;
};
