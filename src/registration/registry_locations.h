// The registry keys the registration operations use, as absolute paths (the
// leading backslash makes TRegistry resolve them from the selected root).
#pragma once

namespace RegistryLocations {

// Under HKEY_LOCAL_MACHINE; a layout's own key is this text followed by its HklText.
inline constexpr char LayoutList[] = "\\System\\CurrentControlSet\\Control\\Keyboard Layouts\\";

// Under HKEY_CURRENT_USER; entry n is named by the decimal text of n.
inline constexpr char Preload[] = "\\Keyboard Layout\\Preload\\";

// The preload list is read no further than this entry.
inline constexpr int PreloadLastEntry = 100;

}  // namespace RegistryLocations
