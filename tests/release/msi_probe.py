#!/usr/bin/env python3
"""What the package test reads back, each from the file itself rather than
from a tool's text:
    msi_probe.py property PACKAGE.msi NAME   a value of the Property table (msiinfo export)
    msi_probe.py target FILE.lnk             the path a shortcut leads to
    msi_probe.py entries PREFIX NAME         per installed-programs entry named NAME in the
                                             Wine prefix: its key, version, publisher and
                                             folder (either registry view)
    msi_probe.py mentions PREFIX WORD...     registry keys of the prefix whose path or
                                             values hold a WORD (any case); a GUID also
                                             in the packed form Windows Installer uses
"""
import os
import re
import struct
import subprocess
import sys

# The installed programs' entries, in the 64-bit view and, for 32-bit
# packages, under Wow6432Node.
UNINSTALL = "\\microsoft\\windows\\currentversion\\uninstall\\"


def table(package, name):
    """Rows of a table as dictionaries, from msiinfo's IDT export: column
    names, column types, the table's name and keys, then one row a line."""
    text = subprocess.run(["msiinfo", "export", package, name], check=True, capture_output=True,
                          text=True).stdout
    lines = text.replace("\r", "").split("\n")
    columns = lines[0].split("\t")
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:] if line]


def shortcut_target(path):
    """The local path of a Shell Link (MS-SHLLINK): header, the optional ID
    list, then the link information with the target's local base path."""
    with open(path, "rb") as f:
        data = f.read()
    if struct.unpack_from("<I", data, 0)[0] != 0x4C:
        raise ValueError("%s is no shell link" % path)
    (flags,) = struct.unpack_from("<I", data, 0x14)
    at = 0x4C
    if flags & 0x1:  # HasLinkTargetIDList
        at += 2 + struct.unpack_from("<H", data, at)[0]
    if not flags & 0x2:  # HasLinkInfo
        raise ValueError("%s holds no link information" % path)
    info_flags, _, base_path_at = struct.unpack_from("<III", data, at + 8)
    if not info_flags & 0x1:  # VolumeIDAndLocalBasePath
        raise ValueError("%s names no local path" % path)
    start = at + base_path_at
    return data[start:data.index(b"\0", start)].decode("mbcs" if os.name == "nt" else "latin-1")


def registry(prefix):
    """Keys of a Wine prefix's registry files as {path: {name: text}}, the
    values as written there (strings unquoted, others as they stand)."""
    keys = {}
    for name in ("system.reg", "user.reg"):
        current = None
        with open(os.path.join(prefix, name), encoding="utf-8", errors="replace") as f:
            for line in f:
                line = line.rstrip("\n")
                if line.startswith("["):
                    path = line[1:line.rindex("]")].replace("\\\\", "\\")
                    current = keys.setdefault(name + ":" + path, {})
                elif current is not None and line.startswith(("\"", "@")):
                    match = re.match(r'(@|"(?:[^"\\]|\\.)*")=(?:str\(\d\):)?(.*)', line)
                    if match:
                        value = match.group(2)
                        if value.startswith('"') and value.endswith('"'):
                            value = value[1:-1].replace("\\\\", "\\")
                        current[match.group(1).strip('"')] = value
    return keys


def packed(guid):
    """A GUID as Windows Installer keeps it in the registry: the first
    three groups reversed, the bytes of the last two swapped pairwise."""
    g = guid.strip("{}").split("-")
    rest = "".join(g[3:])
    return g[0][::-1] + g[1][::-1] + g[2][::-1] + "".join(rest[i + 1] + rest[i] for i in range(0, len(rest), 2))


def main(argv):
    command, args = argv[1], argv[2:]
    if command == "property":
        rows = [row["Value"] for row in table(args[0], "Property") if row["Property"] == args[1]]
        if not rows:
            return 1
        print(rows[0])
    elif command == "target":
        print(shortcut_target(args[0]))
    elif command == "entries":
        for path, values in sorted(registry(args[0]).items()):
            parent, _, _ = path.lower().rpartition("\\")
            if (parent + "\\").endswith(UNINSTALL) and values.get("DisplayName") == args[1]:
                print("\t".join([path] + [values.get(name, "") for name in
                                           ("DisplayVersion", "Publisher", "InstallLocation")]))
    elif command == "mentions":
        words = set()
        for word in args[1:]:
            words.add(word.lower())
            if re.fullmatch(r"\{?[0-9A-Fa-f]{8}(-[0-9A-Fa-f]{4}){3}-[0-9A-Fa-f]{12}\}?", word):
                words.add(packed(word).lower())
        for path, values in sorted(registry(args[0]).items()):
            text = "\n".join([path] + ["%s=%s" % item for item in values.items()]).lower()
            if any(word in text for word in words):
                print(path)
    else:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
