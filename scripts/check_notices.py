#!/usr/bin/env python3
"""Checks the release's third-party notices against the programs' link maps.

    check_notices.py NOTICES MAP...

From each GNU ld map (PROGRAM.exe.map) it takes the input files that put at
least one byte into the program: the sections listed under "Linker script and
memory map" with a size above zero (what --gc-sections discarded is listed
before that part and does not count). The project's own objects and archives
(CMakeFiles/..., libimesetup_*.a) are left out; every other library or object
file must be named, by its file name, in NOTICES.

NOTICES quotes license texts from Debian's copyright files: a line
"From /usr/share/doc/PACKAGE/copyright[ and ...]:" followed by lines indented
by four spaces (blank lines within it included). Each quoted block must still be, line for line, in every
copyright file its line names, so that the notices follow the packages the
programs are built with.

Prints, for each map, the libraries found with the bytes each put into the
program, and what fails; exits 1 on any failure.
"""
import os
import re
import sys

# An input section: its name (alone on the line before when it is long), its
# address, its size and the file it came from, "archive(member)" for a
# library member.
SECTION = re.compile(r"^ (?P<name>\S+)?\s+0x[0-9a-f]+\s+0x(?P<size>[0-9a-f]+)\s+(?P<file>\S+)$")
OWN = re.compile(r"^(CMakeFiles/|libimesetup_[a-z_]+\.a\()")
FROM = re.compile(r"^From (?P<paths>/\S+/copyright(?: and /\S+/copyright)*):$")


def linked_libraries(map_text):
    """Library (or object) file path -> bytes it put into the program."""
    start = map_text.find("\nLinker script and memory map\n")
    if start < 0:
        raise ValueError("no memory map in the link map")
    libraries = {}
    for line in map_text[start:].splitlines():
        match = SECTION.match(line)
        if not match or int(match["size"], 16) == 0:
            continue
        file = match["file"]
        # Linker-made parts ("dll stuff", "LONG 0x0") name no file.
        if "/" not in file and not file.endswith((".a", ".o", ".obj")) and "(" not in file:
            continue
        if OWN.match(file):
            continue
        library = re.sub(r"\(.*\)$", "", file)
        if library.startswith("/"):
            library = os.path.normpath(library)
        libraries[library] = libraries.get(library, 0) + int(match["size"], 16)
    return libraries


def quoted_blocks(notices_text):
    """(copyright file paths, quoted lines) for each quotation."""
    blocks = []
    lines = notices_text.splitlines()
    i = 0
    while i < len(lines):
        match = FROM.match(lines[i])
        i += 1
        if not match:
            continue
        while i < len(lines) and lines[i] == "":
            i += 1
        quoted = []
        # A blank line belongs to the quotation when the next line does.
        while i < len(lines) and (lines[i].startswith("    ") or
                                  (lines[i] == "" and i + 1 < len(lines) and lines[i + 1].startswith("    "))):
            quoted.append(lines[i][4:])
            i += 1
        blocks.append((match["paths"].split(" and "), quoted))
    return blocks


def main(argv):
    if len(argv) < 3:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    notices_path, maps = argv[1], argv[2:]
    with open(notices_path, encoding="utf-8") as f:
        notices = f.read()
    failures = []
    for map_path in maps:
        with open(map_path, encoding="utf-8", errors="replace") as f:
            libraries = linked_libraries(f.read())
        print(f"{map_path}:")
        if not libraries:
            failures.append(f"{map_path}: no library found in the memory map")
        for library, size in sorted(libraries.items()):
            name = os.path.basename(library)
            named = re.search(r"(?<![\w.+-])" + re.escape(name) + r"(?![\w+-])", notices) is not None
            print(f"  {size:8d} bytes  {library}{'' if named else '   NOT IN THE NOTICES'}")
            if not named:
                failures.append(f"{map_path}: {name} ({library}) is not named in {notices_path}")
    blocks = quoted_blocks(notices)
    if not blocks:
        failures.append(f"{notices_path}: no quotation from a copyright file")
    for paths, quoted in blocks:
        if not quoted:
            failures.append(f"{notices_path}: an empty quotation from {' and '.join(paths)}")
            continue
        for path in paths:
            try:
                with open(path, encoding="utf-8") as f:
                    source = f.read().splitlines()
            except OSError as error:
                failures.append(f"{notices_path}: cannot read {path}: {error}")
                continue
            found = any(source[k:k + len(quoted)] == quoted for k in range(len(source) - len(quoted) + 1))
            print(f"quotation of {len(quoted)} lines from {path}: {'found' if found else 'NOT FOUND'}")
            if not found:
                failures.append(f"{notices_path}: the quotation beginning '{quoted[0]}' is not in {path}")
    for failure in failures:
        print(f"FAIL: {failure}")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
