// The thermometer on a simulated converter in a room whose temperature
// wanders slowly: the whole program, no hardware needed.

#include "converter_chip.h"
#include "room_temperature.h"
#include "run.h"
#include "simulated_port.h"

#include <QElapsedTimer>

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    serial::RoomTemperature room;
    auto sensor = [&] { return serial::sensorVolts(room.at(sinceStart.elapsed() / 1000.0)); };
    return runThermometer(argc, argv, std::make_unique<serial::SimulatedPort>(sensor));
}
