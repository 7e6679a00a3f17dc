#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into fuzz/corpus/<target>/.

The inputs follow each target's reading order: FuzzedDataProvider takes
numbers from the end of the input and strings from the front, a string ending
at a backslash followed by another byte (a doubled backslash is one).
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
GBK_NAME = bytes.fromhex("B2E2CAD4CAE4C8EBB7A8")  # a display name in GBK


def provider_string(data):
    return data.replace(b"\\", b"\\\\") + b"\\\n"


def split_command_line():
    # First byte: 0 the double-byte page 936, 1 the single-byte page 1252.
    return {
        "plain": b"\x00imesetup.exe /inst",
        "quoted_program": b'\x00"C:\\Program Files\\imesetup.exe" /uninst',
        "empty_pairs": b'\x00imesetup.exe "" "" /inst ""',
        "quotes_inside": b'\x00a x"y z"w "unclosed',
        "double_byte": b'\x00\xb2\xe2.exe \xb2\\ "\xca\x22" \x81',
        "single_byte": b'\x01\xb2\xe2.exe \xb2" x"\t\x01b',
        "controls": b"\x00p\x01a\x1fb\x20c\x7fd",
        "backslashes": b'\x00p a\\\\"b c\\" d',
    }


def setup_driver():
    # command line, setup.log, then from the end: state, first answer, second answer.
    # state bits: 1 the 9x family, 2 installed, 4 listed in the preload list,
    # 8 IME file held, 16 no rights, 32 code page 1252. Answers: 0 yes, 1 no, 2 OK.
    log = b"[ImePram]\r\nImeFile=MyIme.ime\r\nMbFile=MyIme.mb\r\nImeName=" + GBK_NAME + b"\r\n"

    def seed(command_line, setup_log, state, first=2, second=2):
        return provider_string(command_line) + setup_log + bytes([second, first, state])

    return {
        "fresh_default": seed(b"imesetup.exe", log, 0),
        "fresh_inst": seed(b"imesetup.exe /inst", log, 0),
        "reinstall_yes": seed(b'"C:\\IMEPKG\\imesetup.exe" /inst', log, 2 | 4, first=0),
        "reinstall_no": seed(b'imesetup.exe "/inst"', log, 2 | 4, first=1),
        "remove_default_9x": seed(b"imesetup.exe", log, 1 | 2 | 4),
        "remove_uninst_held": seed(b"imesetup.exe /uninst", log, 2 | 4 | 8),
        "remove_no_rights": seed(b"imesetup.exe /uninst", log, 2 | 16),
        "two_arguments": seed(b"imesetup.exe /inst /inst", log, 0),
        "no_section": seed(b"imesetup.exe", b"[Other]\r\nImeFile=MyIme.ime\r\n", 0),
        "name_zero": seed(b"imesetup.exe", b"[ImePram]\r\nImeFile=MyIme.ime\r\nMbFile=MyIme.mb\r\nImeName=0\r\n", 0),
        "folder_named": seed(b"imesetup.exe /inst", b"[ImePram]\r\nImeFile=Folder\r\nMbFile=MyIme.mb\r\nImeName=x\r\n", 0),
        "quoted_blanks": seed(
            b"imesetup.exe",
            b'[imepram]\r\n  ImeFile = "MyIme.ime" \r\nMbFile=MyIme.mb\r\nImeName=\xce\xd2\r\n',
            32,
        ),
    }


def remove_from_preload():
    # From the end: subkey form, layout text (0 "E0200804", 1 "     804"),
    # entry count, one byte per entry (and in the subkey form one of extras),
    # then whether a value that is no entry stands beside them. Entry byte:
    # bits 0-3 text (0 "00000409", 1 "E0200804", 2 "e0200804", 3 "00000804",
    # 8 "     804", 10 "00000411"), 4-5 type, 6-7 gap or odd name.
    def seed(subkeys, hkl, entries, extras=None, named_value=False):
        tail = [1 if subkeys else 0, hkl, len(entries)]
        for i, entry in enumerate(entries):
            tail.append(entry)
            if subkeys:
                tail.append(extras[i] if extras else 0)
        tail.append(1 if named_value else 0)
        return bytes(reversed(tail))

    return {
        "values_middle": seed(False, 0, [0x03, 0x01, 0x00, 0x0A]),
        "values_lower_case_last": seed(False, 0, [0x03, 0x02]),
        "values_twice": seed(False, 0, [0x01, 0x03, 0x01], named_value=True),
        "values_gap_before_match": seed(False, 0, [0x03, 0x40, 0x01]),
        "values_blank_filled": seed(False, 1, [0x03, 0x08, 0x00]),
        "values_types": seed(False, 0, [0x13, 0x21, 0x30, 0x27, 0x00]),
        "values_hundred_and_ten": seed(False, 0, [0x00] * 20 + [0x01] + [0x00] * 89),
        "subkeys_middle": seed(True, 0, [0x03, 0x00, 0x01, 0x0A, 0x00], extras=[0, 2, 4, 6, 0]),
        "subkeys_only": seed(True, 0, [0x01], extras=[4]),
        "subkeys_no_default": seed(True, 0, [0x03, 0x01, 0x00], extras=[1, 0, 1]),
        "subkeys_hundred_and_five": seed(True, 0, [0x00] * 50 + [0x01] + [0x00] * 54),
    }


def registry_tree():
    names = {"a": 0, "A": 1, "b": 2, "Key": 3, "x y": 4, "1": 5, "2": 6, "10": 7,
             "gbk0": 8, "gbk1": 9, "gbk_a": 10, "gbk_A": 11, "gbk2": 12}
    value_names = {"": 0, "v": 1, "V": 2, "1": 3, "2": 4, "Ime File": 5, "gbk": 6, "gbk_a": 7}
    types = {"sz": 0, "expand": 1, "binary": 2, "dword": 3, "none": 4, "multi": 5}

    class Input:
        def __init__(self):
            self.tail, self.front = [], b""

        def byte(self, value):
            self.tail.append(value)

        def string(self, data):
            self.front += provider_string(data)

        def path(self, parts):
            self.byte(len(parts))
            for part in parts:
                if isinstance(part, int):  # a long name of that many characters
                    self.byte(13)
                    self.byte(part - 1)
                else:
                    self.byte(names[part])

        def bytes(self):
            return self.front + bytes(reversed(self.tail))

    # machine bits: 1 code page 1252, 2 the 9x family, 4 a chain of a/A keys.
    def seed(machine, keys, chain=None, values=(), steps=()):
        data = Input()
        data.byte(machine)
        data.byte(len(keys))
        for key in keys:
            data.path(key)
        if machine & 4:
            data.byte(chain - 1)
        data.byte(len(values))
        for path, name, kind, contents in values:
            data.path(path)
            data.byte(types[kind])
            data.byte(value_names[name])
            data.string(contents)
        for step in steps:
            operation, where, path = step[:3]
            data.byte({"open": 0, "erase": 1, "move": 2}[operation])
            data.byte(1 if where == "relative" else 0)
            data.path(path)
            if operation == "move":
                data.byte(value_names[step[3]])
                data.byte(value_names[step[4]])
        return data.bytes()

    tree = [["a", "b"], ["A", "Key"], ["b"], ["a", "x y", "1"]]
    values = [
        (["a"], "v", "sz", b"text\x00"),
        (["a"], "1", "dword", b"\x04\x03\x02\x01"),
        (["a"], "2", "binary", b""),
        (["a", "b"], "", "sz", b"default\x00"),
    ]
    steps = [
        ("open", "absolute", ["a"]),
        ("move", "relative", [], "v", "2"),
        ("move", "relative", [], "v", "V"),
        ("move", "relative", [], "2", "Ime File"),
        ("move", "relative", [], "1", "1"),
        ("open", "relative", ["b"]),
        ("erase", "absolute", ["a"]),
        ("move", "relative", [], "", "v"),
        ("open", "relative", ["x y"]),
        ("erase", "relative", ["b"]),
    ]
    return {
        "values_and_erase_of_current": seed(0, tree, values=values, steps=steps),
        "same_on_9x": seed(2, tree, values=values, steps=steps),
        "single_byte_page": seed(1, tree, values=values, steps=steps),
        "double_byte_names": seed(
            0,
            [["gbk0", "gbk1"], ["gbk_a", "a"], ["gbk_A"], ["gbk2", "gbk0", "gbk_a"]],
            values=[(["gbk0"], "gbk", "sz", b"\xb2\xe2\x00"), (["gbk0"], "gbk_a", "expand", b"%x%\x00")],
            steps=[
                ("open", "absolute", ["gbk0"]),
                ("move", "relative", [], "gbk", "gbk_a"),
                ("move", "relative", [], "gbk_a", "v"),
                ("erase", "absolute", ["gbk_a"]),
                ("erase", "absolute", ["gbk0"]),
                ("erase", "absolute", ["gbk2"]),
            ],
        ),
        "chain_64_deep": seed(
            4, [["b"]], chain=64,
            steps=[("open", "absolute", ["A", "a", "A"]), ("erase", "absolute", ["A"]), ("erase", "relative", ["a"])],
        ),
        "long_names": seed(
            0, [[200, 180], ["a", 60]],
            steps=[
                ("erase", "absolute", [200]),
                ("open", "absolute", ["a"]),
                ("erase", "relative", [60]),
                ("erase", "absolute", ["a"]),
            ],
        ),
        "missing_keys": seed(
            0, [["a"]],
            steps=[
                ("erase", "absolute", ["b"]),
                ("open", "absolute", ["b"]),
                ("erase", "relative", ["a", "a"]),
                ("open", "relative", ["a"]),
            ],
        ),
    }


def pe_image():
    # Images as the checker meets them: headers, one section at RVA 0x1000
    # (file offset 0x200) with an export directory and its names, and for a
    # setup program a version resource (type 16, name 1, language 0x409).
    import struct

    def utf16(text):
        return text.encode("utf-16-le") + b"\0\0"

    def align4(data):
        return data + b"\0" * (-len(data) % 4)

    def node(key, value, text, children):
        body = align4(b"\0" * 6 + utf16(key)) + value
        for child in children:
            body = align4(body) + child
        length = len(value) // 2 if text else len(value)
        return struct.pack("<HHH", len(body), length, 1 if text else 0) + body[6:]

    def version(strings):
        entries = [node(k, utf16(v), True, []) for k, v in strings]
        fixed = struct.pack("<I", 0xFEEF04BD) + b"\0" * 48
        table = node("040904B0", b"", True, entries)
        return node("VS_VERSION_INFO", fixed, False, [node("StringFileInfo", b"", True, [table])])

    def image(machine, dll, exports, strings=()):
        wide = machine != 0x14C
        optional_size = (112 if wide else 96) + 16 * 8
        section = struct.pack("<24xI4xI4x", len(exports), 0x1000 + 40)
        names = b""
        offsets = []
        for name in exports:
            offsets.append(0x1000 + 40 + 4 * len(exports) + len(names))
            names += name.encode() + b"\0"
        section = align4(section + b"".join(struct.pack("<I", o) for o in offsets) + names)
        resource_rva = resource_size = 0
        if strings:
            resource_rva = 0x1000 + len(section)
            info = version(strings)
            tree = b"".join(struct.pack("<12xHHII", 0, 1, ident, target)
                            for ident, target in ((16, 0x80000018), (1, 0x80000030), (0x409, 72)))
            tree += struct.pack("<II8x", resource_rva + 88, len(info)) + info
            resource_size = len(tree)
            section += tree
        directories = [(0x1000, 40) if exports else (0, 0), (0, 0), (resource_rva, resource_size)] + [(0, 0)] * 13
        optional = struct.pack("<H58xI", 0x20B if wide else 0x10B, 0x200)
        optional += b"\0" * ((108 if wide else 92) - len(optional)) + struct.pack("<I", 16)
        optional += b"".join(struct.pack("<II", *d) for d in directories)
        headers = b"MZ" + b"\0" * 58 + struct.pack("<I", 0x40) + b"PE\0\0"
        headers += struct.pack("<HH12xHH", machine, 1, optional_size, 0x2002 if dll else 0x0002) + optional
        headers += struct.pack("<8sIIII16x", b".data", len(section), 0x1000, len(section), 0x200)
        return headers + b"\0" * (0x200 - len(headers)) + section

    def crafted(size, most_sections=0xFFFF):
        # The shape that cost a reader the product of two sizes: as many
        # sections as the table may hold in half the file, all but the last
        # far from everything, and an export table filling most of the rest
        # whose names point in turn outside every section and at one long
        # text without an end near it; the last name is "ImeInquire". Then
        # the resources, whose root lists many types before the version
        # resource, and a certificate table at the file's end.
        # (tests/package_checker/crafted_image.h makes the same at any size.)
        sections = min(most_sections, (size // 2 - 0x200) // 40)
        table = 0x58 + 240
        raw = (table + 40 * sections + 0x1FF) & ~0x1FF
        address = (raw + 0xFFF) & ~0xFFF
        long_text = 8192
        image = bytearray(size)
        image[0:2] = b"MZ"
        struct.pack_into("<I", image, 0x3C, 0x40)
        image[0x40:0x44] = b"PE\0\0"
        struct.pack_into("<HH12xHH", image, 0x44, 0x8664, sections, 240, 0x2022)
        struct.pack_into("<H", image, 0x58, 0x20B)
        struct.pack_into("<I", image, 0x58 + 60, raw)
        struct.pack_into("<III", image, 0x58 + 108, 16, address, 40)
        for i in range(sections - 1):
            struct.pack_into("<II", image, table + 40 * i + 12, 0x80000000 + i * 0x1000, 0x200)
        struct.pack_into("<III", image, table + 40 * (sections - 1) + 12, address, size - raw, raw)

        def rva(offset):
            return offset - raw + address

        certificate = (size - 16) & ~7
        struct.pack_into("<IHH", image, certificate, 16, 0x0200, 0x0002)
        struct.pack_into("<II", image, 0x58 + 144, certificate, 16)
        fixed = struct.pack("<II28xII8x", 0xFEEF04BD, 0x10000, 3, 11)
        translation = node("Translation", struct.pack("<HH", 0x0804, 936), False, [])
        info = node("VS_VERSION_INFO", fixed, False, [node("VarFileInfo", b"", True, [translation])])
        types = min(0xFFFF, size // 128)
        second = 16 + 8 * types
        third = second + 24
        entry = third + 24
        resource_size = entry + 16 + len(info)
        resources = (certificate - resource_size) & ~7
        struct.pack_into("<H", image, resources + 14, types)
        for i in range(types - 1):
            struct.pack_into("<II", image, resources + 16 + 8 * i, 17 + i, 0x80000000)
        struct.pack_into("<II", image, resources + 16 + 8 * (types - 1), 16, 0x80000000 | second)
        struct.pack_into("<12xHHII", image, resources + second, 0, 1, 1, 0x80000000 | third)
        struct.pack_into("<12xHHII", image, resources + third, 0, 1, 0x0804, entry)
        struct.pack_into("<II", image, resources + entry, rva(resources + entry + 16), len(info))
        image[resources + entry + 16:resources + resource_size] = info
        struct.pack_into("<II", image, 0x58 + 128, rva(resources), resource_size)

        names = raw + 40
        inquire = resources - 16
        text = inquire - long_text
        count = (text - names) // 4
        struct.pack_into("<I", image, raw + 24, count)
        struct.pack_into("<I", image, raw + 32, address + 40)
        outside, into_text = struct.pack("<I", 0x7FFFF000), struct.pack("<I", rva(text))
        image[names:names + 4 * (count - 1)] = (outside + into_text) * ((count - 1) // 2) + outside * ((count - 1) % 2)
        struct.pack_into("<I", image, names + 4 * (count - 1), rva(inquire))
        image[text:inquire] = b"I" * long_text
        image[inquire:inquire + 11] = b"ImeInquire\0"
        return bytes(image)

    setup = [("FileDescription", "Setup My IME"), ("OriginalFilename", "imesetup.exe")]
    return {
        "crafted_sections_and_names": crafted(1 << 20),
        "ime_x64": image(0x8664, True, ["ImeInquire"]),
        "ime_x86_three_exports": image(0x14C, True, ["ImeConversionList", "ImeInquire", "ImeSelect"]),
        "setup_program_x64": image(0x8664, False, [], setup),
        "setup_program_x86": image(0x14C, False, [], setup),
    }


def checker_against_program():
    # One byte per choice, in the order tests/package_checker/
    # generated_package_sim.cpp reads them; below 176 the first choice (the
    # package as meant), 176 + k choice k.
    order = ["installed", "ime_file", "mb_file", "ime_name", "ime_content", "mb_content", "ime_attributes",
             "mb_attributes", "installed_attributes", "header", "second_section", "order", "encoding", "line_end",
             "comment", "ime_file_form", "mb_file_form", "ime_name_form", "times", "extra_files", "other_ime",
             "preload", "system"]

    def seed(**chosen):
        return bytes(176 + chosen[name] if chosen.get(name) else 0 for name in order)

    return {
        "sound_package": seed(),
        "earlier_install": seed(installed=1, other_ime=1),
        "this_version_installed_read_only": seed(installed=2, installed_attributes=1),
        "one_file_by_both_names": seed(mb_file=10, installed=5),
        "mb_file_wildcard_installed": seed(mb_file=6, installed=5),
        "no_preload_key": seed(installed=1, preload=3),
        "folder_parts_into_the_package": seed(ime_file=5, extra_files=1),
        "hidden_ime_file_over_one_file": seed(ime_attributes=2, mb_file=10, installed=9),
        "utf8_mark_after_a_comment": seed(encoding=1, comment=1, ime_name=7),
        "windows_9x_registered_elsewhere": seed(system=2, installed=7),
        "another_imes_file_under_the_packages_name": seed(installed=5, other_ime=1),
        "protected_file_at_the_mb_path": seed(other_ime=2),
        "protected_file_at_the_ime_path_installed": seed(installed=1, other_ime=3),
    }


def main():
    for target, seeds in (
        ("split_command_line", split_command_line()),
        ("setup_driver", setup_driver()),
        ("remove_from_preload", remove_from_preload()),
        ("registry_tree", registry_tree()),
        ("pe_image", pe_image()),
        ("checker_against_program", checker_against_program()),
    ):
        folder = os.path.join(HERE, "corpus", target)
        os.makedirs(folder, exist_ok=True)
        for name, data in seeds.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
