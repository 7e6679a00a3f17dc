// Faults on demand and the log of calls. Every simulated call passes through
// Enter(), which counts it and decides whether a fault set by the test hits it.
#include <map>

#include "platform/sim/call_hooks.h"
#include "platform/sim/state.h"

namespace sim {
namespace detail {

namespace {

// The error each call most often gives on a real machine, used by
// FailCallNumber. Calls that cannot fail are absent: a fault that lands on
// one of them is spent without effect.
const std::map<std::string, DWORD>& TypicalErrors()
{
    static const std::map<std::string, DWORD> table = {
        {"RegOpenKeyExA", ERROR_ACCESS_DENIED},
        {"RegCreateKeyExA", ERROR_ACCESS_DENIED},
        {"RegCloseKey", ERROR_INVALID_HANDLE},
        {"RegQueryInfoKeyA", ERROR_ACCESS_DENIED},
        {"RegEnumKeyExA", ERROR_ACCESS_DENIED},
        {"RegDeleteKeyA", ERROR_ACCESS_DENIED},
        {"RegQueryValueExA", ERROR_FILE_NOT_FOUND},
        {"RegSetValueExA", ERROR_ACCESS_DENIED},
        {"RegDeleteValueA", ERROR_ACCESS_DENIED},
        {"CreateFileA", ERROR_SHARING_VIOLATION},
        {"CloseHandle", ERROR_INVALID_HANDLE},
        {"CopyFileA", ERROR_ACCESS_DENIED},
        {"DeleteFileA", ERROR_SHARING_VIOLATION},
        {"FindFirstFileA", ERROR_FILE_NOT_FOUND},
        {"FindClose", ERROR_INVALID_HANDLE},
        {"FileTimeToLocalFileTime", ERROR_INVALID_PARAMETER},
        {"FileTimeToDosDateTime", ERROR_INVALID_PARAMETER},
        {"GetCurrentDirectoryA", ERROR_NOT_ENOUGH_MEMORY},
        {"GetSystemDirectoryA", ERROR_NOT_ENOUGH_MEMORY},
        {"GetPrivateProfileStringA", ERROR_FILE_NOT_FOUND},
        {"GetVersionExA", ERROR_INSUFFICIENT_BUFFER},
        {"ImmInstallIMEA", ERROR_ACCESS_DENIED},
        {"UnloadKeyboardLayout", ERROR_INVALID_PARAMETER},
        {"MessageBoxA", ERROR_NOT_ENOUGH_MEMORY},
        {"MessageBoxW", ERROR_NOT_ENOUGH_MEMORY},
        // A code page whose table the machine lacks.
        {"MultiByteToWideChar", ERROR_INVALID_PARAMETER},
        {"LoadLibraryExA", ERROR_MOD_NOT_FOUND},
        {"GetProcAddress", ERROR_PROC_NOT_FOUND},
        {"FreeLibrary", ERROR_INVALID_HANDLE},
        // input.dll's functions report a failure without an error code.
        {"EnumEnabledLayoutOrTip", ERROR_ACCESS_DENIED},
        {"SetDefaultLayoutOrTip", ERROR_ACCESS_DENIED},
        {"InstallLayoutOrTip", ERROR_ACCESS_DENIED},
    };
    return table;
}

bool Faultable(const std::string& function)
{
    return TypicalErrors().count(function) != 0;
}

}  // namespace

Hit Enter(const char* function, std::initializer_list<ArgText> subjects)
{
    Hit hit;  // serving from here on: the hooks' work and the records are the machine's
    RunCallHooks(function);
    Machine& m = M();
    // The record first: while it is made the call is not yet counted, as
    // tests that fail an allocation from a given call number expect.
    m.callRecords.push_back(CallRecord{function, std::vector<std::string>(subjects.begin(), subjects.end())});
    m.callLog.emplace_back(function);
    const std::vector<std::string>& texts = m.callRecords.back().arguments;
    const std::string name(function);
    if (m.failAtCall != 0 && static_cast<int>(m.callLog.size()) == m.failAtCall) {
        m.failAtCall = 0;
        auto it = TypicalErrors().find(name);
        if (it != TypicalErrors().end()) {
            hit.fail = true;
            hit.error = it->second;
            return hit;
        }
    }
    if (!Faultable(name)) return hit;
    for (auto it = m.faults.begin(); it != m.faults.end(); ++it) {
        if (it->function != name) continue;
        bool matches = it->filter.empty();
        for (const std::string& s : texts)
            if (!matches && ContainsNoCase(s, it->filter)) matches = true;
        if (!matches) continue;
        hit.fail = true;
        hit.error = it->error;
        if (it->repeat == Repeat::Once) m.faults.erase(it);
        return hit;
    }
    return hit;
}

namespace {

int servingDepth = 0;  // calls being served: a call may make another

}  // namespace

ServingMark::ServingMark()
{
    ++servingDepth;
}

ServingMark::~ServingMark()
{
    if (owned_) --servingDepth;
}

}  // namespace detail

using namespace detail;

bool ServingACall()
{
    return servingDepth > 0;
}

void FailCall(const std::string& function, DWORD error, Repeat repeat, const std::string& filter)
{
    M().faults.push_back({function, error, repeat, filter});
}

void FailCallNumber(int k)
{
    M().failAtCall = k > 0 ? static_cast<int>(M().callLog.size()) + k : 0;
}

int CallCount()
{
    return static_cast<int>(M().callLog.size());
}

std::vector<std::string> CallLog()
{
    return M().callLog;
}

const std::vector<CallRecord>& CallRecords()
{
    return M().callRecords;
}

}  // namespace sim
