#include "form1.h"

#include "conversion.h"
#include "error.h"
#include "file_names.h"
#include "keep_alive.h"
#include "log_entry.h"
#include "save_list.h"

#include <new>

namespace app {

using namespace std::chrono_literals;

using text::MessageId;
using text::render;

Form1::Form1(std::unique_ptr<serial::SerialLine> port, Form1View& view, Runtime& runtime)
    : MSComm1(std::move(port)), view_(view), runtime_(runtime),
      numberFormat_(runtime.numberFormat()),
      readCycle_([&runtime] { return runtime.monotonicNow(); }), notices_(numberFormat_),
      ticksSinceRead_(serial::DcdDelay::kMostPeriodsPerReading) {}

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
    Timer1 = runtime_.makeTimer(kSamplePeriod, [this] { deliver(&Form1::OnSampleTimer); });
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

// Every error ends the program the one way. A template, not a
// std::function: the keep-alive comes through here a thousand times a
// second, and a std::function of this size would allocate on each.
template <class Call>
bool Form1::guarded(Call&& call) {
    if (ended_)
        return false;
    try {
        call();
        return true;
    } catch (const text::Error& error) {
        endWith([&error] { return reportLine(error); });
    } catch (const std::bad_alloc&) {
        endWith([] { return render(MessageId::OutOfMemory); });
    } catch (...) {
        endWith([] { return render(MessageId::InternalError); });
    }
    return false;
}

void Form1::startJournal() {
    guarded([this] { takeUpJournal(); });
}

void Form1::takeUpJournal() {
    const std::string path =
        logfile::journalFileName(runtime_.programDirectory(), runtime_.programName());
    logfile::Journal::Opening opening = logfile::Journal::open(path);
    if (opening.heldElsewhere) {
        view_.reportProblem(render(MessageId::JournalHeldElsewhere, {path}));
        return;
    }
    if (opening.error) {
        view_.reportProblem(render(MessageId::JournalUnavailable, {reportLine(*opening.error)}));
        return;
    }
    journal_ = std::move(opening.journal);
    logfile::Journal::Recovered left = journal_->takeRecovered();
    if (left.entries.empty())
        return;
    const std::int32_t first = list_.ListCount();
    for (const std::string& entry : left.entries)
        list_.AddItem(entry);
    view_.list1Grew(list_, first);
    const std::string count = std::to_string(left.entries.size());
    view_.reportProblem(
        left.since.empty() ? render(MessageId::Recovered, {count, path, logFileName()})
                           : render(MessageId::RecoveredSince, {count, left.since, path, logFileName()}));
}

void Form1::OnSampleTimer() {
    keepAwakeWhileRecording(view_.check1Ticked());
    ++ticksSinceRead_;
    // A port too slow for any reading is still tried, as seldom as the
    // slowest that can be read.
    const int periods = readCycle_.delay().periodsPerReading();
    if (ticksSinceRead_ < (periods > 0 ? periods : serial::DcdDelay::kMostPeriodsPerReading))
        return;
    if (!readCycle_.canStart()) {
        // A read that measures the port can run past this tick: its
        // reading is not lost, it is taken once that read ends.
        readOwedSince_ = runtime_.monotonicNow();
        return;
    }
    startRead();
}

void Form1::startRead() {
    readOwedSince_.reset();
    ticksSinceRead_ = 0;
    readCycle_.start();
    stepReadCycle();
}

void Form1::startOwedRead() {
    if (!readOwedSince_ || !readCycle_.canStart())
        return;
    // So late that it would crowd the next tick's reading, it is left to that.
    if (runtime_.monotonicNow() - *readOwedSince_ <= kSamplePeriod / 2)
        startRead();
    else
        readOwedSince_.reset();
}

void Form1::OnKeepAliveTimer() {
    serial::sendKeepAlive(*MSComm1);
    // A thousand ticks a second: most have nothing else to do.
    if (!readCycle_.running() && !journal_)
        return;
    stepReadCycle();
    startOwedRead();
    if (journal_)
        if (const auto error = journal_->syncIfDue(runtime_.monotonicNow()))
            journalFailed(*error);
}

void Form1::stepReadCycle() {
    if (const auto outcome = readCycle_.step(*MSComm1))
        readEnded(*outcome);
}

void Form1::readEnded(const serial::ReadOutcome& outcome) {
    const PortNotices::Notice notice = notices_.afterRead(outcome.result, readCycle_.delay());
    if (!notice.line.empty())
        runtime_.announce(notice.line);
    if (notice.clearReadings) {
        view_.setLabel1Caption("");
        view_.setLabel3Caption("");
    }
    if (outcome.result == serial::ReadResult::Reading)
        showReading(outcome.bits);
    for (const std::string& message : notice.messages)
        view_.reportProblem(message);
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
        record(measure::logEntry(texts.temperatureText, runtime_.timeOfDayText()),
               runtime_.monotonicNow());
}

void Form1::record(std::string_view entry, serial::ReadCycle::Clock::time_point now) {
    list_.AddItem(entry);
    recordedSinceStart_ = true;
    view_.list1Grew(list_, list_.ListCount() - 1);
    if (journal_)
        if (const auto error = journal_->append(entry, now))
            journalFailed(*error);
}

void Form1::OnExitClick() {
    if (const auto error = logfile::SaveList(logFileName(), list_)) {
        // Keep the window, the list and the sampling: the user can correct
        // the name and press the button again.
        view_.reportProblem(render(MessageId::SaveFailed, {reportLine(*error)}));
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

void Form1::keepAwakeWhileRecording(bool recording) noexcept {
    if (recording != keepingAwake_) {
        keepingAwake_ = recording;
        runtime_.keepSystemAwake(recording);
    }
}

void Form1::journalFailed(const text::Error& error) {
    view_.reportProblem(render(MessageId::JournalWriteFailed, {reportLine(error)}));
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
        } catch (const text::Error&) {
        }
    }
}

template <class MakeReport>
void Form1::endWith(MakeReport&& makeReport) noexcept {
    ended_ = true;
    stopTimers();
    readCycle_.abandon();
    keepAwakeWhileRecording(false);
    // The readings are saved before any text is made: memory may have run
    // out, and a report that cannot be made must not cost the save.
    std::string saved;
    try {
        saved = fatalSaveReport();
    } catch (...) {
        // The journal, if any, still holds the readings.
    }
    std::string report;
    try {
        report = makeReport();
        if (!saved.empty())
            report += "\n" + saved;
    } catch (...) {
    }
    view_.endWithReport(report, kFatalExitStatus);
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
        return render(MessageId::FatalSaved, {std::to_string(count), fileName});
    }
    const std::string failed = render(MessageId::SaveFailed, {reportLine(*saveError)}) + "\n";
    if (journal_ && !journal_->failed())
        return failed +
               render(MessageId::FatalKeptInJournal, {std::to_string(count), journal_->path()});
    return failed + render(MessageId::FatalLost);
}

std::string Form1::logFileName() const {
    return logfile::logFileName(runtime_.programDirectory(), view_.text1Text());
}

} // namespace app
