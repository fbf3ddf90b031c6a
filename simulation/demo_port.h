#pragma once
// The demo's port: the converter model on a simulated port, its sensor in a
// room whose temperature wanders slowly (RoomTemperature), timed from the
// moment the port is made, behind an adapter that reports DCD late.

#include "simulated_port.h"

#include <memory>

namespace simulation {

std::unique_ptr<SimulatedPort> makeDemoPort();

} // namespace simulation
