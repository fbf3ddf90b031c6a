// The thermometer on serial port 1.

#include "real_port.h"
#include "run.h"

int main(int argc, char** argv) {
    return runThermometer(argc, argv, std::make_unique<serial::RealPort>());
}
