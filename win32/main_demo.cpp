// The thermometer on a simulated converter in a room whose temperature
// wanders slowly: the whole program, no hardware needed.

#include "demo_port.h"
#include "message.h"
#include "run.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    return runThermometer(showCommand, simulation::makeDemoPort(),
                          [] { announcePort(1, text::render(text::MessageId::SimulatedConverter)); });
}
