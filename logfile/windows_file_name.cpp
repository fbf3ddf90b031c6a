#include "windows_file_name.h"

namespace logfile {
namespace {

char upper(char c) {
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

bool sameLetters(std::string_view text, std::string_view upperCase) {
    if (text.size() != upperCase.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (upper(text[i]) != upperCase[i])
            return false;
    return true;
}

// Windows takes the part before the first dot, without trailing blanks,
// as the device: "COM3.txt.123.tmp" and "nul .txt" are devices too.
std::string_view deviceStem(std::string_view name) {
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.remove_suffix(1);
    return stem;
}

bool isDeviceName(std::string_view stem) {
    for (std::string_view device : {"CON", "PRN", "AUX", "NUL"})
        if (sameLetters(stem, device))
            return true;
    if (stem.size() < 4 || !(sameLetters(stem.substr(0, 3), "COM") || sameLetters(stem.substr(0, 3), "LPT")))
        return false;
    const std::string_view number = stem.substr(3);
    if (number.size() == 1)
        return number[0] >= '0' && number[0] <= '9';
    // U+00B9, U+00B2, U+00B3 in UTF-8
    for (std::string_view superscript : {"\xC2\xB9", "\xC2\xB2", "\xC2\xB3"})
        if (number == superscript)
            return true;
    return false;
}

} // namespace

std::string windowsFolderOf(std::string_view path) {
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string_view::npos)
        return ".";
    const bool root = slash == 0 || (slash == 2 && path[1] == ':');
    return std::string(path.substr(0, root ? slash + 1 : slash));
}

std::optional<text::Message> windowsNameProblem(std::string_view name) {
    using enum text::MessageId;
    for (const char c : name) {
        if (static_cast<unsigned char>(c) < 0x20)
            return text::Message{NameHasControlCharacter, {}};
        if (std::string_view("<>:\"|?*").find(c) != std::string_view::npos)
            return text::Message{NameHasCharacter, {std::string(1, c)}};
    }
    const std::string_view stem = deviceStem(name);
    if (isDeviceName(stem))
        return text::Message{NameIsDevice, {std::string(stem)}};
    return std::nullopt;
}

} // namespace logfile
