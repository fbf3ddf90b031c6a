#pragma once
// The program's one error type. An error says what failed as a catalogue
// id (with that message's arguments), the number from its source (errno or
// GetLastError(), or one of the program's own negative numbers below), and
// the device, file or system call it concerns; it may carry a note that
// explains further ("HKLM\...\SERIALCOMM lists COM3"). Its text is made
// only when it is reported, in the user's language, the system's part
// included.
//
// Port failures and failed system services are thrown and end the
// program; a failed save or journal write is returned and reported.

#include "message.h"

#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace text {

// The program's own error numbers, for failures no OS call stands behind.
// They are negative so that they can never be mistaken for an OS code,
// which is always positive (errno, GetLastError()).
inline constexpr int kInvalidSettingsError = -1;  // malformed settings text
inline constexpr int kInvalidPortError = -2;      // no device for that port number
inline constexpr int kPortNotOpenError = -3;      // line operation before the open
inline constexpr int kPortAlreadyOpenError = -4;  // another port chosen while open
inline constexpr int kPortBusyError = -5;         // another program holds the port
inline constexpr int kRefusedNameError = -7;      // a file name the system cannot take
inline constexpr int kEncoderError = -8;          // the system's image encoder failed

class Error : public std::exception {
public:
    Error(MessageId id, int number, std::string subject, std::vector<std::string> args = {});
    // The system's text for `number`, under its own name: "Input/output error".
    static Error system(int number, std::string subject);

    Error& withNote(Message note);

    MessageId id() const noexcept { return id_; }
    int number() const noexcept { return number_; }
    const std::string& subject() const noexcept { return subject_; }
    const std::vector<std::string>& args() const noexcept { return args_; }
    const std::optional<Message>& note() const noexcept { return note_; }

    // The catalogue's English pattern: for debuggers and logs, not users.
    const char* what() const noexcept override;

private:
    MessageId id_;
    int number_;
    std::string subject_;
    std::vector<std::string> args_;
    std::optional<Message> note_;
};

// The one way an error is told, in the current language:
// "Error 5: The port stopped working (...): Input/output error (/dev/ttyS0)";
// the catalogue's text, then the system's text for a positive number, then
// the note, each where there is one.
std::string reportLine(const Error& error);

} // namespace text
