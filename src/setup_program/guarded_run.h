// The program's last line of defence: nothing thrown may leave the entry point
// (an exception out of WinMain ends in a crash dialog instead of a quiet end).
#pragma once

#include "driver/exit_status.h"

// Runs body and returns its status; anything it throws (exhausted memory, for
// one) ends the run quietly with statusOnException, for the setup program
// without a box and with its usual status. The operations report every
// outcome they know as text, so an exception carries none.
template <typename Body>
int RunGuarded(Body&& body, int statusOnException = SetupExitStatus) noexcept
{
    try {
        return body();
    } catch (...) {
        return statusOnException;
    }
}
