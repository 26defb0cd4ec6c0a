#pragma once

#include <cstdint>

// The millisecond tick count that the click, drag and paste timing rules read.
// Tests install their own clock so that time is under their control.
class TTickClock
{
public:
    virtual ~TTickClock() = default;
    virtual uint32_t Now() const = 0;

    // The clock every surface and handle reads unless one is set.
    static TTickClock *System();
};
