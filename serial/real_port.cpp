// RealPort's OS-neutral half: the settings text, the port number, and the
// rule that line operations need an open port.

#include "real_port.h"

#include "error.h"
#include "native_port.h"

#include <utility>

namespace serial {

RealPort::RealPort(DeviceResolver resolver)
    : resolver_(std::move(resolver)), settings_(*parsePortSettings("9600,N,8,1")) {}

RealPort::~RealPort() = default;

void RealPort::Settings(std::string_view settings) {
    const auto parsed = parsePortSettings(settings);
    if (!parsed)
        throw text::Error(text::MessageId::InvalidPortSettings, text::kInvalidSettingsError, device_,
                          {std::string(settings)});
    // Only ever set before the open; changing an open line would need a way
    // back for a driver that takes half of the new values.
    settings_ = *parsed;
}

void RealPort::CommPort(int number) {
    std::string device = resolver_(number);
    if (device.empty())
        throw text::Error(text::MessageId::InvalidPortNumber, text::kInvalidPortError, device_,
                          {std::to_string(number)});
    // Switching silently would leave the old port open under the new name.
    if (open_ && device != device_)
        throw text::Error(text::MessageId::PortAlreadyOpen, text::kPortAlreadyOpenError, device_);
    number_ = number;
    device_ = std::move(device);
}

void RealPort::PortOpen(bool open) {
    if (!open) {
        open_.reset();
        return;
    }
    if (open_)
        return;  // already ours, locks and all
    if (device_.empty())
        throw text::Error(text::MessageId::NoPortChosen, text::kInvalidPortError, device_);
    open_ = NativePort::open(device_, settings_);
    if (onOpened_)
        onOpened_(number_, device_);
}

void RealPort::DTREnable(bool asserted) {
    openPort().setDtr(asserted);
}

void RealPort::RTSEnable(bool asserted) {
    openPort().setRts(asserted);
}

bool RealPort::CDHolding() {
    return openPort().carrier();
}

void RealPort::Output(std::string_view text) {
    // Whatever the driver cannot take now is dropped: the bytes only keep
    // the line busy, and holding them back would grow without bound.
    openPort().writeNoWait(text);
}

std::string openedPortText(int number, const std::string& device) {
    return text::render(text::MessageId::PortIs, {std::to_string(number), device});
}

NativePort& RealPort::openPort() {
    if (!open_)
        throw text::Error(text::MessageId::PortNotOpen, text::kPortNotOpenError, device_);
    return *open_;
}

} // namespace serial
