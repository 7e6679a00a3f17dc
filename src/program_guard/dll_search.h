// Keeps DLLs that lie beside the program out of its process (Windows only).
#pragma once

#include <cstddef>

// Restricts every later DLL search to the system directory and loads from
// there, by full path, the DLLs the process is known to load later (laterLoads,
// count names, leaves first), so that no load by name (a dependency's
// included) can take a file of that name from the program's folder or the
// current directory. Call it first in the entry point, before anything that
// may load a DLL. Each program passes the list measured for it.
void RestrictDllSearch(const char* const* laterLoads, std::size_t count) noexcept;
