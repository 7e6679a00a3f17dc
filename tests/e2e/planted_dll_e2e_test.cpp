// DLL planting: the program runs elevated, often from a download folder where
// other files lie. Copies of a DLL that records being loaded are put into the
// package folder under the name of every DLL the program loads after it
// starts; the program must show its usual boxes and load none of them. The
// canary, a program without the defence started the same way from the same
// folder, loads them, so the test can see the attack.
#include "common/wine_deviation.h"
#include "expected_texts.h"
#include "gbk_text.h"
#include "tool_case.h"

#include <cctype>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace e2e {
namespace {

// The DLLs the program loads after its entry point, measured under Wine 8
// with WINEDEBUG=+loaddll (installation, reinstall question and removal load
// the same ones, the x64 build and the x86 one under WoW64 alike): Wine's
// display driver, the themed box with Common Controls 6 and what they bring
// in; and dwmapi.dll, which the program loads itself for Windows. The DLLs
// loaded before the entry point (the program's imports and theirs) are not
// here: nothing the program does can change those.
const char* const kPlantedNames[] = {
    "winex11.drv", "uxtheme.dll", "comctl32.dll", "msimg32.dll",
    "rpcrt4.dll",  "combase.dll", "ole32.dll",    "dwmapi.dll",
    // Not loaded by the program at all where the system has none (Wine, XP);
    // elsewhere only by its path in the system directory.
    "input.dll",
};

constexpr char kMarkerName[] = "planted-loads.txt";
constexpr DWORD kCanaryTimeoutMs = 60000;

std::string Lower(std::string text)
{
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string FileName(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct PlantedLoad {
    std::string dll;      // file name, lower case
    std::string program;  // file name, lower case
};

// The loads the planted copies recorded, in order.
std::vector<PlantedLoad> RecordedLoads(const std::string& marker)
{
    std::vector<PlantedLoad> loads;
    std::istringstream lines(ReadBytes(marker).value_or(""));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        loads.push_back({Lower(FileName(line.substr(0, tab))), Lower(FileName(line.substr(tab + 1)))});
    }
    return loads;
}

std::string DescribeLoads(const std::vector<PlantedLoad>& loads)
{
    std::string text;
    for (const PlantedLoad& load : loads) text += " " + load.dll + " (into " + load.program + ")";
    return text.empty() ? " none" : text;
}

// The names Windows always takes from the system directory (KnownDLLs), lower case.
std::set<std::string> KnownDlls()
{
    std::set<std::string> names;
    const auto key = TakeSnapshot(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager\\KnownDLLs");
    if (!key) return names;
    for (const KeySnapshot::Value& value : key->values)
        if (value.type == REG_SZ) names.insert(Lower(std::string(value.data.c_str())));
    return names;
}

// Wine's load order preferring a DLL's native copy from the program's folder
// for these names, as Windows does for every DLL that is not a KnownDLL, in
// the programs of this name while the object lives. Wine reads it from the
// registry at each start (a WINEDLLOVERRIDES set here would not reach them).
class NativeFirst {
public:
    explicit NativeFirst(const std::string& exeName)
        : path_("Software\\Wine\\AppDefaults\\" + exeName + "\\DllOverrides"),
          saved_(TakeSnapshot(HKEY_CURRENT_USER, path_))
    {
        for (const char* name : kPlantedNames) {
            std::string module = name;
            const size_t dll = Lower(module).rfind(".dll");
            if (dll != std::string::npos && dll + 4 == module.size()) module.resize(dll);
            SetText(HKEY_CURRENT_USER, path_, module, "native,builtin");
        }
    }
    ~NativeFirst() { RestoreSnapshot(HKEY_CURRENT_USER, path_, saved_); }
    NativeFirst(const NativeFirst&) = delete;
    NativeFirst& operator=(const NativeFirst&) = delete;

private:
    std::string path_;
    std::optional<KeySnapshot> saved_;
};

class PlantedDlls : public ToolCase {
protected:
    void SetUp() override
    {
        ToolCase::SetUp();
        if (HasFatalFailure()) return;
        const std::string planted = SuiteFolder() + "\\planted.dll";
        const std::string canary = SuiteFolder() + "\\undefended_loader.exe";
        ASSERT_TRUE(IsFile(planted)) << planted;
        ASSERT_TRUE(IsFile(canary)) << canary;
        // As shipped: the program in the package folder.
        ASSERT_TRUE(CopyFileA(ToolPath().c_str(), PackagePath("imesetup.exe").c_str(), FALSE));
        ASSERT_TRUE(CopyFileA(canary.c_str(), PackagePath("undefended_loader.exe").c_str(), FALSE));
        for (const char* name : kPlantedNames)
            ASSERT_TRUE(CopyFileA(planted.c_str(), PackagePath(name).c_str(), FALSE)) << name;
    }

    std::vector<PlantedLoad> TakeRecordedLoads()
    {
        const std::string marker = PackagePath(kMarkerName);
        std::vector<PlantedLoad> loads = RecordedLoads(marker);
        RemovePath(marker);
        return loads;
    }

    NativeFirst programNativeFirst_{"imesetup.exe"};
    NativeFirst canaryNativeFirst_{"undefended_loader.exe"};
};

TEST_F(PlantedDlls, TheProgramLoadsNoneWhereAProgramWithoutTheDefenceLoadsThem)
{
    // The canary: every planted name it loads by name comes from the folder,
    // except KnownDLLs, which Windows takes from the system directory. Wine
    // has no KnownDLLs: it takes them all from the folder.
    std::string commandLine = "\"" + PackagePath("undefended_loader.exe") + "\"";
    for (const char* name : kPlantedNames) commandLine += std::string(" ") + name;
    const ProgramRun canary = RunProgram({PackagePath("undefended_loader.exe"), commandLine, packageDir_},
                                         [](const MessageBoxView& box, size_t) { return DismissButton(box); },
                                         kCanaryTimeoutMs);
    ASSERT_TRUE(canary.started && canary.ended);
    const std::set<std::string> known = KnownDlls();
    if (RunningOnWine() && known.empty())
        ReportWineDeviation("no KnownDLLs: rpcrt4, combase and ole32 are taken from the program's folder");
    std::set<std::string> expected;
    for (const char* name : kPlantedNames)
        if (!known.count(name)) expected.insert(name);
    const std::vector<PlantedLoad> canaryLoads = TakeRecordedLoads();
    std::set<std::string> loadedByCanary;
    for (const PlantedLoad& load : canaryLoads)
        if (load.program == "undefended_loader.exe") loadedByCanary.insert(load.dll);
    EXPECT_EQ(loadedByCanary, expected) << "recorded:" << DescribeLoads(canaryLoads);

    // The program itself, from the same folder: the usual installation and
    // removal, and not one planted copy loaded.
    const std::string program = PackagePath("imesetup.exe");
    RunCopy(program, "/inst", {Outcome(Gbk(texts::kInstallSucceeded))});
    EXPECT_TRUE(IsFile(InstalledIme()));
    EXPECT_TRUE(IsFile(InstalledMb()));
    const std::vector<PlantedLoad> installLoads = TakeRecordedLoads();
    EXPECT_TRUE(installLoads.empty()) << "loaded from the package folder:" << DescribeLoads(installLoads);

    RunCopy(program, "/uninst", {Outcome(Gbk(texts::kUninstallSucceeded))});
    EXPECT_FALSE(IsFile(InstalledIme()));
    const std::vector<PlantedLoad> removalLoads = TakeRecordedLoads();
    EXPECT_TRUE(removalLoads.empty()) << "loaded from the package folder:" << DescribeLoads(removalLoads);
}

}  // namespace
}  // namespace e2e
