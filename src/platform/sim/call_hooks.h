// Actions the tests set to run just before a simulated call: another process
// changing the machine between two calls of the tool.
#pragma once

#include <string>

namespace sim {
namespace detail {

void RunCallHooks(const std::string& function);  // from Enter(), before the call is counted
void ClearCallHooks();                           // from Reset()

}  // namespace detail
}  // namespace sim
