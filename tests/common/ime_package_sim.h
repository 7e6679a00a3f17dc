// The sample IME package that host tests install and remove: where it stands,
// what its files hold, and the registry keys the tool works on (paths below
// their roots, as the simulated machine's control takes them).
#pragma once

namespace ime_package {

inline constexpr char kPackageDir[] = "C:\\IMEPKG";
inline constexpr char kSystemDir[] = "C:\\WINDOWS\\SYSTEM32";
inline constexpr char kLayoutList[] = "System\\CurrentControlSet\\Control\\Keyboard Layouts";
inline constexpr char kPreload[] = "Keyboard Layout\\Preload";
inline constexpr char kDisplayName[] = "\xB2\xE2\xCA\xD4\xCA\xE4\xC8\xEB\xB7\xA8";  // GBK display name

// Contents of the package's files ("new") and of an earlier installation ("old").
inline constexpr char kNewIme[] = "ime module, new";
inline constexpr char kNewMb[] = "code table, new";
inline constexpr char kOldIme[] = "ime module, old";
inline constexpr char kOldMb[] = "code table, old";

}  // namespace ime_package
