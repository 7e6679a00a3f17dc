// The checker's judging, one subject to a file, and what they share. Each
// adds its findings to the list in the report's order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "package_checker/package_findings.h"

// setup.log's encoding: the problems, and the note on bytes either reading fits.
void JudgeParameterFile(const PackageFacts& facts, std::vector<Finding>& findings);

// The named files' times on Windows (judged before their names).
void JudgeFileTimes(const PackageFacts& facts, std::vector<Finding>& findings);

// One key's file: its name, its attributes.
void JudgeNamedFile(const PackageFacts& facts, const ParameterReading& reading, std::vector<Finding>& findings);

// ImeFile and MbFile naming one file; the installed files' attributes.
void JudgeSameFile(const PackageFacts& facts, std::vector<Finding>& findings);
void JudgeInstalledFiles(const PackageFacts& facts, std::vector<Finding>& findings);

// What stands at the installed paths: files not this package's, files
// Windows protects.
void JudgeInstalledPaths(const PackageFacts& facts, std::vector<Finding>& findings);

// The MB file's content: a Windows image, or the IME file's bytes.
void JudgeMbFileContent(const PackageFacts& facts, std::vector<Finding>& findings);

// The IME file as an image, and the setup programs beside it.
void JudgeImeImage(const PackageFacts& facts, std::vector<Finding>& findings);
void JudgeSignature(const PackageFacts& facts, std::vector<Finding>& findings);

// On 64-bit Windows, the other build's IME file of the same name, which
// programs of the other bitness load.
void JudgeTwin(const PackageFacts& facts, std::vector<Finding>& findings);

// The current user's own list of input methods: the removal's change to it
// for the IME's layouts, and the unavailable input methods it names.
void JudgeUserInputList(const PackageFacts& facts, std::vector<Finding>& findings);

// setup.log's names as a machine whose ANSI code page is not 936 reads them.
void JudgeCodePage(const PackageFacts& facts, std::vector<Finding>& findings);

// The input method manager's registration and the removal's layout.
void JudgeRegistration(const PackageFacts& facts, std::vector<Finding>& findings);

// The MB file's size and the DLLs in the folder.
void JudgeFolder(const PackageFacts& facts, std::vector<Finding>& findings);

bool ReadOnly(std::uint32_t attributes);
bool Hidden(std::uint32_t attributes);

// A last-write time the search found that Windows has no MS-DOS form for.
bool AfterDosTime(const FileStampLookup& lookup);

// The installation's copy of this file fails before the manager is called.
bool CopyFails(const ParameterReading& reading);

// "ImeFile" and the value as the report shows it.
Value KeyValue(const ParameterReading& reading);
Value ShownValue(const ParameterReading& reading);

// The copy's error text for a named file, as the setup program forms it.
std::string CopyErrorText(const std::string& value);
