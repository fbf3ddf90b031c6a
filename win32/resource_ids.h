#pragma once
// Resource numbers shared by thermometer.rc and the code.

// The program's icon: the first and only icon group, which Explorer shows.
#define IDI_THERMOMETER 1

#define IDR_BUNDLED_FONT 101
#define IDR_TEXT_BOX_FONT 102
