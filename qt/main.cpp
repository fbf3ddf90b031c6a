// The thermometer on serial port 1.

#include "real_port.h"
#include "run.h"

int main(int argc, char** argv) {
    auto port = std::make_unique<serial::RealPort>();
    port->onOpened(announcePort);
    return runThermometer(argc, argv, std::move(port));
}
