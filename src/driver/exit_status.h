// The process ends with this status on every path, the quiet ends included.
#pragma once

constexpr int SetupExitStatus = 0;
