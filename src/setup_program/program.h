// The composition root: the whole program as the entry point runs it.
#pragma once

// The registry module's start, then one setup run with the real registration
// operations; returns the process exit status. Nothing it throws escapes.
int RunProgram();
