#!/usr/bin/env python3
"""Prints what a Windows program imports, read from its PE import tables:
one "DLL: function" line per function imported by name, "DLL: #N" per
ordinal. Reads the file itself, so no tool's text layout is relied on.
    pe_imports.py PROGRAM.exe
"""
import struct
import sys

IMPORT_DIRECTORY = 1  # index in the optional header's data directories
PE32, PE32_PLUS = 0x10B, 0x20B


class NotPe(Exception):
    pass


class Image:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise NotPe("no MZ header")
        (pe_at,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe_at:pe_at + 4] != b"PE\0\0":
            raise NotPe("no PE signature")
        header = pe_at + 4
        _, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", data, header)
        optional = header + 20
        (magic,) = struct.unpack_from("<H", data, optional)
        if magic not in (PE32, PE32_PLUS):
            raise NotPe("unknown optional header magic %#x" % magic)
        self.wide = magic == PE32_PLUS
        self.directories = optional + (112 if self.wide else 96)
        self.import_rva, self.import_size = self.directory(IMPORT_DIRECTORY)
        table = optional + optional_size
        self.sections = []
        for i in range(sections):
            virtual_size, rva, raw_size, raw_at = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            self.sections.append((rva, max(virtual_size, raw_size), raw_at, raw_size))

    def directory(self, index):
        """The RVA and size of one of the optional header's data directories."""
        return struct.unpack_from("<II", self.data, self.directories + 8 * index)

    def offset(self, rva):
        for start, size, raw_at, raw_size in self.sections:
            if start <= rva < start + size:
                if rva - start >= raw_size:
                    raise NotPe("RVA %#x lies past its section's data" % rva)
                return raw_at + rva - start
        raise NotPe("RVA %#x lies in no section" % rva)

    def text(self, rva):
        at = self.offset(rva)
        end = self.data.index(b"\0", at)
        return self.data[at:end].decode("ascii")

    def thunks(self, rva):
        size, form, ordinal_flag = (8, "<Q", 1 << 63) if self.wide else (4, "<I", 1 << 31)
        at = self.offset(rva)
        while True:
            (thunk,) = struct.unpack_from(form, self.data, at)
            if thunk == 0:
                return
            yield ("#%d" % (thunk & 0xFFFF)) if thunk & ordinal_flag else self.text((thunk & 0x7FFFFFFF) + 2)
            at += size

    def imports(self):
        if self.import_rva == 0:
            return
        at = self.offset(self.import_rva)
        while True:
            lookup, _, _, name, first = struct.unpack_from("<IIIII", self.data, at)
            if name == 0 and first == 0:
                return
            dll = self.text(name)
            for function in self.thunks(lookup or first):
                yield dll, function
            at += 20


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: pe_imports.py PROGRAM.exe")
    try:
        with open(sys.argv[1], "rb") as program:
            image = Image(program.read())
        lines = ["%s: %s" % entry for entry in image.imports()]
    except (OSError, NotPe, struct.error, ValueError) as error:
        sys.exit("%s: %s" % (sys.argv[1], error))
    print("\n".join(lines))


if __name__ == "__main__":
    main()
