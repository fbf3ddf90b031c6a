#include "room_temperature.h"

#include <cmath>
#include <numbers>

namespace simulation {

RoomTemperature::RoomTemperature(unsigned seed) : noiseSource_(seed) {}

double RoomTemperature::at(double seconds) {
    // Two slow swings (heating cycle, draught) so the reading visibly drifts
    // by a degree or two over a few minutes without ever looking periodic.
    constexpr double kTwoPi = 2.0 * std::numbers::pi;
    const double drift = 1.8 * std::sin(kTwoPi * seconds / 420.0)
                       + 0.7 * std::sin(kTwoPi * seconds / 97.0 + 1.3);
    return 21.5 + drift + noise_(noiseSource_);
}

} // namespace simulation
