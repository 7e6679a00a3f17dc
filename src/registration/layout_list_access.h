#pragma once

// True when the machine-wide keyboard layout list opens with full access,
// that is, when the user may change it. Nothing is read or written there.
bool MayChangeLayoutList();
