// Packages and machine states made from a string of bytes, for checking the
// checker against the setup program on the simulated machine: the same bytes
// always give the same machine. Every byte picks one choice (below 176, or
// past the end, the first: the package as its author means it, so that most
// cases change a few things, not everything), so a fuzzer's mutations move
// between neighbouring packages and a fixed-seed generator covers them all.
// Host only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace generated_package {

// What the bytes chose, each an index into the lists of
// generated_package_sim.cpp; Describe() names them.
struct Choices {
    // setup.log
    unsigned header = 0, secondSection = 0, order = 0, encoding = 0, lineEnd = 0, comment = 0;
    unsigned imeFile = 0, mbFile = 0, imeName = 0;
    unsigned imeFileForm = 0, mbFileForm = 0, imeNameForm = 0;  // plain, quoted, blanks, missing, twice
    // the named files
    unsigned imeContent = 0, mbContent = 0, imeAttributes = 0, mbAttributes = 0, times = 0, extraFiles = 0;
    // what the machine already holds
    unsigned installed = 0, installedAttributes = 0, otherIme = 0, preload = 0, system = 0;
};

Choices DecodeChoices(const std::uint8_t* data, size_t size);

// A clean machine (sim::Reset) set up as chosen; the package folder is the
// current directory. Building the same choices again gives the same machine.
void PutMachine(const Choices& choices);

// The setup.log bytes the choices give.
std::string SetupLogBytes(const Choices& choices);

// The choices in words, for a failure message.
std::string Describe(const Choices& choices);

// Files that no run may change or delete, by their full paths folded as the
// machine folds names: the package folder's and every file outside the
// system directory, and in it the files that are not this package's (another
// IME's, a file Windows protects). The installed files of an earlier install of this package are not
// among them.
bool MustSurvive(const Choices& choices, const std::string& foldedPath);

// The command lines each case is run with.
extern const char* const kCommandLines[3];  // none, /inst, /uninst

}  // namespace generated_package
