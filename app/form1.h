#pragma once
// The program's one window's behaviour: its four handlers and what happens
// to their errors, written once for every front end.
//
// Form1 owns the port (MSComm1), both timers, the Reading, the recorded
// list (List1; the window only shows it) and the journal that keeps the
// list safe until it is saved. The window's controls are reached through
// Form1View, the rest of the world through Runtime. Data flows one way:
// Timer1 -> read cycle -> conversion -> labels -> list -> journal, and the
// exit button -> list -> file. The handlers reach the port only through
// SerialLine.
//
// Timer1 begins a read; the read cycle then makes at most one line call per
// Timer2 tick, after that tick's keep-alive bytes, waiting out the late
// modem status of USB adapters as it has learnt it (read_cycle.h), so on
// a prompt port a reading is shown about a fifth of a second after its
// tick. Where a reading takes longer than a second, reads begin on every
// second or third tick. A Timer1 tick that comes while a read is still
// running (one that measures the port can run long) has its read begin as
// soon as that one ends, unless that is more than half a period late and
// would crowd the next tick's; a read the program leaves unfinished (the exit
// button, an error, the window closing) yields no reading, and neither
// does one the cycle finds wrong: the labels keep the last reading, and go
// empty when nothing can be read for a while (port_notices.h).
//
// Handlers never overlap and never yield to the event loop. Any error in a
// handler (a port error, a timer the OS refuses, memory running out) ends
// the program: both timers stop, anything recorded is saved as the exit
// button would save it (or, failing that, stays in the journal for the
// next start), one report says what happened and where the readings went,
// and the program ends with status 1.

#include "error.h"
#include "form1_view.h"
#include "journal.h"
#include "port_notices.h"
#include "read_cycle.h"
#include "reading.h"
#include "recorded_list.h"
#include "runtime.h"
#include "serial_line.h"
#include "timer.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace app {

class Form1 {
public:
    static constexpr int kFatalExitStatus = 1;
    // Timer1's: a reading is taken on every tick, or every second or third
    // on a port too slow for one a second.
    static constexpr std::chrono::milliseconds kSamplePeriod{1000};

    Form1(std::unique_ptr<serial::SerialLine> port, Form1View& view, Runtime& runtime);
    ~Form1();
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Starts both timers and runs OnFormLoad; false when either failed and
    // the program is to end without ever showing the window (the report has
    // been made). Call once, before the window is first shown.
    bool load();

    // Takes up the journal; call once the loaded window is shown. What a
    // previous run left in it goes back into List1, and one message says
    // so. Where there can be no journal, a message says that instead, and
    // the program goes on without one.
    void startJournal();

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

    // The user's session is ending (logoff, shutdown, restart, or a signal
    // to end): List1 is saved as the exit button would save it, when
    // anything was recorded since the start or the recovery; if that fails,
    // the journal stays for the next start. Nothing runs after it; the
    // front end then ends the program.
    void endSession() noexcept;

    // The window is closing. Unless Form1 closed it itself, this is the
    // close box (or End task): the recording is discarded, journal and all.
    void windowClosing();

    const RecordedList& List1() const { return list_; }

private:
    template <class Call>
    bool guarded(Call&& call);
    void takeUpJournal();
    void startTimers();
    void stopTimers() noexcept;
    void startRead();
    void startOwedRead();
    void stepReadCycle();
    void readEnded(const serial::ReadOutcome& outcome);
    void showReading(const serial::SampleBits& bits);
    void record(std::string_view entry, serial::ReadCycle::Clock::time_point now);
    void keepAwakeWhileRecording(bool recording) noexcept;
    void journalFailed(const text::Error& error);
    void removeJournal() noexcept;
    // Saves what can be saved, then ends with the report makeReport() makes.
    template <class MakeReport>
    void endWith(MakeReport&& makeReport) noexcept;
    std::string fatalSaveReport();
    std::string logFileName() const;

    std::unique_ptr<serial::SerialLine> MSComm1;
    Form1View& view_;
    Runtime& runtime_;
    measure::NumberFormat numberFormat_;
    serial::ReadCycle readCycle_;
    PortNotices notices_;
    int ticksSinceRead_;
    // When a tick came that called for a read while the last one ran on.
    std::optional<serial::ReadCycle::Clock::time_point> readOwedSince_;
    Reading reading_;
    RecordedList list_;
    std::unique_ptr<logfile::Journal> journal_;
    std::unique_ptr<Timer> Timer1;
    std::unique_ptr<Timer> Timer2;
    bool recordedSinceStart_ = false;
    bool keepingAwake_ = false;
    bool closedByForm1_ = false;
    bool ended_ = false;
};

} // namespace app
