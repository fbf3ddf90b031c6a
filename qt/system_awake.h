#pragma once
// Keeping the computer from suspending on its own while readings are being
// recorded; the user can still suspend it. Linux has no one switch for
// this, so two locks are asked for, each of a service that may not run:
// - logind's "idle" inhibitor in block mode (system bus), which logind's
//   own IdleAction and KDE Plasma's power manager (PowerDevil) honour. Not
//   "sleep": that one is meant to refuse suspends users ask for.
// - GNOME's session inhibitor with its suspend flag (session bus): GNOME's
//   power daemon consults only gnome-session before an idle suspend.
// Where neither service answers, nothing happens. Nothing waits for an
// answer: they come through the event loop, and a lock granted after it
// was released is let go at once.

#include <memory>

namespace qtui {

// The seam: what the Qt runtime asks of whatever keeps the system awake.
class AwakeHold {
public:
    virtual ~AwakeHold() = default;
    virtual void hold() noexcept = 0;
    virtual void release() noexcept = 0;
};

// The desktop's locks through D-Bus, as above.
std::unique_ptr<AwakeHold> makeDesktopAwakeHold();

} // namespace qtui
