#pragma once
// A SerialLine for tests: records every call in order, has the converter on
// its modem lines (DCD shows the chip's data pin at once, as a built-in
// port does), and fails on request.

#include "converter_chip.h"
#include "error.h"
#include "serial_line.h"

#include <cerrno>
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
    // The code the converter presents at each conversion.
    int code = 0;

    RecordingLine();

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

    simulation::ConverterChip chip_;
    std::optional<std::size_t> failAt_;
    int failNumber_ = 0;
};

// The voltage in the middle of `code`'s step, which the chip converts back
// to `code`.
double voltsFor(int code);
