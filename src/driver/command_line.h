// Splitting the process command line into the tool's arguments.
#pragma once

#include <string>
#include <vector>

// The arguments after the program's own name. The text is read one character
// at a time in the ANSI code page, so a double-byte character is never split:
// arguments are separated by runs of bytes 1 to 32; a stretch in double quotes
// belongs to one argument and loses its quotes; an empty "" where an argument
// would begin is skipped; a backslash is an ordinary character. The list ends
// at the end of the text (an unclosed quote with nothing after it adds nothing).
std::vector<std::string> SplitCommandLine(const std::string& text);

// The same rules over a line in UTF-8 (the wide command line, converted).
std::vector<std::string> SplitUtf8CommandLine(const std::string& text);
