// What the installation's copies would land on and what the removal would
// delete: the files already at the installed paths, whether they are this
// package's, and whether Windows protects them.
#pragma once

struct PackageFacts;

struct InstalledFileState {
    bool Present = false;         // a file stands at the installed path
    bool Protected = false;       // Windows Resource Protection keeps it
    bool PackageContent = false;  // byte for byte the package's file of that key
};

struct InstalledFiles {
    InstalledFileState Ime;
    InstalledFileState Mb;
    // SfcIsFileProtected gave answers here; otherwise the checker's own list
    // of the system's files stood in (Wine's sfc.dll says no to every file).
    bool ProtectionAsked = false;
};

// Looks at the installed paths the setup program built.
InstalledFiles LookAtInstalledFiles(const PackageFacts& facts);
