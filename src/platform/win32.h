// The one road from the tool to the operating system.
//
// On Windows this is the real Win32 API (ANSI forms). Everywhere else it is the
// subset of the same declarations that the tool calls, served by the simulated
// machine in sim/. Code outside src/platform/ includes only this header and
// calls the functions by their Win32 names.
#pragma once

#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <imm.h>
#else
#include "sim/win32_api.h"
#endif
