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

// The bytes of the longest start of `text`, of at least `least` code
// points, that fits into `width` followed by `suffix`, found by halving.
std::size_t fittingStart(const Host& host, const std::string& text, int width,
                         std::string_view suffix, std::size_t least) {
    const std::vector<std::size_t> starts = codePointStarts(text);
    std::size_t fits = least, fails = starts.size() - 1;
    while (fails - fits > 1) {
        const std::size_t middle = (fits + fails) / 2;
        if (host.textWidth(text.substr(0, starts[middle]) + std::string(suffix)) <= width)
            fits = middle;
        else
            fails = middle;
    }
    return starts[fits];
}

} // namespace

std::string fitText(const Host& host, const std::string& text, int width) {
    if (host.textWidth(text) <= width)
        return text;
    return text.substr(0, fittingStart(host, text, width, kEllipsis, 0)) + std::string(kEllipsis);
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
        if (host.textWidth(longer) <= width) {
            line = longer;
            continue;
        }
        if (!line.empty())
            lines.push_back(line);
        // A word wider than a line, mostly a path, goes on over the next:
        // cut short, it would lose its end, which names the file.
        line = word;
        while (line.size() > 1 && host.textWidth(line) > width) {
            std::size_t cut = fittingStart(host, line, width, {}, 1);
            if (cut >= line.size())
                break;
            // After a folder's separator, where one leaves the line at
            // least a quarter full.
            const std::size_t separator = line.find_last_of("/\\", cut - 1);
            if (separator != std::string::npos && 4 * (separator + 1) >= cut)
                cut = separator + 1;
            lines.push_back(line.substr(0, cut));
            line.erase(0, cut);
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

} // namespace chart
