// The keyboard layouts already registered for an IME file on this machine,
// read (never written) from the machine-wide layout list as the input method
// manager reads it when it registers the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RegisteredLayout {
    std::string KeyName;          // "E0200804"
    std::uint16_t Language = 0;   // its last four hexadecimal digits
};

// The IME layouts (keys "E...") whose "Ime File" value is the file name,
// case aside. Values holding a folder are no registration of a bare name.
std::vector<RegisteredLayout> LayoutsOfImeFile(const std::string& fileName);
