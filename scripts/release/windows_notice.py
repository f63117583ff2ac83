#!/usr/bin/env python3
"""Writes the notice that goes beside the statically linked Windows programs.

The texts come from Debian's own copyright files of the cross toolchain
that builds them: mingw-w64 (its C runtime and winpthreads) and GCC
(libstdc++ and libgcc, under the GCC Runtime Library Exception), and of
what torva-port.exe carries besides: pugixml, built from Debian's source,
and the header-only CLI11. Run it again when the toolchain or those
change: windows_notice.py > dist/windows/NOTICE.txt
"""
import re
import sys

MINGW = "/usr/share/doc/mingw-w64-x86-64-dev/copyright"
GCC = "/usr/share/doc/gcc-mingw-w64-base/copyright"
GPL3 = "/usr/share/common-licenses/GPL-3"
PUGIXML = "/usr/share/doc/libpugixml-dev/copyright"
CLI11 = "/usr/share/doc/libcli11-dev/copyright"

# What of mingw-w64 is linked into a program: the C runtime and winpthreads
# (its tests are not).
LINKED = re.compile(r"^(\*|mingw-w64-crt/|mingw-w64-libraries/winpthreads/(?!tests_pthread/))")
# What of pugixml is: its sources (not Debian's packaging).
PUGIXML_LINKED = re.compile(r"^src/")
# What of CLI11 is: its headers (not its build scripts, nor Debian's packaging).
CLI11_LINKED = re.compile(r"^\*$")

HEADER = """\
Notice for torva-inout.exe and torva-port.exe

The two programs are TORVA_InOut's own work under the MIT licence (the
file LICENSE). Each is linked statically with parts of the toolchain that
built it, mingw-w64 with GCC, and so carries:

  - the mingw-w64 C runtime and its winpthreads library, under the
    licences of section 1;
  - GCC's C++ library libstdc++ and its support library libgcc, under the
    GNU General Public License version 3 with the GCC Runtime Library
    Exception 3.1 (section 2). The exception lets programs compiled with
    GCC be passed on under terms of their own choice.

torva-port.exe carries as well pugixml, which writes its JUnit reports,
under the MIT (Expat) licence (section 4), and CLI11, which reads its
command line, under the 3-clause BSD licence (section 5).

The texts below are those of Debian's packages mingw-w64-x86-64-dev,
gcc-mingw-w64-base, libpugixml-dev and libcli11-dev.
"""


def paragraphs(text):
    return [p for p in re.split(r"\n\s*\n", text) if p.strip()]


def field(paragraph, name):
    """The value of a field and its continuation lines, or None."""
    match = re.search(rf"^{name}:(.*(?:\n[ \t].*)*)", paragraph, re.M)
    return match.group(1) if match else None


def linked_section(text, linked):
    """The paragraphs of a copyright file whose files are linked, and their licences."""
    kept, wanted, standalone = [], set(), {}
    for p in paragraphs(text):
        files = field(p, "Files")
        license_name = (field(p, "License") or "").split("\n")[0].strip()
        if files is None:
            if license_name:
                standalone[license_name] = p
            continue
        if any(linked.match(f) for f in files.split()):
            kept.append(p)
            wanted.update(re.split(r"\s+and\s+", license_name))
    kept += [standalone[name] for name in sorted(wanted) if name in standalone]
    return "\n\n".join(kept)


def gcc_section(text):
    start = text.index("GCC is Copyright")
    licences = text[start:text.index("The libbacktrace library")].rstrip()
    exception_start = text.index("GCC RUNTIME LIBRARY EXCEPTION")
    exception_end = text.index("presumption that third-party software", exception_start)
    exception_end = text.index("\n\n", exception_end)
    return licences + "\n\n\n" + text[exception_start:exception_end]


def main():
    read = lambda path: open(path, encoding="utf-8").read()
    rule = "=" * 72
    out = [HEADER,
           rule, "1. mingw-w64: C runtime and winpthreads", rule, "",
           linked_section(read(MINGW), LINKED), "",
           rule, "2. GCC: libstdc++ and libgcc", rule, "",
           gcc_section(read(GCC)), "",
           rule, "3. GNU General Public License, version 3", rule, "",
           read(GPL3).rstrip(), "",
           rule, "4. pugixml (torva-port.exe)", rule, "",
           linked_section(read(PUGIXML), PUGIXML_LINKED), "",
           rule, "5. CLI11 (torva-port.exe)", rule, "",
           linked_section(read(CLI11), CLI11_LINKED)]
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
