#include "simulated_port.h"

#include "error.h"

#include <algorithm>
#include <utility>

namespace serial {

SimulatedPort::SimulatedPort(std::function<double()> input, std::optional<StatusDelay> delay)
    : chip_(std::move(input)) {
    if (delay) {
        clock_ = std::move(delay->clock);
        dcdSeen_.emplace(delay->lag, delay->period, delay->phase, chip_.data());
    }
}

void SimulatedPort::chipMayHaveChanged() {
    const bool data = chip_.data();
    if (data == dcdOnChip_)
        return;
    dcdOnChip_ = data;
    if (dcdSeen_)
        dcdSeen_->lineChanged(clock_(), data);
}

void SimulatedPort::Settings(std::string_view settings) {
    if (!parsePortSettings(settings))
        throw text::Error(text::MessageId::InvalidPortSettings, text::kInvalidSettingsError, device_,
                          {std::string(settings)});
}

void SimulatedPort::CommPort(int number) {
    if (number < 1)
        throw text::Error(text::MessageId::InvalidPortNumber, text::kInvalidPortError, device_,
                          {std::to_string(number)});
}

void SimulatedPort::PortOpen(bool open) {
    open_ = open;
    // Like a UART driver, opening asserts DTR and RTS.
    chip_.setSelect(open);
    chip_.setClock(open);
    chipMayHaveChanged();
}

void SimulatedPort::DTREnable(bool asserted) {
    requireOpen();
    chip_.setSelect(asserted);
    chipMayHaveChanged();
}

void SimulatedPort::RTSEnable(bool asserted) {
    requireOpen();
    chip_.setClock(asserted);
    chipMayHaveChanged();
}

bool SimulatedPort::CDHolding() {
    requireOpen();
    return dcdSeen_ ? dcdSeen_->seenAt(clock_()) : chip_.data();
}

void SimulatedPort::Output(std::string_view text) {
    requireOpen();
    bytesWritten_ += text.size();
    nonZeroBytes_ += std::count_if(text.begin(), text.end(), [](char c) { return c != '\0'; });
}

void SimulatedPort::requireOpen() const {
    if (!open_)
        throw text::Error(text::MessageId::PortNotOpen, text::kPortNotOpenError, device_);
}

} // namespace serial
