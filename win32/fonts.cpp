#include "fonts.h"

#include "dpi.h"
#include "form1_layout.h"
#include "resource_ids.h"

#include <cwchar>

namespace win32ui {
namespace {

constexpr const wchar_t* kBundledFace = L"Liberation Sans";

// The text box alone uses DejaVu Sans. Wine 8.0 crashes (a page fault in
// its text shaping) as soon as an edit control holding Cyrillic text, such
// as a file name "журнал", is drawn in Liberation Sans, Tahoma, Arial,
// "MS Shell Dlg" or "Microsoft Sans Serif"; of the faces tried only DejaVu
// Sans did not. Static controls and buttons draw without that shaping and
// keep Liberation Sans. DejaVu Sans is built in like Liberation Sans, so
// Windows and Wine show the same face, and 8 pt of it fits the box.
constexpr const wchar_t* kTextBoxFace = L"DejaVu Sans";

HFONT makeFont(const wchar_t* face, int points, UINT dpi) {
    LOGFONTW font{};
    font.lfHeight = fontHeight(points, dpi);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = RUSSIAN_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    std::wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    return ::CreateFontIndirectW(&font);
}

// Private to this process. Should it fail, the font mapper picks the nearest
// installed sans face, and long captions may be clipped.
void registerFace(int resourceId) {
    const HRSRC resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
    const HGLOBAL loaded = resource ? ::LoadResource(nullptr, resource) : nullptr;
    void* data = loaded ? ::LockResource(loaded) : nullptr;
    DWORD faces = 0;
    if (data)
        ::AddFontMemResourceEx(data, ::SizeofResource(nullptr, resource), nullptr, &faces);
}

} // namespace

void registerBundledFaces() {
    static const bool registered = [] {
        registerFace(IDR_BUNDLED_FONT);
        registerFace(IDR_TEXT_BOX_FONT);
        return true;
    }();
    (void)registered;
}

Form1Fonts::Form1Fonts(UINT dpi)
    : reading_(makeFont(kBundledFace, app::kReadingPointSize, dpi)),
      control_(makeFont(kBundledFace, app::kControlPointSize, dpi)),
      textBox_(makeFont(kTextBoxFace, app::kControlPointSize, dpi)) {}

Form1Fonts::~Form1Fonts() {
    for (const HFONT font : {reading_, control_, textBox_})
        if (font)
            ::DeleteObject(font);
}

} // namespace win32ui
