// The simulated machine behind the portable registry tests.
#include "registry/registry_test_machine.h"

#include "platform/sim/machine.h"

void ResetRegistryTestMachine()
{
    sim::Reset();
}

int OpenRegistryKeysOrUnknown()
{
    return sim::OpenKeyCount();
}
