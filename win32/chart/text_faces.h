#pragma once
// The chart's texts in the system's message font, with other faces for the
// few characters it lacks: Tahoma, the message font of older systems and of
// Wine, has no "▸" (the menu path in the chart's notices), and GDI's
// ExtTextOutW does not look elsewhere by itself. Measuring and drawing go
// the same way, so a text is as wide as the host said.

#include <string_view>
#include <vector>

#include <windows.h>

namespace win32chart {

class TextFaces {
public:
    // Null faces where GDI cannot make the message font.
    explicit TextFaces(const LOGFONTW& messageFont);
    ~TextFaces();
    TextFaces(const TextFaces&) = delete;
    TextFaces& operator=(const TextFaces&) = delete;

    bool usable() const noexcept { return primary_ != nullptr; }
    int lineHeight() const noexcept { return lineHeight_; }
    // In `dc`, whose font it leaves as it was.
    int width(HDC dc, std::wstring_view text) const;
    // With its line box's top left at (x, y), in the DC's text colour.
    void draw(HDC dc, int x, int y, std::wstring_view text) const;

private:
    struct Piece {
        std::wstring_view text;
        HFONT face;
    };
    std::vector<Piece> piecesOf(HDC dc, std::wstring_view text) const;

    HFONT primary_ = nullptr;
    std::vector<HFONT> others_;  // only faces the system has
    int ascent_ = 0;
    int lineHeight_ = 0;
};

} // namespace win32chart
