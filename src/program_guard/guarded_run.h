// The program's last line of defence: nothing thrown may leave the entry point
// (an exception out of WinMain ends in a crash dialog instead of a quiet end).
#pragma once

// Runs body and returns its status; anything it throws (exhausted memory, for
// one) ends the run quietly with statusOnException. The setup program passes
// its usual status, so that it ends as on any quiet end, without a box: its
// operations report every outcome they know as text, so an exception carries
// none.
template <typename Body>
int RunGuarded(Body&& body, int statusOnException) noexcept
{
    try {
        return body();
    } catch (...) {
        return statusOnException;
    }
}
