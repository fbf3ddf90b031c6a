#pragma once
// The window's faces at one DPI. The layout's sizes were made for a small
// 8-point face; Liberation Sans (metric-compatible with Arial, with
// Cyrillic) is built into the program as a resource, as in the Qt window,
// so every caption fits on every machine whatever fonts it has. The text
// box has a face of its own, also built in: see fonts.cpp.

#include <windows.h>

namespace win32ui {

// Makes the built-in faces available to this process; once is enough.
void registerBundledFaces();

class Form1Fonts {
public:
    explicit Form1Fonts(UINT dpi);
    ~Form1Fonts();
    Form1Fonts(const Form1Fonts&) = delete;
    Form1Fonts& operator=(const Form1Fonts&) = delete;

    // Label1 and Label3: 24 pt.
    HFONT reading() const { return reading_; }
    // Every other control but the text box: 8 pt.
    HFONT control() const { return control_; }
    // Text1: 8 pt.
    HFONT textBox() const { return textBox_; }

private:
    HFONT reading_;
    HFONT control_;
    HFONT textBox_;
};

} // namespace win32ui
