// The other build's IME file on 64-bit Windows. A program loads the IME file
// of its own bitness: 64-bit programs from System32, 32-bit ones from
// SysWOW64. An IME works in both kinds only when both builds are installed
// under one name, the 64-bit one in System32 and the 32-bit one in SysWOW64.
// The checker reads the other directory and changes nothing.
#pragma once

#include <optional>
#include <string>

#include "package_checker/pe_image.h"

struct TwinImage {
    bool Windows64 = false;      // this Windows is 64-bit: it has a SysWOW64
    std::string OtherDirectory;  // the other build's IME folder as this process reaches it
    std::string ShownDirectory;  // the same as users name it (System32 or SysWOW64)
    bool Found = false;          // a file of the IME file's name is there
    std::optional<PeHeaders> Headers;  // its headers, when it is an image
};

// Looks for the twin of the IME file `title` (its name without a folder),
// `imeMachine` its machine, with `systemDirectory` as GetSystemDirectoryA
// names it. A 32-bit process reaches System32 through its alias Sysnative
// (file calls on System32 land in SysWOW64); a 64-bit one asks for SysWOW64.
// Nothing when the machine or the directories cannot be told.
std::optional<TwinImage> LookForTwin(const std::string& systemDirectory, const std::string& title,
                                     PeMachine imeMachine);

// x64, or ARM64 on ARM: the bitness of System32's programs on 64-bit Windows.
bool Is64BitMachine(PeMachine machine);
