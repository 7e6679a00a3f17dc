// What a machine whose ANSI code page is not 936 makes of setup.log's names.
// The program reads them byte for byte and hands them to the ANSI calls,
// which read them in the machine's page: a Chinese file name names another
// file there, and the layout gets the display name as that page reads it.
#pragma once

#include <vector>

#include "package_checker/bilingual.h"
#include "package_checker/package_facts.h"

// Nothing on a code page 936 machine, or for names in ASCII.
std::vector<Bilingual> FindCodePageNotes(const PackageFacts& facts);
