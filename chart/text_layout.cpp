#include "text_layout.h"

#include "unicode_text.h"

namespace chart {
namespace {

constexpr std::string_view kEllipsis = "\u2026";

// The byte offsets where the code points of `text` start, and its end.
std::vector<std::size_t> codePointStarts(const std::string& text) {
    std::vector<std::size_t> starts;
    for (std::size_t at = 0; at < text.size();) {
        starts.push_back(at);
        decodeUtf8(text, at);
    }
    starts.push_back(text.size());
    return starts;
}

} // namespace

std::string fitText(const Host& host, const std::string& text, int width) {
    if (host.textWidth(text) <= width)
        return text;
    // The longest start that fits with the ellipsis, found by halving.
    const std::vector<std::size_t> starts = codePointStarts(text);
    std::size_t fits = 0, fails = starts.size() - 1;
    while (fails - fits > 1) {
        const std::size_t middle = (fits + fails) / 2;
        if (host.textWidth(text.substr(0, starts[middle]) + std::string(kEllipsis)) <= width)
            fits = middle;
        else
            fails = middle;
    }
    return text.substr(0, starts[fits]) + std::string(kEllipsis);
}

std::vector<std::string> wrapText(const Host& host, const std::string& text, int width) {
    std::vector<std::string> lines;
    std::string line;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t space = text.find(' ', at);
        const std::string word = text.substr(at, space == std::string::npos ? std::string::npos : space - at);
        at = space == std::string::npos ? text.size() : space + 1;
        const std::string longer = line.empty() ? word : line + " " + word;
        if (line.empty() || host.textWidth(longer) <= width) {
            line = longer;
            continue;
        }
        lines.push_back(fitText(host, line, width));
        line = word;
    }
    if (!line.empty())
        lines.push_back(fitText(host, line, width));
    return lines;
}

} // namespace chart
