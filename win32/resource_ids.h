#pragma once
// Resource numbers shared by thermometer.rc and the code.

#define IDR_BUNDLED_FONT 101
#define IDR_TEXT_BOX_FONT 102
