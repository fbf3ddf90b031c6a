#include "recording_line.h"

#include "scale.h"

RecordingLine::RecordingLine() : chip_([this] { return voltsFor(code); }) {}

double voltsFor(int code) {
    return (code + 0.5) * measure::kFullScaleVolts / measure::kConverterSteps;
}

void RecordingLine::failAtCall(std::size_t index, int number) {
    failAt_ = index;
    failNumber_ = number;
}

text::Error RecordingLine::errorOf(int number) {
    return text::Error::system(number, kDevice);
}

void RecordingLine::record(std::string call) {
    if (failAt_ && calls.size() == *failAt_) {
        calls.push_back(call + " failed");
        throw errorOf(failNumber_);
    }
    calls.push_back(std::move(call));
}

void RecordingLine::Settings(std::string_view settings) { record("Settings " + std::string(settings)); }
void RecordingLine::CommPort(int number) { record("CommPort " + std::to_string(number)); }

void RecordingLine::PortOpen(bool open) {
    record(std::string("PortOpen ") + (open ? "1" : "0"));
    // Opening asserts DTR and RTS, as a UART driver does.
    chip_.setSelect(open);
    chip_.setClock(open);
}

void RecordingLine::DTREnable(bool asserted) {
    record(std::string("DTR ") + (asserted ? "1" : "0"));
    chip_.setSelect(asserted);
}

void RecordingLine::RTSEnable(bool asserted) {
    record(std::string("RTS ") + (asserted ? "1" : "0"));
    chip_.setClock(asserted);
}

bool RecordingLine::CDHolding() {
    record("DCD?");
    return chip_.data();
}

void RecordingLine::Output(std::string_view text) {
    record("Output " + std::to_string(text.size()));
    output.append(text);
}
