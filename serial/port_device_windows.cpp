// Windows: the port is a CreateFileW handle, opened overlapped so that a
// write still going out never holds up the modem-line calls of a reading
// (native_line_windows.cpp keeps that one write). Comm ports are never
// shared, so the open itself is the exclusive hold. Numbers are
// GetLastError() codes; descriptions are the system's own text.

#include "port_device.h"

#include "port_discovery.h"
#include "error.h"
#include "windows_encoding.h"

#include <cstdint>

#include <windows.h>

namespace serial {
namespace {

BYTE parityOf(Parity parity) {
    switch (parity) {
    case Parity::None: return NOPARITY;
    case Parity::Even: return EVENPARITY;
    case Parity::Odd: return ODDPARITY;
    case Parity::Mark: return MARKPARITY;
    case Parity::Space: return SPACEPARITY;
    }
    return NOPARITY;
}

BYTE stopBitsOf(StopBits stopBits) {
    switch (stopBits) {
    case StopBits::One: return ONESTOPBIT;
    case StopBits::OneAndHalf: return ONE5STOPBITS;
    case StopBits::Two: return TWOSTOPBITS;
    }
    return ONESTOPBIT;
}

// Every field the program relies on is set here, not left as the driver
// had it: some drivers report XonChar equal to XoffChar (or limits past
// their buffer), and SetCommState then refuses the whole DCB. GetCommState
// only fills in the bits Windows reserves.
// DTR and RTS are set to their levels between two readings, DTR asserted
// (converter deselected) and RTS low (clock at rest): a new DCB can only
// arrive between handlers, so it never disturbs a reading in progress.
bool applySettings(HANDLE handle, const PortSettings& settings) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(handle, &dcb))
        return false;
    dcb.BaudRate = DWORD(settings.baud);
    dcb.ByteSize = BYTE(settings.dataBits);
    dcb.Parity = parityOf(settings.parity);
    dcb.StopBits = stopBitsOf(settings.stopBits);
    dcb.fBinary = TRUE;
    dcb.fParity = settings.parity != Parity::None;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    // Unused with XON/XOFF off, but checked all the same: distinct
    // characters and limits well inside any driver's receive buffer.
    dcb.XonChar = 0x11;
    dcb.XoffChar = 0x13;
    dcb.XonLim = 2048;
    dcb.XoffLim = 512;
    dcb.ErrorChar = 0;
    dcb.EofChar = 0;
    dcb.EvtChar = 0;
    dcb.wReserved = 0;
    return ::SetCommState(handle, &dcb) != FALSE;
}

// Nothing is ever read. Writes get no total time-out: the handle is
// overlapped, so WriteFile returns at once anyway, and a time-out would only
// cut short a write that the line is still sending.
bool applyTimeouts(HANDLE handle) {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    return ::SetCommTimeouts(handle, &timeouts) != FALSE;
}

text::Error openError(DWORD code, const std::string& device) {
    using enum text::MessageId;
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: {
        text::Error error(PortMissing, int(code), device);
        // What the system does list tells the user which number to use.
        if (auto listed = listedPortsNote())
            error.withNote(std::move(*listed));
        return error;
    }
    // Windows refuses a port held by another program as "access denied".
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return text::Error(PortBusy, int(code), device);
    default:
        return text::Error(PortOpenFailed, int(code), device);
    }
}

text::Error settingsError(const std::string& device) {
    return text::Error(text::MessageId::PortSettingsRefused, int(::GetLastError()), device);
}

long long asHandleValue(HANDLE handle) {
    return static_cast<long long>(reinterpret_cast<std::intptr_t>(handle));
}

class WindowsPortDevice final : public PortDevice {
public:
    WindowsPortDevice(HANDLE handle, const std::string& device, const PortSettings& settings)
        : handle_(handle), line_(std::make_unique<NativeLine>(asHandleValue(handle), device)),
          settings_(settings) {}

    ~WindowsPortDevice() override {
        line_.reset();  // it lets go of its write in flight on this handle
        ::CloseHandle(handle_);
    }

    void apply(const PortSettings& settings) override {
        if (applySettings(handle_, settings)) {
            settings_ = settings;
            return;
        }
        text::Error error = settingsError(line_->device());
        // Part of the new values may be on the line already; put back the
        // ones still in force so the line matches what was last accepted.
        applySettings(handle_, settings_);
        throw error;
    }

    NativeLine& line() override { return *line_; }

private:
    HANDLE handle_;
    std::unique_ptr<NativeLine> line_;
    PortSettings settings_;
};

} // namespace

std::unique_ptr<PortDevice> PortDevice::open(const std::string& device, const PortSettings& settings) {
    // The \\.\ form reaches COM10 and above too, which the bare name does not.
    const std::wstring path = L"\\\\.\\" + text::toWide(device);
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw openError(::GetLastError(), device);

    if (!applySettings(handle, settings) || !applyTimeouts(handle)) {
        const text::Error error = settingsError(device);
        ::CloseHandle(handle);
        throw error;
    }
    try {
        return std::make_unique<WindowsPortDevice>(handle, device, settings);
    } catch (...) {
        ::CloseHandle(handle);  // the device never took it over
        throw;
    }
}

} // namespace serial
