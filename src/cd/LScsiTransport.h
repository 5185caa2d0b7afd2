#pragma once
#include <string>

#include "cd/LScsiCommand.h"

// One opened drive's command channel: the Linux SG_IO pass-through on /dev/srN,
// or the virtual drive. Commands run one at a time; the caller (LSCSI) waits on
// the command's `done` event. Used from one thread at a time.
class LScsiTransport {
public:
    virtual ~LScsiTransport() = default;
    // Starts `command`. True when it was started or is already done: `done` is
    // set once its outcome is filled in. False when it could not be issued at
    // all; then `done` is set and `error` says why. The command and its buffer
    // stay the transport's until `done` is set or Abandon() returned.
    virtual bool Start(LScsiCommand& command) = 0;
    // Gives up the command in flight, if any (a time-out or a cancel): it will
    // never touch the command or its buffer again.
    virtual void Abandon() = 0;
    // The device path or the virtual drive's entry, for messages.
    virtual std::string Name() const = 0;
};
