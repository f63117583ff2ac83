#!/usr/bin/env python3
"""Checks the manifest that each Windows program carries, read from the
resources of the file itself: an assembly identity with the four-part
version given, the user's own rights without UAC virtualisation
(asInvoker, no uiAccess), and Windows 7, 8, 8.1 and 10/11 as supported
systems.
    exe_manifests.py VERSION PROGRAM.exe...
"""
import struct
import sys
import xml.etree.ElementTree as ElementTree

from pe_imports import Image, NotPe

RESOURCE_DIRECTORY = 2
RT_MANIFEST = 24
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"
ASM_V3 = "{urn:schemas-microsoft-com:asm.v3}"
COMPATIBILITY = "{urn:schemas-microsoft-com:compatibility.v1}"
SUPPORTED_OS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}


def entries(image, root, at):
    """(id or name offset, is a directory, offset) for each entry of a resource directory."""
    named, numbered = struct.unpack_from("<HH", image.data, root + at + 12)
    for i in range(named + numbered):
        name, target = struct.unpack_from("<II", image.data, root + at + 16 + 8 * i)
        yield name, bool(target & 0x80000000), target & 0x7FFFFFFF


def resources(image, wanted_type):
    """The bytes of each resource of one type, every name and language."""
    rva, _ = image.directory(RESOURCE_DIRECTORY)
    if rva == 0:
        return
    root = image.offset(rva)
    for type_id, is_dir, names in entries(image, root, 0):
        if type_id != wanted_type or not is_dir:
            continue
        for _, is_dir, languages in entries(image, root, names):
            for _, is_leaf_dir, leaf in entries(image, root, languages) if is_dir else ():
                if is_leaf_dir:
                    raise NotPe("a resource nested too deep")
                data_rva, size = struct.unpack_from("<II", image.data, root + leaf)
                at = image.offset(data_rva)
                yield image.data[at:at + size]


def problems(manifest, version):
    """What is wrong with one manifest; nothing when it is right."""
    try:
        root = ElementTree.fromstring(manifest)
    except ElementTree.ParseError as error:
        return ["the manifest does not parse: %s" % error]
    found = []
    identity = root.find(ASM_V1 + "assemblyIdentity")
    written = identity.get("version", "") if identity is not None else ""
    if written.count(".") != 3 or written != version:
        found.append("assembly identity version %r, not %r" % (written, version))
    levels = root.findall(".//%srequestedExecutionLevel" % ASM_V3)
    if [(e.get("level"), e.get("uiAccess")) for e in levels] != [("asInvoker", "false")]:
        found.append("requested execution level is not one asInvoker without uiAccess")
    systems = {e.get("Id") for e in root.findall(".//%ssupportedOS" % COMPATIBILITY)}
    missing = [name for guid, name in SUPPORTED_OS.items() if guid not in systems]
    if missing:
        found.append("not marked as supporting " + ", ".join(missing))
    return found


def main():
    if len(sys.argv) < 3:
        sys.exit("usage: exe_manifests.py VERSION PROGRAM.exe...")
    version, failed = sys.argv[1], False
    for path in sys.argv[2:]:
        try:
            with open(path, "rb") as program:
                manifests = list(resources(Image(program.read()), RT_MANIFEST))
        except (OSError, NotPe, struct.error, ValueError) as error:
            manifests, found = [], ["%s" % error]
        else:
            found = ["%d manifests, not one" % len(manifests)] if len(manifests) != 1 else problems(
                manifests[0], version)
        for problem in found:
            print("FAILED: %s: %s" % (path, problem))
        if not found:
            print("ok: %s: version %s, asInvoker, Windows 7 to 11" % (path, version))
        failed = failed or bool(found)
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
