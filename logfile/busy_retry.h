#pragma once
// A file that another program holds for a moment (an antivirus scanning
// the new file, a backup or sync tool reading the old one) refuses to be
// replaced only until that program lets go: the rename is tried again for
// about a second before its refusal counts.

#include <chrono>
#include <functional>

namespace logfile {

// The waits between tries: about a second in all.
inline constexpr std::chrono::milliseconds kBusyWaits[] = {
    std::chrono::milliseconds(50), std::chrono::milliseconds(100), std::chrono::milliseconds(200),
    std::chrono::milliseconds(300), std::chrono::milliseconds(350)};

// Runs `attempt` until it returns 0, or a code that `busy` does not
// accept, or it has been tried after every wait in kBusyWaits. Returns
// the last code. `wait` sleeps; tests count instead.
inline unsigned long retryWhileBusy(const std::function<unsigned long()>& attempt,
                                    const std::function<bool(unsigned long)>& busy,
                                    const std::function<void(std::chrono::milliseconds)>& wait) {
    unsigned long code = attempt();
    for (const std::chrono::milliseconds pause : kBusyWaits) {
        if (code == 0 || !busy(code))
            break;
        wait(pause);
        code = attempt();
    }
    return code;
}

} // namespace logfile
