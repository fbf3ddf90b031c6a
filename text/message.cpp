#include "message.h"

#include "catalogue.h"

namespace text {

std::string render(MessageId id, const std::vector<std::string>& args) {
    const std::string_view pattern = catalogueText(id, currentLanguage());
    std::string out;
    out.reserve(pattern.size() + 32);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        // "{n}" with one digit n: the catalogue never needs more than nine.
        if (pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 2] == '}' && pattern[i + 1] >= '1' &&
            pattern[i + 1] <= '9') {
            const std::size_t index = std::size_t(pattern[i + 1] - '1');
            if (index < args.size())
                out += args[index];
            i += 2;
            continue;
        }
        out += pattern[i];
    }
    return out;
}

std::string render(const Message& message) {
    return render(message.id, message.args);
}

std::string programLine(std::string_view text) {
    std::string line = "thermometer: ";
    line.append(text).append(1, '\n');
    return line;
}

} // namespace text
