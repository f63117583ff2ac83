#!/usr/bin/python3
"""Builds the Windows Installer package of one width with wixl, from the
wixl source dist/windows/torva-inout.wxs and a folder that holds the files
to install (torva-inout.exe, torva-port.exe, README.txt, LICENSE.txt,
NOTICE.txt):
    msi.py WIDTH VERSION FOLDER OUTPUT.msi      (WIDTH x64 or x86)
The same inputs give the same bytes: every code is derived from the
version, the width and the files instead of drawn at random, and every
date is SOURCE_DATE_EPOCH (which must be set). Debian's python3, for the
GObject binding of libmsi (gir1.2-libmsi-1.0), with which the package's
summary and file versions are set after wixl.
"""
import hashlib
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import uuid

import gi

gi.require_version("Libmsi", "1.0")
from gi.repository import Libmsi  # noqa: E402

HERE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SOURCE = os.path.join(HERE, "dist", "windows", "torva-inout.wxs")
ICON = os.path.join(HERE, "panel", "images", "torva.ico")
FILES = ["torva-inout.exe", "torva-port.exe", "README.txt", "LICENSE.txt", "NOTICE.txt"]

# What a width changes. The UpgradeCode of a width never changes: every
# version of that width's package carries it, which is how a newer one
# finds and replaces an older one.
WIDTHS = {
    "x64": {"UpgradeCode": "22FA8867-0018-47C5-A014-0DB410409A5C", "ProgramFiles": "ProgramFiles64Folder",
            "Win64": "yes", "WindowsWidth": "64-bit"},
    "x86": {"UpgradeCode": "139DD75C-5B5D-4379-887D-73F9B7CDA7CE", "ProgramFiles": "ProgramFilesFolder",
            "Win64": "no", "WindowsWidth": "32-bit or 64-bit"},
}
# The name space of the codes derived here (RFC 4122 name-based, SHA-1).
CODES = uuid.UUID("22219B15-06E2-4BB9-8D64-8544836C9B50")
COMPONENTS = {"PanelGuid": "torva-inout.exe", "PortToolGuid": "torva-port.exe", "ReadmeGuid": "README.txt",
              "LicenceGuid": "LICENSE.txt", "NoticeGuid": "NOTICE.txt"}
FILETIME_AT_1970 = 11644473600 * 10**7  # 100 ns steps from 1601 to 1970
VS_FIXEDFILEINFO_SIGNATURE = struct.pack("<I", 0xFEEF04BD)


class Refused(Exception):
    pass


def code(name):
    return str(uuid.uuid5(CODES, name)).upper()


def msi_version(version):
    """Windows Installer compares the first three numbers of a version and
    ignores a fourth, so the package carries major.minor.fourth: the
    numbers of the version record's text (1.00.0004 for 1.0.0.4), in which
    releases differ. A third number other than 0 would be lost."""
    parts = version.split(".")
    if len(parts) > 4 or not all(p.isdigit() for p in parts):
        raise Refused("version %r is not up to four numbers" % version)
    major, minor, patch, fourth = (list(map(int, parts)) + [0, 0, 0])[:4]
    if patch:
        raise Refused("version %s: the package's version is made of its first, second and fourth "
                      "numbers, as Windows Installer compares three, so the third must be 0" % version)
    if major > 255 or minor > 255 or fourth > 65535:
        raise Refused("version %s: Windows Installer takes at most 255.255.x.65535" % version)
    return "%d.%d.%d" % (major, minor, fourth)


def file_version(path):
    """The file version of a program's version record (VS_FIXEDFILEINFO),
    as the File table wants it, or None when it carries none."""
    with open(path, "rb") as f:
        data = f.read()
    at = data.find(VS_FIXEDFILEINFO_SIGNATURE)
    if at < 0:
        return None
    most, least = struct.unpack_from("<II", data, at + 8)
    return "%d.%d.%d.%d" % (most >> 16, most & 0xFFFF, least >> 16, least & 0xFFFF)


def build(width, version, folder, output, epoch):
    if width not in WIDTHS:
        raise Refused("unknown width %r (x64 or x86)" % width)
    missing = [name for name in FILES if not os.path.isfile(os.path.join(folder, name))]
    if missing:
        raise Refused("%s lacks %s" % (folder, ", ".join(missing)))
    defines = dict(WIDTHS[width])
    defines.update(Version=version, MsiVersion=msi_version(version),
                   ProductCode=code("product %s %s" % (width, version)))
    defines.update({key: code("component %s %s" % (width, name)) for key, name in COMPONENTS.items()})
    # The package's own code names these bytes: it changes with any input.
    digest = hashlib.sha256(("%s %s\n" % (width, version)).encode())
    for path in [SOURCE, ICON] + [os.path.join(folder, name) for name in FILES]:
        with open(path, "rb") as f:
            digest.update(os.path.basename(path).encode() + b"\0" + f.read())
    package_code = "{%s}" % code("package " + digest.hexdigest())

    with tempfile.TemporaryDirectory() as work:
        # wixl takes its files by names relative to the source; the
        # cabinet keeps their times, which are the commit's.
        for path in [SOURCE, ICON] + [os.path.join(folder, name) for name in FILES]:
            copy = os.path.join(work, os.path.basename(path))
            shutil.copyfile(path, copy)
            os.utime(copy, (epoch, epoch))
        built = os.path.join(work, "package.msi")
        command = ["wixl", "-a", width, "-o", built]
        for key, value in sorted(defines.items()):
            command += ["-D", "%s=%s" % (key, value)]
        subprocess.run(command + ["torva-inout.wxs"], cwd=work, check=True, env=dict(os.environ, TZ="UTC"))

        # wixl draws the package code at random and dates the summary at
        # the build; neither can be given to it.
        db = Libmsi.Database.new(built, Libmsi.DbFlags.TRANSACT, None)
        summary = Libmsi.SummaryInfo.new(db, 8)
        summary.set_string(Libmsi.Property.UUID, package_code)
        for date in (Libmsi.Property.CREATED_TM, Libmsi.Property.LASTSAVED_TM):
            summary.set_filetime(date, FILETIME_AT_1970 + epoch * 10**7)
        summary.persist()
        # The programs' versions, which wixl leaves out: with them Windows
        # Installer treats them as versioned files, as they are.
        for name, key in (("torva-inout.exe", "torva_inout.exe"), ("torva-port.exe", "torva_port.exe")):
            found = file_version(os.path.join(folder, name))
            if found is None:
                raise Refused("%s carries no version record" % name)
            query = Libmsi.Query.new(db, "UPDATE `File` SET `Version` = '%s', `Language` = '1033' "
                                     "WHERE `File` = '%s'" % (found, key))
            query.execute(None)
            query.close()
        db.commit()
        del summary, db
        shutil.move(built, output)


def main(argv):
    if len(argv) != 5:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    epoch = os.environ.get("SOURCE_DATE_EPOCH", "")
    try:
        if not epoch.isdigit():
            raise Refused("SOURCE_DATE_EPOCH must be set to the package's date (seconds since 1970)")
        build(argv[1], argv[2], argv[3], argv[4], int(epoch))
    except (Refused, subprocess.CalledProcessError, gi.repository.GLib.Error) as e:
        print("msi.py: %s" % e, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
