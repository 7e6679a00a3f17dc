// The MB file's content: a code table is data, so an MB file that is a
// program, or the IME file over again, is a package put together wrongly.
#pragma once

struct PackageFacts;

struct MbFileContent {
    bool PeImage = false;        // it is a Windows image (a PE file)
    bool SameAsImeFile = false;  // byte for byte the IME file, though another file
};

MbFileContent LookAtMbFile(const PackageFacts& facts);
