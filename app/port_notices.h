#pragma once
// What the user is told about how port 1 reads, decided after each read
// from what it came to and what the read cycle has learnt of the port:
// - a line for standard output when the port's delay is first measured and
//   again whenever it has grown ("port 1 answers within 4 ms");
// - once, when readings come less often than every second, how often and
//   why, and again when that changes;
// - once per spell in which nothing can be read (the port too slow, or DCD
//   changing with nothing to explain it, three reads in a row), that the
//   readings are cleared and why, and once more when readings resume.
// Texts are the catalogue's, in the user's language; numbers use the
// user's decimal separator.

#include "number_format.h"
#include "read_cycle.h"

#include <string>
#include <vector>

namespace app {

class PortNotices {
public:
    struct Notice {
        std::string line;                   // for standard output; empty if none
        std::vector<std::string> messages;  // for the window
        bool clearReadings = false;         // Label1 and Label3 go back to empty
    };

    explicit PortNotices(measure::NumberFormat format) : format_(std::move(format)) {}

    Notice afterRead(serial::ReadResult result, const serial::DcdDelay& delay);

    // Reads in a row that may go wrong before the readings are cleared.
    static constexpr int kDiscardsBeforeClearing = 3;

private:
    enum class Spell { None, TooSlow, Unsettled };

    std::string seconds(serial::DcdDelay::Duration duration) const;

    measure::NumberFormat format_;
    long long announcedMs_ = 0;
    int periodsSaid_ = 1;
    int discardsInARow_ = 0;
    Spell spell_ = Spell::None;
};

} // namespace app
