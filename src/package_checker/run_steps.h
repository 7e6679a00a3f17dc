// What the setup program's steps meet on this machine: the installation's
// lock test and its two copies, the removal's preload list and its two
// deletions. The predictions of the runs are made from these.
#pragma once

#include <optional>

#include "package_checker/package_facts.h"
#include "package_checker/statement.h"

// The first of the installation's copies that fails, as a reason: which
// copy, the box's text and why.
// replacing: the installed IME file is there and the copy overwrites it.
std::optional<Statement> FirstFailingCopy(const PackageFacts& facts, bool replacing);

// Whether /inst's lock test opens the installed IME file for writing: a
// name with a wildcard is refused with another error than access denied or a
// sharing violation, and the installation then copies without asking.
bool LockTestOpensByName(const PackageFacts& facts);

// The two installed paths reach one file: the removal deletes it by the
// first and finds nothing by the second.
bool InstalledPathsReachOneFile(const PackageFacts& facts);

// Why the removal, given its layout, cannot delete the installed files: a
// read-only or protected file, a name with a wildcard (which DeleteFileA
// does not take, though the presence test found a match), one file by both
// paths. The IME file is deleted first: its failure is the one the run meets.
std::optional<Statement> DeletionFailure(const PackageFacts& facts);

// The removal, given a layout the manager already had, opens the preload
// list and ends when it is missing (a layout made now brings the key).
bool RemovalMissesPreloadList(const PackageFacts& facts);

// The current user's preload list can be opened (for reading: the removal
// opens it with full access, which only the user it runs as can tell).
bool PreloadListOpens();
