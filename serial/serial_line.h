#pragma once
// The program's one view of the serial port: the seven operations it uses,
// named after the properties of the port control they stand for.
//
// Every operation either has its effect by the time it returns or throws
// text::Error; nothing is batched and no line state is cached behind it.

#include <string_view>

namespace serial {

class SerialLine {
public:
    virtual ~SerialLine() = default;

    // Line parameters as "baud,parity,databits,stopbits", e.g. "1200,N,8,1";
    // taken up by the next open (an open port keeps those it opened with).
    // Malformed text throws.
    virtual void Settings(std::string_view settings) = 0;
    // Port number the next open acts on (1 is the first serial port).
    virtual void CommPort(int number) = 0;
    // true opens the selected port exclusively, false closes it.
    virtual void PortOpen(bool open) = 0;
    // true asserts DTR, false de-asserts it.
    virtual void DTREnable(bool asserted) = 0;
    // true asserts RTS, false de-asserts it.
    virtual void RTSEnable(bool asserted) = 0;
    // Whether the carrier-detect input is asserted right now.
    virtual bool CDHolding() = 0;
    // Queues each character as one byte for transmission; never waits for
    // the line or for room in the queue.
    virtual void Output(std::string_view text) = 0;

protected:
    SerialLine() = default;
    SerialLine(const SerialLine&) = default;
    SerialLine& operator=(const SerialLine&) = default;
};

} // namespace serial
