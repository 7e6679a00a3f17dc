// Reading and checking setup.log, the parameter file beside the IME's files.
#pragma once

#include "driver/setup_context.h"

// The file's name, joined to the current directory as plain text, and what the
// tool reads of it: one section, three keys. A key the reader does not find
// comes back as AbsentValue.
constexpr char SetupLogName[] = "setup.log";
constexpr char SetupLogSection[] = "ImePram";
constexpr char ImeFileKey[] = "ImeFile";
constexpr char MbFileKey[] = "MbFile";
constexpr char ImeNameKey[] = "ImeName";
constexpr char AbsentValue[] = "0";

// The check that stopped the reading, or Passed.
enum class SetupParameterCheck {
    NoCurrentDirectory,  // the platform cannot report the current directory
    NoSetupLog,          // setup.log is missing or a directory
    ImeFileNotFound,     // ImeFile names no file (FileExistsAt)
    MbFileNotFound,      // MbFile names no file
    NameIsZero,          // ImeName is "0": the key is missing, or says 0
    NameIsEmpty,         // ImeName is empty
    Passed,
};

// Fills ParamFilePath, ImeFileName, MbFileName and ImeDisplayName in this
// order, each check stopping before the next key is read, and says which
// check stopped it.
SetupParameterCheck CheckSetupParameters(SetupContext& context);

// True when every check passed; false when the run is to end without a word.
bool ReadSetupParameters(SetupContext& context);
