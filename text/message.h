#pragma once
// A message as code hands it on: the catalogue's id and the arguments for
// its placeholders ({1}, {2}, ...), rendered in the current language only
// when it is shown.

#include "message_id.h"

#include <string>
#include <string_view>
#include <vector>

namespace text {

struct Message {
    MessageId id;
    std::vector<std::string> args;
};

// The message in the current language, placeholders filled in. A missing
// argument leaves its placeholder empty.
std::string render(MessageId id, const std::vector<std::string>& args = {});
std::string render(const Message& message);

// A line as the program prints it on standard output or error, after its
// name and with its line end: "thermometer: port 1 answers within 4 ms\n".
std::string programLine(std::string_view text);

} // namespace text
