// Windows: Win32 calls on the overlapped HANDLE the port device opened.
// Every failure carries GetLastError() and its system text.
//
// The driver transmits straight from the caller's buffer, so a write stays
// "in flight" until the line has sent it; one such write is kept here, and
// bytes offered while it is still going out are dropped, as on Linux when
// the transmit queue is full.

#include "native_line.h"

#include "error.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include <windows.h>

namespace serial {
namespace {

[[noreturn]] void fail(const std::string& device) {
    const DWORD code = ::GetLastError();
    throw text::Error::system(static_cast<int>(code), device);
}

// A line call's failure on the open port. Windows gives no code that
// singles out a vanished device (drivers answer, say, ERROR_BAD_COMMAND,
// ERROR_GEN_FAILURE or ERROR_ACCESS_DENIED; Wine ERROR_NOT_READY), and
// a port that opened fine has no other way to fail these calls.
[[noreturn]] void lineFailed(const std::string& device) {
    const DWORD code = ::GetLastError();
    throw text::Error(text::MessageId::PortStopped, static_cast<int>(code), device);
}

// How long closing waits for a cancelled write to let go of its buffer.
constexpr DWORD kCancelWaitMs = 2000;

HANDLE port(long long handle) {
    return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(handle));
}

} // namespace

struct NativeLine::OsState {
    OVERLAPPED overlapped{};
    std::array<char, 64> bytes{};  // the write in flight reads from here
    bool inFlight = false;
};

NativeLine::NativeLine(long long handle, std::string device)
    : handle_(handle), device_(std::move(device)), os_(std::make_unique<OsState>()) {
    os_->overlapped.hEvent = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!os_->overlapped.hEvent)
        fail(device_);
}

NativeLine::~NativeLine() {
    if (os_->inFlight) {
        ::CancelIoEx(port(handle_), &os_->overlapped);
        // The driver writes its result into the OVERLAPPED (and may still
        // read the buffer) until the write has finished. Most drivers end a
        // cancelled write at once; one whose device has gone (an adapter
        // pulled mid-write) may never do so, and closing must not hang the
        // program. After the wait the state is deliberately leaked, event
        // and all: freeing memory the driver may still write into would
        // corrupt whatever was allocated there next.
        if (::WaitForSingleObject(os_->overlapped.hEvent, kCancelWaitMs) != WAIT_OBJECT_0) {
            static_cast<void>(os_.release());
            return;
        }
        DWORD sent = 0;
        ::GetOverlappedResult(port(handle_), &os_->overlapped, &sent, FALSE);
    }
    ::CloseHandle(os_->overlapped.hEvent);
}

void NativeLine::setDtr(bool asserted) {
    if (!::EscapeCommFunction(port(handle_), asserted ? SETDTR : CLRDTR))
        lineFailed(device_);
}

void NativeLine::setRts(bool asserted) {
    if (!::EscapeCommFunction(port(handle_), asserted ? SETRTS : CLRRTS))
        lineFailed(device_);
}

bool NativeLine::carrier() {
    DWORD status = 0;
    if (!::GetCommModemStatus(port(handle_), &status))
        lineFailed(device_);
    return (status & MS_RLSD_ON) != 0;
}

std::size_t NativeLine::writeNoWait(std::string_view bytes) {
    OsState& state = *os_;
    if (state.inFlight) {
        DWORD sent = 0;
        if (!::GetOverlappedResult(port(handle_), &state.overlapped, &sent, FALSE)) {
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
    ::ResetEvent(state.overlapped.hEvent);
    if (!::WriteFile(port(handle_), state.bytes.data(), static_cast<DWORD>(count), nullptr,
                     &state.overlapped)) {
        if (::GetLastError() != ERROR_IO_PENDING)
            lineFailed(device_);
        state.inFlight = true;
    }
    return count;
}

} // namespace serial
