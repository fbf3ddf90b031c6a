// The thermometer on serial port 1 (COM1).

#include "real_port.h"
#include "run.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    return runThermometer(showCommand, std::make_unique<serial::RealPort>());
}
