#pragma once
// Starts the program on the given port: the window is created and loaded,
// shown, and the message loop runs until the window closes. Returns the
// process's exit status: 0 after a normal close, non-zero after an error.
// A start that fails shows its report and no window.

#include "serial_line.h"

#include <memory>

int runThermometer(int showCommand, std::unique_ptr<serial::SerialLine> port);
