#pragma once

#include <QString>

namespace platform {

// Switching the machine off when a batch asked for it. One implementation per
// system; tests put their own in its place, since a test must never power off.
class Power {
public:
    virtual ~Power() = default;
    // Asks the system to power off. False when it refuses, with the system's own
    // words for why in reason (empty when it gave none).
    virtual bool PowerOff(QString* reason) = 0;
};

Power& SystemPower();

} // namespace platform
