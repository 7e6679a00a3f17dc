// Actions run just before a named simulated call, for races with other
// processes that a test cannot otherwise place between two calls.
#include "platform/sim/call_hooks.h"

#include <functional>
#include <map>
#include <utility>

#include "platform/sim/machine.h"

namespace sim {
namespace detail {

namespace {

struct CallHook {
    std::function<void(int)> action;
    int calls = 0;
};

std::map<std::string, CallHook>& Hooks()
{
    static std::map<std::string, CallHook> hooks;
    return hooks;
}

bool running = false;

}  // namespace

void RunCallHooks(const std::string& function)
{
    if (running) return;  // calls made by the action itself do not set it off again
    auto it = Hooks().find(function);
    if (it == Hooks().end()) return;
    const int number = ++it->second.calls;
    const std::function<void(int)> action = it->second.action;  // the action may replace itself
    running = true;
    struct Done {
        ~Done() { running = false; }
    } done;
    action(number);
}

void ClearCallHooks()
{
    Hooks().clear();
}

}  // namespace detail

void BeforeEachCall(const std::string& function, std::function<void(int callNumber)> action)
{
    if (action)
        detail::Hooks()[function] = detail::CallHook{std::move(action), 0};
    else
        detail::Hooks().erase(function);
}

}  // namespace sim
