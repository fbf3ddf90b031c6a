#pragma once
// A serial port with the converter wired to its modem lines, as on the real
// bench: DTR drives the chip's select, RTS its clock, DCD reads its data.
// Bytes written are counted and discarded, as a line at 1200 baud would
// send them. It behaves like a port: settings are checked, and the line
// operations fail until the port is opened. Through a USB adapter
// (Adapter), DCD is reported late and each line call takes its time, the
// edge reaching the line as the call returns.

#include "converter_chip.h"
#include "late_status.h"
#include "port_settings.h"
#include "serial_line.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace simulation {

// The adapter between the program and the converter, timed on `clock`.
struct Adapter {
    using Clock = LateStatus::Clock;
    Clock::duration lag{};     // DCD as the line was this long before...
    Clock::duration period{};  // ...a refresh of the adapter's copy
    Clock::time_point phase{};
    Clock::duration setCall{};  // how long a DTR or RTS call takes
    Clock::duration getCall{};  // how long a DCD read takes
    std::function<Clock::time_point()> clock;
    // Lets `clock` move on by the call's duration; the demo's real clock
    // needs none.
    std::function<void(Clock::duration)> spend;
};

class SimulatedPort final : public serial::SerialLine {
public:
    // input: voltage on the converter's input at each conversion;
    // adapter: none reports DCD the moment the chip changes it.
    explicit SimulatedPort(std::function<double()> input, std::optional<Adapter> adapter = {},
                           DeselectedPin pin = DeselectedPin::Low);

    void Settings(std::string_view settings) override;
    void CommPort(int number) override;
    void PortOpen(bool open) override;
    void DTREnable(bool asserted) override;
    void RTSEnable(bool asserted) override;
    bool CDHolding() override;
    void Output(std::string_view text) override;

    // The adapter's status copy takes new timing from now on.
    void retimeAdapter(LateStatus::Clock::duration lag, LateStatus::Clock::duration period);

    std::uint64_t bytesWritten() const noexcept { return bytesWritten_; }
    std::uint64_t nonZeroBytesWritten() const noexcept { return nonZeroBytes_; }
    std::uint64_t lineCalls() const noexcept { return lineCalls_; }

private:
    static std::string device();
    void requireOpen() const;
    void spend(LateStatus::Clock::duration call);
    void chipMayHaveChanged();

    ConverterChip chip_;
    std::optional<Adapter> adapter_;
    std::optional<LateStatus> dcdSeen_;
    bool dcdOnChip_ = false;
    bool open_ = false;
    std::uint64_t bytesWritten_ = 0;
    std::uint64_t nonZeroBytes_ = 0;
    std::uint64_t lineCalls_ = 0;
};

} // namespace simulation
