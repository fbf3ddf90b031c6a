#include "form1.h"

#include "conversion.h"
#include "exit_path.h"
#include "keep_alive.h"
#include "log_entry.h"
#include "port_error.h"
#include "save_list.h"

namespace app {

using namespace std::chrono_literals;

Form1::Form1(std::unique_ptr<serial::SerialLine> port, Form1View& view, Runtime& runtime)
    : MSComm1(std::move(port)), view_(view), runtime_(runtime),
      numberFormat_(runtime.numberFormat()) {}

Form1::~Form1() {
    stopTimers();
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

void Form1::OnSampleTimer() {
    if (readCycle_.running())
        return;
    readCycle_.start();
    stepReadCycle();
}

void Form1::OnKeepAliveTimer() {
    serial::sendKeepAlive(*MSComm1);
    stepReadCycle();
}

void Form1::stepReadCycle() {
    if (const auto bits = readCycle_.step(*MSComm1, runtime_.monotonicNow()))
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
        view_.List1().AddItem(measure::logEntry(texts.temperatureText, runtime_.timeOfDayText()));
}

void Form1::OnExitClick() {
    if (const auto error = logfile::SaveList(logFileName(), view_.List1())) {
        // Keep the window, the list and the sampling: the user can correct
        // the name and press the button again.
        view_.reportProblem(logfile::describe(*error));
        return;
    }
    view_.closeWindow();
}

void Form1::windowClosing() {
    stopTimers();
    readCycle_.abandon();
}

bool Form1::deliver(void (Form1::*handler)()) {
    if (ended_)
        return false;
    try {
        (this->*handler)();
        return true;
    } catch (const serial::PortError& error) {
        endOnError(serial::reportLine(error));
    } catch (const ServiceError& error) {
        endOnError(reportLine(error));
    }
    return false;
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

void Form1::endOnError(const std::string& reportLine) {
    ended_ = true;
    stopTimers();
    readCycle_.abandon();

    std::string report = reportLine;
    const ReadingList& list = view_.List1();
    if (list.ListCount() > 0) {
        const std::string fileName = logFileName();
        if (const auto saveError = logfile::SaveList(fileName, list))
            report += "\n" + logfile::describe(*saveError) + "; the recorded readings are lost.";
        else
            report += "\nThe " + std::to_string(list.ListCount()) +
                      " recorded readings were saved to " + fileName + ".";
    }
    view_.reportFatal(report);
    view_.endProgram(kFatalExitStatus);
}

std::string Form1::logFileName() const {
    return logfile::logFileName(runtime_.programDirectory(), view_.text1Text());
}

} // namespace app
