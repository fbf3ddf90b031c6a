#pragma once
// The window's layout as data, for every front end to build from: caption,
// client area, and each visible control's name, kind, place and first
// content, in tab order. Lengths are twips (1/1440 inch): fifteen make one
// pixel at 96 dots per inch.
//
// Left column: the voltage (Label1) above the temperature (Label3) in large
// type. Right column: the log list, "Записывать данные" under it and the
// exit button in the corner. Along the bottom: "Сохранить как", the file
// name box, ".txt". Check1 reaches 30 twips past the client area's right
// edge, Label2 lies partly under List1 and Label4 under Text1: the list and
// the text box are drawn above the labels they overlap.

#include <array>
#include <string_view>

namespace app {

inline constexpr std::string_view kForm1Caption = "Form1";
inline constexpr int kClientWidthTwips = 5865;
inline constexpr int kClientHeightTwips = 2400;
inline constexpr int kTwipsPerInch = 1440;

enum class ControlKind { Label, ListBox, CommandButton, TextBox, CheckBox };

struct ControlLayout {
    std::string_view name;
    ControlKind kind;
    int left, top, width, height;  // twips, from the client area's top left
    std::string_view content;      // caption or text at start (UTF-8)
};

// In tab order.
inline constexpr std::array<ControlLayout, 9> kForm1Controls{{
    {"Label2", ControlKind::Label, 4080, 120, 1335, 615, ""},
    {"Label3", ControlKind::Label, 120, 1080, 3615, 735, ""},
    {"Label1", ControlKind::Label, 120, 240, 3615, 735, ""},
    {"List1", ControlKind::ListBox, 3960, 240, 1815, 1230, ""},
    {"Command1", ControlKind::CommandButton, 4920, 1920, 855, 375, "Выход"},
    {"Text1", ControlKind::TextBox, 1320, 2040, 1815, 285, "database"},
    {"Check1", ControlKind::CheckBox, 3960, 1560, 1935, 255, "Записывать данные"},
    {"Label4", ControlKind::Label, 120, 2040, 1215, 255, "Сохранить как"},
    {"Label5", ControlKind::Label, 3240, 2040, 375, 255, ".txt"},
}};

// Label1 and Label3 show the readings in large type.
inline constexpr int kReadingPointSize = 24;
// Every other control's face size: the layout's sizes were made for it.
inline constexpr int kControlPointSize = 8;

// Pixels for a length in twips at `dpi` dots per inch, rounded down.
constexpr int twipsToPixels(int twips, int dpi = 96) {
    return twips * dpi / kTwipsPerInch;
}

// Form1's client area in pixels at `dpi`: every front end sizes its window
// from this.
struct PixelSize {
    int width, height;
};
constexpr PixelSize clientSizeAt(int dpi = 96) {
    return {twipsToPixels(kClientWidthTwips, dpi), twipsToPixels(kClientHeightTwips, dpi)};
}

} // namespace app
