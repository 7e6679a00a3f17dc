// The simulated machine's test control: message boxes, faults on demand, the
// call log, the accounting of open handles, whose allocations a call's are,
// and the reset.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/clean_machine_fixture.h"
#include "platform/win32.h"
#include "registration/allocation_fault.h"

namespace {

using SimMachineTest = CleanMachineTest;

TEST_F(SimMachineTest, BoxesAreRecordedAndAnsweredInOrder)
{
    sim::QueueAnswer(IDYES);
    sim::QueueAnswer(IDNO);
    HWND owner = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x1234));
    EXPECT_EQ(MessageBoxA(owner, "\xB0\xB2\xD7\xB0?", "Setup", MB_YESNO | MB_ICONQUESTION), IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "second", "Setup", MB_OK), IDNO);
    ASSERT_EQ(sim::MessageBoxes().size(), 2u);
    EXPECT_EQ(sim::MessageBoxes()[0].owner, owner);
    EXPECT_EQ(sim::MessageBoxes()[0].text, "\xB0\xB2\xD7\xB0?");
    EXPECT_EQ(sim::MessageBoxes()[0].caption, "Setup");
    EXPECT_EQ(sim::MessageBoxes()[0].style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));

    // Nobody to answer: 0 at once, and counted.
    EXPECT_EQ(MessageBoxA(nullptr, "third", "Setup", MB_OK), 0);
    EXPECT_EQ(sim::UnansweredBoxes(), 1);
    EXPECT_EQ(sim::MessageBoxes().size(), 3u);
    sim::Reset();  // the fixture would fail on the unanswered box
    EXPECT_EQ(sim::UnansweredBoxes(), 0);
    EXPECT_TRUE(sim::MessageBoxes().empty());
}

TEST_F(SimMachineTest, FailCallOnceAlwaysAndFiltered)
{
    sim::PutFile("C:\\a.ime", "x");
    sim::PutFile("C:\\b.ime", "x");
    sim::FailCall("DeleteFileA", ERROR_WRITE_PROTECT);
    SetLastError(0);
    EXPECT_FALSE(DeleteFileA("C:\\a.ime"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_WRITE_PROTECT));
    EXPECT_TRUE(sim::FileExists("C:\\a.ime"));  // a failed call changes nothing
    EXPECT_TRUE(DeleteFileA("C:\\a.ime"));      // once only

    // Filtered: only calls with a name argument that holds the filter, case aside.
    sim::PutFile("C:\\c.ime", "c");
    sim::FailCall("CopyFileA", ERROR_DISK_FULL, sim::Repeat::Always, "B.IME");
    EXPECT_TRUE(CopyFileA("C:\\c.ime", "C:\\d.ime", FALSE));
    EXPECT_FALSE(CopyFileA("C:\\b.ime", "C:\\d.ime", FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
    EXPECT_FALSE(CopyFileA("C:\\c.ime", "C:\\b.ime", FALSE));
    EXPECT_EQ(sim::FileContents("C:\\b.ime"), "x");

    // Registry calls return the error; the filter also sees the key's path.
    sim::FailCall("RegSetValueExA", ERROR_REGISTRY_IO_FAILED, sim::Repeat::Once, "Preload");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Keyboard Layout\\Preload", 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, "2", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_REGISTRY_IO_FAILED);
    EXPECT_EQ(RegSetValueExA(key, "2", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(SimMachineTest, FailCallNumberUsesEachCallsOwnError)
{
    sim::PutFile("C:\\a.ime", "x");
    HKEY key = nullptr;
    sim::FailCallNumber(2);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Keyboard Layout", 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);  // the second call: fails, but the handle is still given back
    EXPECT_EQ(sim::OpenKeyCount(), 0);

    sim::FailCallNumber(1);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Keyboard Layout", 0, KEY_READ, &key), ERROR_ACCESS_DENIED);
    sim::FailCallNumber(1);
    SetLastError(0);
    EXPECT_EQ(CreateFileA("C:\\a.ime", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    sim::FailCallNumber(1);
    EXPECT_FALSE(DeleteFileA("C:\\a.ime"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    WIN32_FIND_DATAA data;
    sim::FailCallNumber(1);
    EXPECT_EQ(FindFirstFileA("C:\\a.ime", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    char buffer[MAX_PATH];
    sim::FailCallNumber(1);
    EXPECT_EQ(GetSystemDirectoryA(buffer, MAX_PATH), 0u);
    sim::FailCallNumber(1);
    EXPECT_EQ(ImmInstallIMEA("C:\\a.ime", "x"), nullptr);
    sim::FailCallNumber(1);
    EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OK), 0);
    EXPECT_TRUE(sim::MessageBoxes().empty());  // never shown
    EXPECT_EQ(sim::UnansweredBoxes(), 0);

    // A call that cannot fail spends the fault without effect.
    sim::FailCallNumber(1);
    EXPECT_EQ(GetVersion(), 0x0A280105u);
    EXPECT_TRUE(DeleteFileA("C:\\a.ime"));
}

TEST_F(SimMachineTest, CallLogAndAccounting)
{
    sim::PutFile("C:\\a.ime", "x");
    EXPECT_EQ(sim::CallCount(), 0);  // control calls are not logged
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_CURRENT_USER, "Keyboard Layout", 0, KEY_READ, &key);
    HANDLE file = CreateFileA("C:\\a.ime", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA("C:\\*.ime", &data);
    EXPECT_EQ(sim::OpenKeyCount(), 1);
    EXPECT_EQ(sim::OpenFileCount(), 1);
    EXPECT_EQ(sim::OpenFindCount(), 1);
    EXPECT_FALSE(CloseHandle(find));  // a search is closed by FindClose only
    RegCloseKey(key);
    CloseHandle(file);
    FindClose(find);
    EXPECT_EQ(sim::CallLog(), (std::vector<std::string>{"RegOpenKeyExA", "CreateFileA", "FindFirstFileA",
                                                        "CloseHandle", "RegCloseKey", "CloseHandle", "FindClose"}));
    EXPECT_EQ(sim::CallCount(), 7);

    sim::Reset();
    EXPECT_EQ(sim::CallCount(), 0);
    EXPECT_FALSE(sim::FileExists("C:\\a.ime"));
    EXPECT_TRUE(sim::DirectoryExists("C:\\WINDOWS\\SYSTEM32"));
    EXPECT_TRUE(sim::KeyExists(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Keyboard Layouts"));
    EXPECT_EQ(sim::GetValue(HKEY_CURRENT_USER, "Keyboard Layout\\Preload", "1")->data, std::string("00000804\0", 9));
}

// One loader for every DLL: the system's own from a table of exports (sfc.dll
// after Reset, input.dll only with a user's list), the same module counted
// again when loaded again, by path or by name, and freed load by load.
TEST_F(SimMachineTest, OneLoaderForTheSystemsLibraries)
{
    const auto load = [](const char* name) { return LoadLibraryExA(name, nullptr, 0); };
    EXPECT_EQ(load("C:\\WINDOWS\\SYSTEM32\\input.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    const HMODULE sfc = load("C:\\WINDOWS\\SYSTEM32\\sfc.dll");
    ASSERT_NE(sfc, nullptr);
    EXPECT_EQ(load("c:\\windows\\system32\\SFC.DLL"), sfc);
    EXPECT_EQ(load("Sfc.dll"), sfc);
    EXPECT_EQ(sim::LoadedModuleCount(), 3);
    EXPECT_EQ(GetProcAddress(sfc, "InstallLayoutOrTip"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

    sim::SetUserInputList({"0804:00000804"}, "0804:00000804");
    const HMODULE input = load("input.dll");
    ASSERT_NE(input, nullptr);
    EXPECT_NE(input, sfc);
    EXPECT_NE(GetProcAddress(input, "InstallLayoutOrTip"), nullptr);
    EXPECT_EQ(GetProcAddress(input, "SfcIsFileProtected"), nullptr);
    sim::PutFile("C:\\WINDOWS\\other.dll", "MZ");
    const HMODULE other = load("other.dll");
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(GetProcAddress(other, "SfcIsFileProtected"), nullptr);
    const std::string sfcFile = "C:\\WINDOWS\\SYSTEM32\\sfc.dll";
    EXPECT_EQ(sim::LoadedLibraries(), (std::vector<std::string>{sfcFile, sfcFile, sfcFile,
                                                                "C:\\WINDOWS\\SYSTEM32\\input.dll",
                                                                "C:\\WINDOWS\\other.dll"}));

    for (HMODULE module : {sfc, sfc, sfc, input, other}) EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(sim::LoadedModuleCount(), 0);
    EXPECT_FALSE(FreeLibrary(sfc));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    sim::RemoveSystemLibrary("sfc.dll");
    EXPECT_EQ(load("C:\\WINDOWS\\SYSTEM32\\sfc.dll"), nullptr);
    sim::Reset();
    const HMODULE again = load("sfc.dll");
    EXPECT_NE(again, nullptr);
    FreeLibrary(again);
}

// From a call's entry to its return the machine's work is its own, argument
// copies, hooks and all: only what the caller allocates counts as the caller's.
TEST_F(SimMachineTest, AllocationsWhileServingACallAreTheMachines)
{
    const std::string longName(100, 'k');  // far past any short-string buffer
    const std::string keyPath = "Keyboard Layout\\" + longName;
    const std::string profile = "C:\\" + longName + ".ini";
    sim::CreateKey(HKEY_CURRENT_USER, keyPath);
    sim::PutFile(profile, "[" + longName + "]\r\n" + longName + "=" + longName + "\r\n");
    bool servingInHook = false;
    sim::BeforeEachCall("RegOpenKeyExA", [&servingInHook](int) { servingInHook = sim::ServingACall(); });
    HKEY key = nullptr;
    char text[8];

    allocation_fault::FailToolAllocationNumber(0);
    const LSTATUS opened = RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key);
    GetPrivateProfileStringA(longName.c_str(), longName.c_str(), longName.c_str(), text, sizeof text, profile.c_str());
    const int byTheMachine = allocation_fault::ToolAllocationCount();
    const std::string callersOwn(100, 'c');
    const int withTheCallers = allocation_fault::ToolAllocationCount();
    allocation_fault::Disarm();
    RegCloseKey(key);

    EXPECT_EQ(opened, ERROR_SUCCESS);
    EXPECT_STREQ(text, "kkkkkkk");
    EXPECT_TRUE(servingInHook);
    EXPECT_FALSE(sim::ServingACall());
    EXPECT_EQ(byTheMachine, 0);
    EXPECT_EQ(withTheCallers, 1);  // the caller's own is counted
}

}  // namespace

namespace {

// The dump the checker is held to ("changed nothing"): each lasting change
// a run could make shows in it, and reading alone does not.
TEST_F(SimMachineTest, DumpShowsEveryLastingChange)
{
    const struct {
        const char* change;
        void (*make)();
    } changes[] = {
        {"contents", [] { sim::PutFile("C:\\IMEPKG\\a.ime", "y"); }},
        {"attributes", [] { SetFileAttributesA("C:\\IMEPKG\\a.ime", FILE_ATTRIBUTE_HIDDEN); }},
        {"time", [] { sim::SetLastWriteTime("C:\\IMEPKG\\a.ime", sim::MakeFileTime(2020, 1, 1)); }},
        {"a deletion", [] { DeleteFileA("C:\\IMEPKG\\a.ime"); }},
        {"a folder", [] { CreateDirectoryA("C:\\IMEPKG\\sub", nullptr); }},
        {"a value", [] { sim::SetString(HKEY_CURRENT_USER, "Keyboard Layout\\Preload", "1", "00000409"); }},
        {"a key", [] { sim::CreateKey(HKEY_LOCAL_MACHINE, "Software\\New"); }},
        {"a layout unloaded", [] { UnloadKeyboardLayout(reinterpret_cast<HKL>(static_cast<LONG_PTR>(0x08040804))); }},
        {"a box", [] { MessageBoxA(nullptr, "x", "y", MB_OK); }},
    };
    for (const auto& row : changes) {
        sim::Reset();
        sim::PutFile("C:\\IMEPKG\\a.ime", "x");
        sim::QueueAnswer(IDOK);
        const std::string before = sim::DumpMachine();
        char buffer[8];
        GetPrivateProfileStringA("s", "k", "", buffer, sizeof buffer, "C:\\IMEPKG\\a.ime");
        EXPECT_EQ(sim::DumpMachine(), before) << "reading changed the dump";
        row.make();
        EXPECT_NE(sim::DumpMachine(), before) << row.change << " does not show";
    }
}

}  // namespace
