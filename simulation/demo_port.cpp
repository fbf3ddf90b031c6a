#include "demo_port.h"

#include "room_temperature.h"

#include <chrono>

namespace simulation {

std::unique_ptr<SimulatedPort> makeDemoPort() {
    const auto start = std::chrono::steady_clock::now();
    auto sensor = [start, room = RoomTemperature()]() mutable {
        const std::chrono::duration<double> since = std::chrono::steady_clock::now() - start;
        return sensorVolts(room.at(since.count()));
    };
    // The demo's converter hangs on an adapter that reports DCD late, as
    // common USB adapters do, so the demo reads through the same waits.
    Adapter adapter;
    adapter.lag = std::chrono::milliseconds(4);
    adapter.period = std::chrono::milliseconds(16);
    adapter.phase = start;
    adapter.clock = [] { return std::chrono::steady_clock::now(); };
    return std::make_unique<SimulatedPort>(std::move(sensor), std::move(adapter));
}

} // namespace simulation
