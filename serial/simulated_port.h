#pragma once
// A serial port with the converter wired to its modem lines, as on the real
// bench: DTR drives the chip's select, RTS its clock, DCD reads its data.
// Bytes written are counted and discarded, as a line at 1200 baud would
// send them. It behaves like a port: settings are checked, and the line
// operations fail until the port is opened. DCD can be reported late, as
// through a USB adapter (StatusDelay).

#include "converter_chip.h"
#include "late_status.h"
#include "port_settings.h"
#include "serial_line.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace serial {

// How late DCD is seen (LateStatus), on the clock that times it.
struct StatusDelay {
    LateStatus::Clock::duration lag{};
    LateStatus::Clock::duration period{};
    LateStatus::Clock::time_point phase{};
    std::function<LateStatus::Clock::time_point()> clock;
};

class SimulatedPort final : public SerialLine {
public:
    // input: voltage on the converter's input at each conversion;
    // delay: none reports DCD the moment the chip changes it.
    explicit SimulatedPort(std::function<double()> input, std::optional<StatusDelay> delay = {});

    void Settings(std::string_view settings) override;
    void CommPort(int number) override;
    void PortOpen(bool open) override;
    void DTREnable(bool asserted) override;
    void RTSEnable(bool asserted) override;
    bool CDHolding() override;
    void Output(std::string_view text) override;

    std::uint64_t bytesWritten() const noexcept { return bytesWritten_; }
    std::uint64_t nonZeroBytesWritten() const noexcept { return nonZeroBytes_; }

private:
    void requireOpen() const;
    void chipMayHaveChanged();

    ConverterChip chip_;
    std::function<LateStatus::Clock::time_point()> clock_;
    std::optional<LateStatus> dcdSeen_;
    bool dcdOnChip_ = false;
    std::string device_ = "simulated converter";
    bool open_ = false;
    std::uint64_t bytesWritten_ = 0;
    std::uint64_t nonZeroBytes_ = 0;
};

} // namespace serial
