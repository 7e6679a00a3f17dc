// The sample IME package that host tests install and remove: where it stands,
// what its files hold, and the registry keys the tool works on (paths below
// their roots, as the simulated machine's control takes them).
#pragma once

#include <string>

#include "package_checker/pe_image_builder.h"
#include "platform/sim/machine.h"

namespace ime_package {

inline constexpr char kPackageDir[] = "C:\\IMEPKG";
inline constexpr char kSystemDir[] = "C:\\WINDOWS\\SYSTEM32";
inline constexpr char kLayoutList[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts";
inline constexpr char kPreload[] = "Keyboard Layout\\Preload";
inline constexpr char kDisplayName[] = "\xB2\xE2\xCA\xD4\xCA\xE4\xC8\xEB\xB7\xA8";  // GBK display name

// Contents of the package's files ("new") and of an earlier installation
// ("old"). The IME files are input method modules as an author ships them,
// with the version resource the input method manager asks for.
inline const std::string kNewIme = test_images::ImeModule(test_images::kX64, "Test IME, new");
inline constexpr char kNewMb[] = "code table, new";
inline const std::string kOldIme = test_images::ImeModule(test_images::kX64, "Test IME, old");
inline constexpr char kOldMb[] = "code table, old";

// The names setup.log gives the two files.
inline constexpr char kImeName[] = "MyIme.ime";
inline constexpr char kMbName[] = "MyIme.mb";

// The package as it is unpacked: setup.log naming both files and the display
// name, the two files beside it. The package folder becomes the current
// directory and kSystemDir the system directory.
inline void PutPackageFiles()
{
    sim::SetCurrentDirectory(kPackageDir);
    sim::SetSystemDirectory(kSystemDir);
    const std::string package = kPackageDir;
    sim::PutFile(package + "\\setup.log", std::string("[ImePram]\r\nImeFile=") + kImeName + "\r\nMbFile=" + kMbName +
                                              "\r\nImeName=" + kDisplayName + "\r\n");
    sim::PutFile(package + "\\" + kImeName, kNewIme);
    sim::PutFile(package + "\\" + kMbName, kNewMb);
}

}  // namespace ime_package
