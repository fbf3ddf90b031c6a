#pragma once
// The program's one window's behaviour: its four handlers and what happens
// to their errors, written once for every front end.
//
// Form1 owns the port (MSComm1), both timers and the Reading; the window's
// controls are reached through Form1View, the rest of the world through
// Runtime. Data flows one way: Timer1 -> read cycle -> conversion -> labels
// -> list, and the exit button -> list -> file. The handlers reach the port
// only through SerialLine.
//
// Timer1 begins a read; the read cycle then makes one line call per Timer2
// tick, after that tick's keep-alive bytes, waiting out the late modem
// status of USB adapters (read_cycle.h), so a reading is shown about a
// fifth of a second after its tick. A Timer1 tick that comes while a read
// is still running is skipped; a read the program leaves unfinished (the
// exit button, an error, the window closing) yields no reading.
//
// Handlers never overlap and never yield to the event loop. An error in any
// handler (a port error, a timer the OS refuses, a list that takes no
// more entries) ends the program: both
// timers stop, anything recorded is saved as the exit button would save it,
// one report says what happened (and where the readings went), and the
// program ends with status 1.

#include "form1_view.h"
#include "read_cycle.h"
#include "reading.h"
#include "runtime.h"
#include "serial_line.h"
#include "timer.h"

#include <memory>
#include <string>

namespace app {

class Form1 {
public:
    static constexpr int kFatalExitStatus = 1;

    Form1(std::unique_ptr<serial::SerialLine> port, Form1View& view, Runtime& runtime);
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Starts both timers and runs OnFormLoad; false when either failed and
    // the program is to end without ever showing the window (the report has
    // been made). Call once, before the window is first shown.
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

    // The window is closing, by the exit button or otherwise: no more ticks.
    void windowClosing();

    const Reading& reading() const { return reading_; }
    const Timer* timer1() const { return Timer1.get(); }
    const Timer* timer2() const { return Timer2.get(); }

private:
    void startTimers();
    void stopTimers() noexcept;
    void stepReadCycle();
    void showReading(const serial::SampleBits& bits);
    void endOnError(const std::string& reportLine);
    std::string logFileName() const;

    std::unique_ptr<serial::SerialLine> MSComm1;
    Form1View& view_;
    Runtime& runtime_;
    measure::NumberFormat numberFormat_;
    serial::ReadCycle readCycle_;
    Reading reading_;
    std::unique_ptr<Timer> Timer1;
    std::unique_ptr<Timer> Timer2;
    bool ended_ = false;
};

} // namespace app
