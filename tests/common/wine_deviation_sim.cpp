// The simulated machine behaves as Windows documents: never Wine.
#include "common/wine_deviation.h"

bool RunningOnWine()
{
    return false;
}
