// Every text the registration operations return or show, in one place.
// Chinese texts are code page 936 (GBK) bytes; the English ones are ASCII.
#pragma once

#include <string>

#include "driver/setup_caption.h"

namespace OutcomeTexts {

// The question box carries the same caption as the driver's outcome box.
using ::SetupCaption;

// ---- Installation ----
extern const char InstallNoRights[];   // also uninstallation's rights failure
extern const char AlreadyInstalled[];  // the reinstall question, and an outcome
extern const char InstallCancelled[];
extern const char ImeFileLocked[];
extern const char CopyErrorSuffix[];   // follows the source name as setup.log wrote it
extern const char CopyFilesException[];
extern const char ActivationFailed[];
extern const char InstallSucceeded[];

// ---- Uninstallation ----
extern const char NotInstalled[];
extern const char HklNotFound[];
extern const char PreloadOpenFailed[];
extern const char UnregisterFailed[];
extern const char FilesLocked[];
extern const char UninstallSucceeded[];

// True for a copy failure: the source name as setup.log wrote it, then
// CopyErrorSuffix. No fixed text ends with that suffix.
bool StartsWithFileName(const std::string& outcome);

}  // namespace OutcomeTexts
