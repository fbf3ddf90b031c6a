// The thermometer on a simulated converter in a room whose temperature
// wanders slowly: the whole program, no hardware needed.

#include "demo_port.h"
#include "message.h"
#include "run.h"

int main(int argc, char** argv) {
    return runThermometer(argc, argv, simulation::makeDemoPort(),
                          [] { announcePort(1, text::render(text::MessageId::SimulatedConverter)); });
}
