#include "simulated_port.h"

#include "error.h"
#include "message.h"

#include <algorithm>
#include <utility>

namespace simulation {

SimulatedPort::SimulatedPort(std::function<double()> input, std::optional<Adapter> adapter,
                             DeselectedPin pin)
    : chip_(std::move(input), pin), adapter_(std::move(adapter)) {
    if (adapter_)
        dcdSeen_.emplace(adapter_->lag, adapter_->period, adapter_->phase, chip_.data());
}

void SimulatedPort::spend(LateStatus::Clock::duration call) {
    ++lineCalls_;
    if (adapter_ && adapter_->spend && call > LateStatus::Clock::duration::zero())
        adapter_->spend(call);
}

void SimulatedPort::chipMayHaveChanged() {
    const bool data = chip_.data();
    if (data == dcdOnChip_)
        return;
    dcdOnChip_ = data;
    if (dcdSeen_)
        dcdSeen_->lineChanged(adapter_->clock(), data);
}

void SimulatedPort::Settings(std::string_view settings) {
    if (!serial::parsePortSettings(settings))
        throw text::Error(text::MessageId::InvalidPortSettings, text::kInvalidSettingsError, device(),
                          {std::string(settings)});
}

void SimulatedPort::CommPort(int number) {
    if (number < 1)
        throw text::Error(text::MessageId::InvalidPortNumber, text::kInvalidPortError, device(),
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
    // The call is a transfer to the adapter: the line moves as it returns.
    spend(adapter_ ? adapter_->setCall : LateStatus::Clock::duration::zero());
    chip_.setSelect(asserted);
    chipMayHaveChanged();
}

void SimulatedPort::RTSEnable(bool asserted) {
    requireOpen();
    spend(adapter_ ? adapter_->setCall : LateStatus::Clock::duration::zero());
    chip_.setClock(asserted);
    chipMayHaveChanged();
}

bool SimulatedPort::CDHolding() {
    requireOpen();
    spend(adapter_ ? adapter_->getCall : LateStatus::Clock::duration::zero());
    return dcdSeen_ ? dcdSeen_->seenAt(adapter_->clock()) : chip_.data();
}

void SimulatedPort::Output(std::string_view text) {
    requireOpen();
    bytesWritten_ += text.size();
    nonZeroBytes_ += std::count_if(text.begin(), text.end(), [](char c) { return c != '\0'; });
}

void SimulatedPort::retimeAdapter(LateStatus::Clock::duration lag, LateStatus::Clock::duration period) {
    if (dcdSeen_)
        dcdSeen_->retime(lag, period);
}

std::string SimulatedPort::device() {
    // Named when an error is told, so in the language chosen by then.
    return text::render(text::MessageId::SimulatedConverter);
}

void SimulatedPort::requireOpen() const {
    if (!open_)
        throw text::Error(text::MessageId::PortNotOpen, text::kPortNotOpenError, device());
}

} // namespace simulation
