// The thermometer on serial port 1 (COM1, or the first port Windows lists).

#include "real_port.h"
#include "run.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    auto port = std::make_unique<serial::RealPort>();
    port->onOpened(announcePort);
    return runThermometer(showCommand, std::move(port));
}
