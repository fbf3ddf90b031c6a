// Windows: the port is a CreateFileW handle, opened overlapped so that a
// write still going out never holds up the modem-line calls of a reading.
// Comm ports are never shared, so the open itself is the exclusive hold.
// Numbers are GetLastError() codes; descriptions are the system's own text.
//
// The driver transmits straight from the caller's buffer, so a write stays
// "in flight" until the line has sent it; one such write is kept here, and
// bytes offered while it is still going out are dropped, as on Linux when
// the transmit queue is full.

#include "native_port.h"

#include "encoding_windows.h"
#include "error.h"
#include "port_discovery.h"

#include <algorithm>
#include <array>

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
// DTR and RTS start at their levels between two readings, DTR asserted
// (converter deselected) and RTS low (clock at rest).
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
        // What the system does list tells the user which number to use.
        return text::Error(PortMissing, int(code), device).withNote(listedPortsNote());
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

// A line call's failure on the open port. Windows gives no code that
// singles out a vanished device (drivers answer, say, ERROR_BAD_COMMAND,
// ERROR_GEN_FAILURE or ERROR_ACCESS_DENIED; Wine ERROR_NOT_READY), and
// a port that opened fine has no other way to fail these calls.
[[noreturn]] void lineFailed(const std::string& device) {
    throw text::Error(text::MessageId::PortStopped, int(::GetLastError()), device);
}

// How long closing waits for a cancelled write to let go of its buffer.
constexpr DWORD kCancelWaitMs = 2000;

} // namespace

struct NativePort::Os {
    HANDLE handle = INVALID_HANDLE_VALUE;
    OVERLAPPED overlapped{};
    std::array<char, 64> bytes{};  // the write in flight reads from here
    bool inFlight = false;

    ~Os() {
        if (overlapped.hEvent)
            ::CloseHandle(overlapped.hEvent);
        if (handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle);
    }
};

std::unique_ptr<NativePort> NativePort::open(const std::string& device, const PortSettings& settings) {
    auto os = std::make_unique<Os>();
    // The \\.\ form reaches COM10 and above too, which the bare name does not.
    const std::wstring path = L"\\\\.\\" + text::toWide(device);
    os->handle = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (os->handle == INVALID_HANDLE_VALUE)
        throw openError(::GetLastError(), device);
    // From here on a throw closes the handle with `os`: nothing stays held.
    if (!applySettings(os->handle, settings) || !applyTimeouts(os->handle))
        throw settingsError(device);
    os->overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!os->overlapped.hEvent)
        throw text::Error::system(int(::GetLastError()), device);
    return std::unique_ptr<NativePort>(new NativePort(device, std::move(os)));
}

NativePort::NativePort(std::string device, std::unique_ptr<Os> os)
    : device_(std::move(device)), os_(std::move(os)) {}

NativePort::~NativePort() {
    if (!os_->inFlight)
        return;  // os_ closes the event and the port
    ::CancelIoEx(os_->handle, &os_->overlapped);
    // The driver writes its result into the OVERLAPPED (and may still read
    // the buffer) until the write has finished. Most drivers end a cancelled
    // write at once; one whose device has gone (an adapter pulled mid-write)
    // may never do so, and closing must not hang the program. After the wait
    // the state is deliberately leaked, event and all, with only the port
    // closed: freeing memory the driver may still write into would corrupt
    // whatever was allocated there next.
    if (::WaitForSingleObject(os_->overlapped.hEvent, kCancelWaitMs) != WAIT_OBJECT_0) {
        ::CloseHandle(os_->handle);
        static_cast<void>(os_.release());
        return;
    }
    DWORD sent = 0;
    ::GetOverlappedResult(os_->handle, &os_->overlapped, &sent, FALSE);
}

void NativePort::setDtr(bool asserted) {
    if (!::EscapeCommFunction(os_->handle, asserted ? SETDTR : CLRDTR))
        lineFailed(device_);
}

void NativePort::setRts(bool asserted) {
    if (!::EscapeCommFunction(os_->handle, asserted ? SETRTS : CLRRTS))
        lineFailed(device_);
}

bool NativePort::carrier() {
    DWORD status = 0;
    if (!::GetCommModemStatus(os_->handle, &status))
        lineFailed(device_);
    return (status & MS_RLSD_ON) != 0;
}

std::size_t NativePort::writeNoWait(std::string_view bytes) {
    Os& state = *os_;
    if (state.inFlight) {
        DWORD sent = 0;
        if (!::GetOverlappedResult(state.handle, &state.overlapped, &sent, FALSE)) {
            if (::GetLastError() == ERROR_IO_INCOMPLETE)
                return 0;  // the line is still busy
            state.inFlight = false;
            lineFailed(device_);
        }
        state.inFlight = false;
    }
    const auto count = std::min(bytes.size(), state.bytes.size());
    std::copy_n(bytes.data(), count, state.bytes.data());
    state.overlapped.Offset = 0;
    state.overlapped.OffsetHigh = 0;
    // WriteFile resets the event itself as the write begins.
    if (!::WriteFile(state.handle, state.bytes.data(), static_cast<DWORD>(count), nullptr,
                     &state.overlapped)) {
        if (::GetLastError() != ERROR_IO_PENDING)
            lineFailed(device_);
        state.inFlight = true;
    }
    return count;
}

} // namespace serial
