// What the portable registry tests need from the machine beyond Win32 calls:
// a clean start where the platform can give one, and a count of the registry
// keys the tool holds open where the platform can tell.
#pragma once

// Host: the simulated machine is reset. Windows: nothing to do.
void ResetRegistryTestMachine();

// Registry keys held open by the tool's code; -1 where the platform cannot tell.
int OpenRegistryKeysOrUnknown();
