#pragma once
// Starts the program on the given port: the window is created and loaded,
// shown, and the event loop runs until the window closes. Returns the
// process's exit status: 0 after a normal close or a request to end (see
// session_end.h), non-zero after an error.
// onLoaded runs once the load has succeeded, before the window shows.

#include "serial_line.h"

#include <functional>
#include <memory>
#include <string>

int runThermometer(int& argc, char** argv, std::unique_ptr<serial::SerialLine> port,
                   const std::function<void()>& onLoaded = {});

// One line on standard output, at once, after the program's name:
// "thermometer: port 1 answers within 4 ms".
void announce(const std::string& line) noexcept;
// The line that names port 1's device: "thermometer: port 1 is /dev/ttyUSB0".
void announcePort(int number, const std::string& device);
