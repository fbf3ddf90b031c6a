#include "demo_port.h"

#include "room_temperature.h"

#include <chrono>

namespace serial {

std::unique_ptr<SimulatedPort> makeDemoPort() {
    const auto start = std::chrono::steady_clock::now();
    auto sensor = [start, room = RoomTemperature()]() mutable {
        const std::chrono::duration<double> since = std::chrono::steady_clock::now() - start;
        return sensorVolts(room.at(since.count()));
    };
    return std::make_unique<SimulatedPort>(std::move(sensor));
}

} // namespace serial
