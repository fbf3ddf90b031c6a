#pragma once
// Starts the program on the given port: the window is created and loaded,
// shown, and the event loop runs until the window closes. Returns the
// process's exit status: 0 after a normal close, non-zero after an error.

#include "serial_line.h"

#include <memory>

int runThermometer(int& argc, char** argv, std::unique_ptr<serial::SerialLine> port);
