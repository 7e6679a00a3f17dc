// Reading and checking setup.log, the parameter file beside the IME's files.
#pragma once

#include "driver/setup_context.h"

// Fills ParamFilePath, ImeFileName, MbFileName and ImeDisplayName in this
// order, each check stopping before the next key is read. False when the run
// is to end without a word: no current directory, no setup.log, a named file
// missing (or a directory), or a display name that is "0" or empty.
bool ReadSetupParameters(SetupContext& context);
