#include "form1.h"

#include "conversion.h"
#include "exit_path.h"
#include "file_system.h"
#include "keep_alive.h"
#include "log_entry.h"
#include "port_error.h"
#include "save_list.h"

#include <exception>
#include <new>

namespace app {

using namespace std::chrono_literals;

namespace {

std::string errorText(const logfile::JournalError& error) {
    return "Error " + std::to_string(error.number) + ": " + error.description;
}

} // namespace

Form1::Form1(std::unique_ptr<serial::SerialLine> port, Form1View& view, Runtime& runtime)
    : MSComm1(std::move(port)), view_(view), runtime_(runtime),
      numberFormat_(runtime.numberFormat()) {}

Form1::~Form1() {
    stopTimers();
    keepAwakeWhileRecording(false);
}

bool Form1::load() {
    return deliver(&Form1::startTimers) && deliver(&Form1::OnFormLoad);
}

void Form1::startTimers() {
    // Both count from the moment the window exists; their first ticks can
    // only be delivered once the event loop runs.
    Timer1 = runtime_.makeTimer(1000ms, [this] { deliver(&Form1::OnSampleTimer); });
    Timer2 = runtime_.makeTimer(1ms, [this] { deliver(&Form1::OnKeepAliveTimer); });
    Timer1->start();
    Timer2->start();
}

void Form1::OnFormLoad() {
    MSComm1->Settings("1200,N,8,1");
    MSComm1->CommPort(1);
    MSComm1->PortOpen(true);
    MSComm1->DTREnable(true);
}

void Form1::startJournal() {
    guarded([this] { takeUpJournal(); });
}

void Form1::takeUpJournal() {
    const std::string path = runtime_.programDirectory() + logfile::kPathSeparator +
                             runtime_.programName() + ".journal";
    logfile::Journal::Opening opening = logfile::Journal::open(path);
    if (opening.heldElsewhere) {
        view_.reportProblem("Another copy of the program is keeping its readings in " + path +
                            ". This copy keeps no journal: its readings are saved only by \"Выход\".");
        return;
    }
    if (opening.error) {
        view_.reportProblem("The readings cannot be kept in a journal: " + path + " could not be opened (" +
                            errorText(*opening.error) + "). They are saved only by \"Выход\".");
        return;
    }
    journal_ = std::move(opening.journal);
    logfile::Journal::Recovered left = journal_->takeRecovered();
    if (left.entries.empty())
        return;
    const std::int32_t first = list_.ListCount();
    for (const std::string& entry : left.entries)
        list_.AddItem(entry);
    view_.listGrew(list_, first);
    const bool one = left.entries.size() == 1;
    view_.reportProblem(std::to_string(left.entries.size()) + (one ? " reading" : " readings") +
                        " recorded" + (left.since.empty() ? "" : " since " + left.since) +
                        (one ? " was" : " were") + " recovered from " + path +
                        ". \"Выход\" saves " + (one ? "it" : "them") + ", with any new readings, under the name in the box (now " +
                        logFileName() + ").");
}

void Form1::OnSampleTimer() {
    keepAwakeWhileRecording(view_.check1Ticked());
    if (readCycle_.running())
        return;
    readCycle_.start();
    stepReadCycle(runtime_.monotonicNow());
}

void Form1::OnKeepAliveTimer() {
    serial::sendKeepAlive(*MSComm1);
    // A thousand ticks a second: most have nothing else to do.
    if (!readCycle_.running() && !journal_)
        return;
    const auto now = runtime_.monotonicNow();
    stepReadCycle(now);
    if (journal_)
        if (const auto error = journal_->syncIfDue(now))
            journalFailed(*error);
}

void Form1::stepReadCycle(serial::ReadCycle::Clock::time_point now) {
    if (const auto bits = readCycle_.step(*MSComm1, now))
        showReading(*bits);
}

void Form1::showReading(const serial::SampleBits& bits) {
    reading_.SampleBits = bits;
    reading_.SampleCode = serial::sampleCode(reading_.SampleBits);

    measure::Conversion texts = measure::convertCode(reading_.SampleCode, numberFormat_);
    reading_.VoltageText = std::move(texts.VoltageText);
    reading_.Temperature = texts.Temperature;

    view_.setLabel1Caption(texts.voltageDisplay);
    view_.setLabel3Caption(texts.temperatureDisplay);

    if (view_.check1Ticked())
        record(measure::logEntry(texts.temperatureText, runtime_.timeOfDayText()));
}

void Form1::record(std::string_view entry) {
    list_.AddItem(entry);
    recordedSinceStart_ = true;
    view_.listGrew(list_, list_.ListCount() - 1);
    if (journal_)
        if (const auto error = journal_->append(entry, runtime_.monotonicNow()))
            journalFailed(*error);
}

void Form1::OnExitClick() {
    if (const auto error = logfile::SaveList(logFileName(), list_)) {
        // Keep the window, the list and the sampling: the user can correct
        // the name and press the button again.
        view_.reportProblem(logfile::describe(*error));
        return;
    }
    removeJournal();
    closedByForm1_ = true;
    view_.closeWindow();
}

void Form1::endSession() noexcept {
    if (ended_)
        return;
    ended_ = true;
    closedByForm1_ = true;
    stopTimers();
    readCycle_.abandon();
    keepAwakeWhileRecording(false);
    try {
        if (recordedSinceStart_) {
            // A failed save leaves the journal for the next start; there is
            // nobody left to tell.
            if (!logfile::SaveList(logFileName(), list_))
                removeJournal();
        } else if (list_.ListCount() == 0) {
            removeJournal();
        }
    } catch (...) {
    }
}

void Form1::windowClosing() {
    stopTimers();
    readCycle_.abandon();
    keepAwakeWhileRecording(false);
    if (!closedByForm1_ && !ended_)
        removeJournal();
}

bool Form1::deliver(void (Form1::*handler)()) {
    return guarded([this, handler] { (this->*handler)(); });
}

bool Form1::guarded(const std::function<void()>& call) {
    if (ended_)
        return false;
    // Every error ends the program the one way. The texts for the last
    // three fit in a string without allocating: memory may have run out.
    try {
        call();
        return true;
    } catch (const serial::PortError& error) {
        endOnError(serial::reportLine(error));
    } catch (const ServiceError& error) {
        endOnError(reportLine(error));
    } catch (const std::bad_alloc&) {
        endOnError("Out of memory");
    } catch (...) {
        endOnError("Internal error");
    }
    return false;
}

void Form1::keepAwakeWhileRecording(bool recording) noexcept {
    if (recording != keepingAwake_) {
        keepingAwake_ = recording;
        runtime_.keepSystemAwake(recording);
    }
}

void Form1::journalFailed(const logfile::JournalError& error) {
    view_.reportProblem("The journal " + journal_->path() + " could not be written (" + errorText(error) +
                        "). Recording goes on, but until \"Выход\" saves them, the readings are safe "
                        "only while the program runs.");
}

void Form1::removeJournal() noexcept {
    if (journal_)
        journal_->remove();
}

void Form1::stopTimers() noexcept {
    // Stopping is best effort here: the program is ending either way, and
    // a timer that will not disarm only delivers ticks that find it ended.
    for (Timer* timer : {Timer1.get(), Timer2.get()}) {
        if (!timer)
            continue;
        try {
            timer->stop();
        } catch (const ServiceError&) {
        }
    }
}

void Form1::endOnError(const std::string& reportLine) noexcept {
    ended_ = true;
    stopTimers();
    readCycle_.abandon();
    keepAwakeWhileRecording(false);
    std::string report;
    try {
        report = reportLine + fatalSaveReport();
    } catch (...) {
        // Out of memory, most likely: the journal, if any, still holds the
        // readings, and the short report is all that can be made.
        report = reportLine;
    }
    try {
        view_.reportFatal(report);
    } catch (...) {
    }
    view_.endProgram(kFatalExitStatus);
}

std::string Form1::fatalSaveReport() {
    const std::int32_t count = list_.ListCount();
    if (count == 0) {
        removeJournal();
        return {};
    }
    const std::string fileName = logFileName();
    const auto saveError = logfile::SaveList(fileName, list_);
    if (!saveError) {
        removeJournal();
        return "\nThe " + std::to_string(count) + " recorded readings were saved to " + fileName + ".";
    }
    std::string report = "\n" + logfile::describe(*saveError);
    if (journal_ && !journal_->failed())
        return report + ". The " + std::to_string(count) + " recorded readings are kept in " +
               journal_->path() + ", and the next start recovers them.";
    return report + "; the recorded readings are lost.";
}

std::string Form1::logFileName() const {
    return logfile::logFileName(runtime_.programDirectory(), view_.text1Text());
}

} // namespace app
