#pragma once
// The ways the system or the user asks the program to end other than its
// window: SIGTERM (logoff, shutdown, `kill`), SIGHUP (the terminal went
// away), SIGINT (Ctrl+C), and the session manager's request to save before
// the session ends. Each ends the session as Form1 wants it ended (the list
// saved when anything was recorded, see Form1::endSession()), and then the
// program, with status 0.
//
// The signals are caught from construction to destruction; they reach the
// event loop through a pipe, so Form1 is only ever entered from there,
// never from inside a handler it was running.

#include "form1.h"

#include <QObject>

class QSocketNotifier;

namespace qtui {

class SessionEnd final : public QObject {
public:
    explicit SessionEnd(app::Form1& form);
    ~SessionEnd() override;
    SessionEnd(const SessionEnd&) = delete;
    SessionEnd& operator=(const SessionEnd&) = delete;

private:
    void end();

    app::Form1& form_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace qtui
