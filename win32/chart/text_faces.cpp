#include "text_faces.h"

#include <cwchar>

namespace win32chart {
namespace {

// Tried in this order for a character the message font lacks.
constexpr const wchar_t* kOtherFaces[] = {L"Segoe UI Symbol", L"Segoe UI", L"Arial Unicode MS",
                                          L"Lucida Sans Unicode", L"DejaVu Sans"};

class Selected {
public:
    Selected(HDC dc, HFONT font) : dc_(dc), old_(::SelectObject(dc, font)) {}
    ~Selected() { ::SelectObject(dc_, old_); }
    Selected(const Selected&) = delete;
    Selected& operator=(const Selected&) = delete;

private:
    HDC dc_;
    HGDIOBJ old_;
};

// Which characters of `text` the DC's font draws with a glyph of its own.
std::vector<bool> hasGlyphs(HDC dc, std::wstring_view text) {
    std::vector<WORD> glyphs(text.size());
    if (::GetGlyphIndicesW(dc, text.data(), int(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS) ==
        GDI_ERROR)
        return std::vector<bool>(text.size(), true);
    std::vector<bool> has(text.size());
    for (std::size_t k = 0; k < text.size(); ++k)
        has[k] = glyphs[k] != 0xFFFF;
    return has;
}

} // namespace

TextFaces::TextFaces(const LOGFONTW& messageFont) : primary_(::CreateFontIndirectW(&messageFont)) {
    if (!primary_)
        return;
    const HDC dc = ::CreateCompatibleDC(nullptr);
    {
        const Selected selected(dc, primary_);
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);
        ascent_ = metrics.tmAscent;
        lineHeight_ = metrics.tmHeight;
    }
    for (const wchar_t* name : kOtherFaces) {
        LOGFONTW other = messageFont;
        std::wcsncpy(other.lfFaceName, name, LF_FACESIZE - 1);
        other.lfFaceName[LF_FACESIZE - 1] = L'\0';
        const HFONT face = ::CreateFontIndirectW(&other);
        if (!face)
            continue;
        // The font mapper gives some face for any name: kept only where
        // it is the one asked for.
        wchar_t given[LF_FACESIZE]{};
        {
            const Selected selected(dc, face);
            ::GetTextFaceW(dc, LF_FACESIZE, given);
        }
        if (std::wcscmp(given, name) == 0)
            others_.push_back(face);
        else
            ::DeleteObject(face);
    }
    ::DeleteDC(dc);
}

TextFaces::~TextFaces() {
    for (const HFONT face : others_)
        ::DeleteObject(face);
    if (primary_)
        ::DeleteObject(primary_);
}

std::vector<TextFaces::Piece> TextFaces::piecesOf(HDC dc, std::wstring_view text) const {
    std::vector<HFONT> faceOf(text.size(), primary_);
    {
        const Selected selected(dc, primary_);
        const std::vector<bool> has = hasGlyphs(dc, text);
        for (std::size_t k = 0; k < text.size(); ++k) {
            if (has[k])
                continue;
            for (const HFONT other : others_) {
                const Selected tried(dc, other);
                if (hasGlyphs(dc, text.substr(k, 1))[0]) {
                    faceOf[k] = other;
                    break;
                }
            }
        }
    }
    std::vector<Piece> pieces;
    std::size_t start = 0;
    for (std::size_t k = 1; k <= text.size(); ++k) {
        if (k == text.size() || faceOf[k] != faceOf[start]) {
            pieces.push_back({text.substr(start, k - start), faceOf[start]});
            start = k;
        }
    }
    return pieces;
}

int TextFaces::width(HDC dc, std::wstring_view text) const {
    if (!primary_)
        return 0;
    int total = 0;
    for (const Piece& piece : piecesOf(dc, text)) {
        const Selected selected(dc, piece.face);
        SIZE size{};
        ::GetTextExtentPoint32W(dc, piece.text.data(), int(piece.text.size()), &size);
        total += size.cx;
    }
    return total;
}

void TextFaces::draw(HDC dc, int x, int y, std::wstring_view text) const {
    if (!primary_)
        return;
    // On one baseline, whatever each face's ascent.
    const UINT align = ::SetTextAlign(dc, TA_BASELINE | TA_LEFT | TA_NOUPDATECP);
    for (const Piece& piece : piecesOf(dc, text)) {
        const Selected selected(dc, piece.face);
        ::ExtTextOutW(dc, x, y + ascent_, 0, nullptr, piece.text.data(), UINT(piece.text.size()), nullptr);
        SIZE size{};
        ::GetTextExtentPoint32W(dc, piece.text.data(), int(piece.text.size()), &size);
        x += size.cx;
    }
    ::SetTextAlign(dc, align);
}

} // namespace win32chart
