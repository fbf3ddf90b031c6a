#pragma once
// A SerialLine for tests: records every call in order, answers CDHolding
// from a script, and fails on request.

#include "error.h"
#include "serial_line.h"

#include <cerrno>
#include <deque>
#include <optional>
#include <string>
#include <vector>

class RecordingLine final : public serial::SerialLine {
public:
    // Every call as text: "Settings 1200,N,8,1", "CommPort 1", "PortOpen 1",
    // "DTR 0", "RTS 1", "DCD?", "Output 2" (the byte count).
    std::vector<std::string> calls;
    // Every byte handed to Output, in order.
    std::string output;
    // Answers for CDHolding, front first; false once empty.
    std::deque<bool> dcdScript;

    // Makes the call with this 0-based index (counted over all calls) throw
    // errorOf(number).
    void failAtCall(std::size_t index, int number = EIO);
    static text::Error errorOf(int number);

    void Settings(std::string_view settings) override;
    void CommPort(int number) override;
    void PortOpen(bool open) override;
    void DTREnable(bool asserted) override;
    void RTSEnable(bool asserted) override;
    bool CDHolding() override;
    void Output(std::string_view text) override;

    static constexpr const char* kDevice = "recording line";

private:
    void record(std::string call);

    std::optional<std::size_t> failAt_;
    int failNumber_ = 0;
};
