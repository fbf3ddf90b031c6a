#pragma once
// The demo's room: a temperature that wanders slowly around a comfortable
// value, with a little sensor noise on top, as a function of time.

#include <random>

namespace simulation {

class RoomTemperature {
public:
    explicit RoomTemperature(unsigned seed = 2024);

    // Degrees Celsius at `seconds` since the demo started.
    double at(double seconds);

private:
    std::mt19937 noiseSource_;
    std::normal_distribution<double> noise_{0.0, 0.15};
};

} // namespace simulation
