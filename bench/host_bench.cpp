// Host benchmarks on the simulated machine. The times are the simulated
// machine's plus the tool's; the counter platform_calls is the number of
// Win32 calls one operation makes, which is what carries over to Windows.
// The package checker on the crafted image at 64 MiB as well.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "common/ime_package_sim.h"
#include "package_checker/checker.h"
#include "package_checker/crafted_image.h"
#include "setup_program/program.h"
#include "registration/registration.h"
#include "registry/my_registry.h"
#include "sweep_machine.h"

namespace {

using namespace hardening;

constexpr int kEntries = 100;

// 100 entries, the layout at position matchAt (none when 0).
std::vector<std::string> PreloadWithMatchAt(int matchAt)
{
    std::vector<std::string> texts;
    for (int n = 1; n <= kEntries; ++n) texts.push_back(n == matchAt ? kLayoutName : "00000409");
    return texts;
}

// args: form (0 values, 1 sub-keys), position of the match (0: none).
void BM_RemoveFromPreload(benchmark::State& state)
{
    const sim::Family family = state.range(0) == 0 ? sim::Family::NT : sim::Family::Win9x;
    const int matchAt = static_cast<int>(state.range(1));
    int calls = 0;
    for (auto _ : state) {
        state.PauseTiming();
        sim::Reset();
        sim::SetFamily(family);
        SetPreload(family, PreloadWithMatchAt(matchAt));
        MyRegistry::StartModule();
        {
            MyRegistry::TRegistry preload;
            preload.SelectRoot(HKEY_CURRENT_USER);
            if (!preload.OpenKey("\\Keyboard Layout\\Preload\\", false)) state.SkipWithError("no preload list");
            const int before = sim::CallCount();
            state.ResumeTiming();

            benchmark::DoNotOptimize(RemoveFromPreload(preload, kLayoutName));

            state.PauseTiming();
            calls = sim::CallCount() - before;
        }
        state.ResumeTiming();
    }
    state.counters["platform_calls"] = calls;
}
BENCHMARK(BM_RemoveFromPreload)
    ->ArgNames({"subkeys", "match_at"})
    ->Args({0, 1})
    ->Args({0, 100})
    ->Args({0, 0})
    ->Args({1, 1})
    ->Args({1, 100})
    ->Args({1, 0})
    ->Unit(benchmark::kMicrosecond);

// The whole program, from module start to the outcome box, after arrange().
template <typename Arrange>
void RunWholeProgram(benchmark::State& state, Arrange arrange, const char* commandLine)
{
    int calls = 0;
    for (auto _ : state) {
        state.PauseTiming();
        PutPackage();
        arrange();
        sim::SetCommandLine(commandLine);
        sim::QueueAnswer(IDOK);
        const int before = sim::CallCount();
        state.ResumeTiming();

        benchmark::DoNotOptimize(RunProgram());

        state.PauseTiming();
        calls = sim::CallCount() - before;
        if (sim::MessageBoxes().size() != 1) state.SkipWithError("the run did not end with one box");
        state.ResumeTiming();
    }
    state.counters["platform_calls"] = calls;
}

void BM_Install(benchmark::State& state)
{
    RunWholeProgram(state, [] {}, "imesetup.exe /inst");
}
BENCHMARK(BM_Install)->Unit(benchmark::kMicrosecond);

void BM_Remove(benchmark::State& state)
{
    RunWholeProgram(
        state,
        [] {
            PutInstalledIme();
            SetPreload(sim::Family::NT, {"00000804", kLayoutName, "00000409"});
        },
        "imesetup.exe /uninst");
}
BENCHMARK(BM_Remove)->Unit(benchmark::kMicrosecond);

// The whole checker on a package whose IME file is the crafted image at the
// checker's former read limit (64 MiB): the readers' work must follow the structures, not the file's size.
void BM_CheckCraftedImage(benchmark::State& state)
{
    const std::string image = test_images::CraftedImage(64ULL << 20);
    for (auto _ : state) {
        state.PauseTiming();
        sim::Reset();
        ime_package::PutPackageFiles();
        sim::PutFile(std::string(ime_package::kPackageDir) + "\\" + ime_package::kImeName, image);
        state.ResumeTiming();

        const int status = RunChecker("imecheck.exe", [](const std::string&) {});

        if (status != 0) state.SkipWithError("the crafted image was not judged a sound IME file");
    }
    state.counters["bytes"] = static_cast<double>(image.size());
}
BENCHMARK(BM_CheckCraftedImage)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
