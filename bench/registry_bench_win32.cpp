// Tree erasing on the real registry: the registry key object's EraseKey
// beside the platform's own RegDeleteTreeA, on identical trees built afresh
// for every run, in the same process. Timed with QueryPerformanceCounter and
// printed in Google Benchmark's console layout (Debian has no MinGW build of
// Google Benchmark). Trees live below HKEY_CURRENT_USER\Software\imesetup-bench
// and are removed again.
//
//   registry_bench [repetitions]   (default 5)
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "wall_clock_win32.h"
#include "registry/my_registry.h"

namespace {

const char kBase[] = "Software\\imesetup-bench";
constexpr int kChildren = 100;       // 100 children of 99 grandchildren each:
constexpr int kGrandchildren = 99;   // 10,000 keys below the tree's own key
constexpr int kChainDepth = 512;

struct Sample {
    double wall = 0;  // seconds
    double cpu = 0;   // this process only: under Wine the server's share is not in it
};

double CpuNow()
{
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](const FILETIME& t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

bool Create(HKEY parent, const std::string& name, HKEY& key)
{
    return RegCreateKeyExA(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                           nullptr) == ERROR_SUCCESS;
}

std::string Path(const std::string& name) { return std::string(kBase) + "\\" + name; }

bool Exists(const std::string& name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, Path(name).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// The tree's key with 10,000 keys below it, each holding one small value.
int BuildTree(const std::string& name)
{
    HKEY top;
    if (!Create(HKEY_CURRENT_USER, Path(name), top)) return 0;
    int keys = 0;
    const char data[] = "00000409";
    for (int i = 0; i < kChildren; ++i) {
        HKEY child;
        if (!Create(top, "Child" + std::to_string(i), child)) break;
        ++keys;
        RegSetValueExA(child, "Layout", 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof data);
        for (int j = 0; j < kGrandchildren; ++j) {
            HKEY grandchild;
            if (!Create(child, "Grandchild" + std::to_string(j), grandchild)) break;
            ++keys;
            RegSetValueExA(grandchild, "Layout", 0, REG_SZ, reinterpret_cast<const BYTE*>(data), sizeof data);
            RegCloseKey(grandchild);
        }
        RegCloseKey(child);
    }
    RegCloseKey(top);
    return keys;
}

// The chain's key with keys nested below it, one in each, as deep as the
// registry lets them go up to 512 levels; the depth reached.
int BuildChain(const std::string& name)
{
    HKEY key;
    if (!Create(HKEY_CURRENT_USER, Path(name), key)) return 0;
    int depth = 0;
    while (depth < kChainDepth) {
        HKEY next;
        if (!Create(key, "L", next)) break;
        RegCloseKey(key);
        key = next;
        ++depth;
    }
    RegCloseKey(key);
    return depth;
}

template <typename Erase>
Sample Time(Erase erase, bool& ok)
{
    const double cpu = CpuNow();
    const double wall = WallSeconds();
    ok = erase();
    return Sample{WallSeconds() - wall, CpuNow() - cpu};
}

bool EraseWithObject(const std::string& name)
{
    MyRegistry::TRegistry registry;  // root HKEY_CURRENT_USER
    return registry.EraseKey("\\" + Path(name));
}

bool EraseWithPlatform(const std::string& name)
{
    return RegDeleteTreeA(HKEY_CURRENT_USER, Path(name).c_str()) == ERROR_SUCCESS;
}

struct Result {
    explicit Result(const char* benchmark, const char* unit = "keys") : name(benchmark), sizeName(unit) {}

    std::string name;
    std::vector<Sample> samples;
    int size = 0;  // keys below the erased key, or levels
    const char* sizeName = "keys";
    bool ok = true;

    double Median(double Sample::*field) const
    {
        std::vector<double> values;
        for (const Sample& s : samples) values.push_back(s.*field);
        std::sort(values.begin(), values.end());
        return values.empty() ? 0 : values[values.size() / 2];
    }
};

// Each repetition builds two identical trees and erases one with each
// method, the order alternating so that neither always runs second.
void Compare(int (*build)(const std::string&), int repetitions, Result& object, Result& platform)
{
    for (int r = 0; r < repetitions; ++r) {
        const int objectSize = build("ByObject");
        const int platformSize = build("ByPlatform");
        object.size = objectSize;
        platform.size = platformSize;
        bool objectOk = false, platformOk = false;
        auto byObject = [&] { object.samples.push_back(Time([] { return EraseWithObject("ByObject"); }, objectOk)); };
        auto byPlatform = [&] {
            platform.samples.push_back(Time([] { return EraseWithPlatform("ByPlatform"); }, platformOk));
        };
        if (r % 2 == 0) {
            byObject();
            byPlatform();
        } else {
            byPlatform();
            byObject();
        }
        object.ok = object.ok && objectOk && !Exists("ByObject");
        platform.ok = platform.ok && platformOk && !Exists("ByPlatform");
        if (Exists("ByObject")) EraseWithPlatform("ByObject");
        if (Exists("ByPlatform")) EraseWithPlatform("ByPlatform");
    }
}

void Print(const Result& r)
{
    std::printf("%-34s %10.2f ms %10.2f ms %12zu %s=%d%s\n", r.name.c_str(), r.Median(&Sample::wall) * 1e3,
                r.Median(&Sample::cpu) * 1e3, r.samples.size(), r.sizeName, r.size,
                r.ok ? "" : " ERROR: the key was not erased");
}

}  // namespace

int main(int argc, char** argv)
{
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    MyRegistry::StartModule();
    RegDeleteTreeA(HKEY_CURRENT_USER, kBase);  // what an interrupted run left

    Result treeObject("BM_EraseKey/tree_10000"), treePlatform("BM_RegDeleteTreeA/tree_10000");
    Result chainObject("BM_EraseKey/chain_512", "levels"), chainPlatform("BM_RegDeleteTreeA/chain_512", "levels");
    Compare(BuildTree, repetitions, treeObject, treePlatform);
    Compare(BuildChain, repetitions, chainObject, chainPlatform);
    RegDeleteTreeA(HKEY_CURRENT_USER, kBase);

    std::printf("%-34s %13s %13s %12s\n", "Benchmark", "Time", "CPU", "Iterations");
    std::printf("%s\n", std::string(80, '-').c_str());
    for (const Result* r : {&treeObject, &treePlatform, &chainObject, &chainPlatform}) Print(*r);
    std::printf("\nTime is the median over the iterations; CPU is this process only.\n");
    std::printf("EraseKey / RegDeleteTreeA: tree %.2fx, chain %.2fx\n",
                treeObject.Median(&Sample::wall) / treePlatform.Median(&Sample::wall),
                chainObject.Median(&Sample::wall) / chainPlatform.Median(&Sample::wall));
    const bool ok = treeObject.ok && treePlatform.ok && chainObject.ok && chainPlatform.ok;
    return ok ? 0 : 1;
}
