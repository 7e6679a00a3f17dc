// A simulated machine with an IME package in C:\IMEPKG, the states the sweeps
// start from, and a snapshot of everything an installation or a removal may
// change. Host only (header used by *_sim_test.cpp files).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/ime_package_sim.h"
#include "platform/sim/machine.h"

namespace hardening {

using namespace ime_package;

// The layout an installed IME has in these machines, and its key name.
inline constexpr unsigned kLayout = 0xE0200804u;
inline constexpr char kLayoutName[] = "E0200804";

inline std::string InstalledImePath() { return std::string(kSystemDir) + "\\" + kImeName; }
inline std::string InstalledMbPath() { return std::string(kSystemDir) + "\\" + kMbName; }
inline std::string LayoutKeyPath() { return std::string(kLayoutList) + "\\" + kLayoutName; }
inline HKL LayoutHandle()
{
    return reinterpret_cast<HKL>(static_cast<LONG_PTR>(static_cast<LONG>(kLayout)));
}

// A clean machine (sim::Reset) with the package: setup.log naming both files
// and the display name, and the two files beside it. Current directory is the package.
void PutPackage();

// The IME as an earlier installation left it: both files in the system
// directory, its layout key (with a sub-key of its own, one with a
// double-byte name) and the layout loaded.
void PutInstalledIme();

// The preload list, in the form of the machine's family: numbered values of
// the Preload key (NT) or numbered sub-keys whose default value is the text (9x).
void SetPreload(sim::Family family, const std::vector<std::string>& texts);

// The numbered preload entries in the machine's form.
struct PreloadList {
    std::vector<std::string> texts;  // entries 1, 2, ... up to the first missing number
    std::vector<int> numbers;        // every numbered entry present, in ascending order
    bool Gapless() const;            // numbers are exactly 1..texts.size()
};
PreloadList ReadPreload(sim::Family family);

// Everything the two operations may change.
struct MachineState {
    std::optional<std::string> ime;  // installed files' contents, none when missing
    std::optional<std::string> mb;
    std::string layouts;  // the layout list's whole tree, as text
    PreloadList preload;
    std::string preloadTree;  // the Preload key's whole tree, as text
    bool loaded = false;      // the IME's layout is loaded
};
MachineState Snapshot(sim::Family family);

// The key's tree as text, one line per key and value, for comparing and printing.
std::string DumpTree(HKEY root, const std::string& path);

// Everything the preload edit must leave alone: both registry roots without
// the Preload key's tree, the installed files and whether the layout is loaded.
std::string DumpOutsidePreload();

// Every layout text stored under the Preload key in the machine's form,
// numbered or not, behind a gap or not: NT every value's text, 9x every
// sub-key's default value.
std::vector<std::string> StoredPreloadTexts(sim::Family family);

// Layout keys whose "Ime File" names the IME.
std::vector<std::string> LayoutsOfIme();

// texts without the first entry that matches the layout's key name, compared
// with a-z upper-cased, as the removal matches.
std::vector<std::string> WithoutFirstMatch(std::vector<std::string> texts);

std::string Describe(const std::optional<std::string>& file);
std::string Join(const std::vector<std::string>& texts);

}  // namespace hardening
