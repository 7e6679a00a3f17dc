// The simulated machine behind the portable platform tests.
#include "platform/platform_test.h"

#include "platform/sim/machine.h"

PlatformTestMachine::PlatformTestMachine()
{
    sim::Reset();
    sim::SetTimeZoneBiasMinutes(-480);
}
