// Real Windows (or Wine) behind the portable platform tests: nothing to set.
#include "platform/platform_test.h"

PlatformTestMachine::PlatformTestMachine() {}
