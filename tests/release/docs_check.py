#!/usr/bin/python3
"""The README, the pages in docs/ and the Windows guide, checked against the
tree and the release they describe:
    docs_check.py source SOURCE_DIR GUIDE TORVA_PORT VERSION
        every command shown in the README and the guide exists (a make
        target, a torva-port command or option as `torva-port --help` lists
        it, a torva-inout option of its manual page, a script, a file of the
        release); every relative link in README.md and docs/*.md resolves,
        anchors included; GUIDE (the guide as the build wrote it) is plain
        text with Windows line ends
    docs_check.py release RELEASE_DIR SOURCE_DIR
        each .zip holds the guide, as dist/windows/README.txt.in makes it
        for the release's version, and each .msi installs it; the files the
        README and the guide name are in the release
"""
import fnmatch
import glob
import os
import re
import subprocess
import sys
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import msi_probe  # noqa: E402

failures = []


def fail(where, what):
    failures.append("%s: %s" % (where, what))


# The guide as Notepad shows it: what would be Markdown syntax there.
MARKDOWN = [
    ("a heading", r"^#{1,6} "),
    ("a heading's underline", r"^(=+|-{3,})\s*$"),
    ("a code fence", r"^\s*(```|~~~)"),
    ("a code span", r"`"),
    ("emphasis", r"\*\*|__|(?<![\w*])\*\w[^*]*\*(?!\w)"),
    ("a link or image", r"\]\(|!\["),
    ("a table row", r"^\s*\|"),
    ("a list bullet", r"^\s*[-*+] "),
    ("an HTML tag or web link in brackets", r"</?[A-Za-z]+(\s[^>]*)?>|<https?:"),
]
GUIDE_LINES = 150
GUIDE_WIDTH = 80

# Release files as the README and the guide name them: VERSION, or the
# version itself, and a width of scripts/release/release.sh --widths.
RELEASE_FILE = re.compile(r"torva-inout_[^\s`\"']+\.(?:zip|msi|deb)")
# A file of a Windows download, named first on a line of the guide.
DOWNLOAD_FILE = re.compile(r"^[\w-]+\.(?:exe|txt)$")


def release_names(source, version):
    widths = subprocess.run([os.path.join(source, "scripts/release/release.sh"), "--widths"], check=True,
                            capture_output=True, text=True).stdout.split()
    names = {"torva-inout_%s_amd64.deb" % version}
    for width in widths:
        names |= {"torva-inout_%s_windows-%s.%s" % (version, width, kind) for kind in ("zip", "msi")}
    return widths, names


def download_files(source):
    """The files of each Windows download: the list that msi.py installs."""
    with open(os.path.join(source, "scripts/release/msi.py"), encoding="utf-8") as f:
        match = re.search(r"^FILES = \[(.*)\]$", f.read(), re.M)
    return set(re.findall(r'"([^"]+)"', match.group(1)))


def named_release_files(text, version):
    """Release files named in a text: the names as written, with VERSION as
    the version, and an elided …-x64.msi as the full name."""
    names = set()
    for name in RELEASE_FILE.findall(text.replace("…-", "torva-inout_VERSION_windows-")):
        names.add(name.replace("VERSION", version))
    return names


# Where commands are shown: a Markdown page's code blocks and code spans,
# the guide's indented lines (the command ends at two blanks before its
# explanation).
def markdown_commands(text):
    lines, fenced = [], False
    for number, line in enumerate(text.split("\n"), 1):
        if re.match(r"^\s*```", line):
            fenced = not fenced
            continue
        if fenced:
            lines.append((number, line.split(" #")[0]))
        else:
            lines.extend((number, span) for span in re.findall(r"`([^`]+)`", line))
    return lines


def guide_commands(text):
    return [(number, re.split(r"\s{2,}", line.strip())[0])
            for number, line in enumerate(text.split("\n"), 1) if line.startswith("  ")]


def words(command):
    return [word.strip('"') for word in re.findall(r'"[^"]*"|\S+', command)]


class Commands:
    def __init__(self, source, torva_port, version):
        self.source = source
        self.version = version
        with open(os.path.join(source, "Makefile"), encoding="utf-8") as f:
            self.targets = {target for line in f if re.match(r"^[\w. -]+:(?!=)", line)
                            for target in line.split(":")[0].split()}
        self.port_help = subprocess.run([torva_port, "--help"], check=True, capture_output=True,
                                        text=True).stdout
        self.port_commands = set(re.findall(r"^  ([a-z][a-z-]*)\b", self.port_help, re.M))
        with open(os.path.join(source, "dist/torva-inout.1.in"), encoding="utf-8") as f:
            self.panel_options = set(re.findall(r"-[-a-z]+", f.read().replace("\\-", "-")))
        self.widths, self.release = release_names(source, version)
        self.downloads = download_files(source)

    def make(self, args):
        unknown = [a for a in args if "=" not in a and not a.startswith("-") and a not in self.targets]
        return "no make target %s" % ", ".join(unknown) if unknown else None

    def torva_port(self, args):
        while args and args[0].startswith("--wine"):
            args = args[1:]
        if not args:
            return None
        if args[0].startswith("-"):
            return None if args[0] in ("--help", "-h", "--version") else "no option %s" % args[0]
        if args[0] not in self.port_commands:
            return "no torva-port command %s" % args[0]
        unknown = [a for a in args[1:] if a.startswith("--") and a.split("=")[0] not in self.port_help]
        return "no %s option %s" % (args[0], ", ".join(unknown)) if unknown else None

    def torva_inout(self, args):
        unknown = [a for a in args if a.startswith("-") and a.split("=")[0] not in self.panel_options]
        return "no torva-inout option %s" % ", ".join(unknown) if unknown else None

    def script(self, program, args):
        return None if os.path.exists(os.path.join(self.source, program)) else "no file %s" % program

    def check(self, command):
        """What is wrong with a command as shown, or None."""
        args = words(command)
        while args and (re.match(r"^[A-Z_0-9]+=", args[0]) or args[0] in ("sudo", "$")):
            args = args[1:]
        if not args:
            return None
        program = args[0].replace("\\", "/")
        name = os.path.basename(program)
        for pattern, rule in RULES:
            if re.fullmatch(pattern, program if "/" in pattern else name):
                return rule(self, program, args[1:])
        return None


# The programs whose commands are checked, by the name as shown.
RULES = [
    (r"make", lambda c, program, args: c.make(args)),
    (r"torva-port(\.exe)?", lambda c, program, args: c.torva_port(args)),
    (r"torva-inout(\.exe)?", lambda c, program, args: c.torva_inout(args)),
    (r"(scripts|tests|bench)/[\w/.-]+\.(sh|py)", lambda c, program, args: c.script(program, args)),
]


def check_commands(commands, where, shown, text):
    for number, command in shown:
        problem = commands.check(command)
        if problem:
            fail("%s:%d" % (where, number), "%s (in: %s)" % (problem, command.strip()))
        first = (words(command) or [""])[0]
        if where.endswith(".txt") and DOWNLOAD_FILE.match(first) and first not in commands.downloads:
            fail("%s:%d" % (where, number), "%s is no file of a Windows download" % first)
    for name in named_release_files(text, commands.version):
        if not fnmatch.filter(commands.release, name):
            fail(where, "%s is no file of a release (%s)" % (name, ", ".join(sorted(commands.release))))


def slug(heading):
    """A heading's anchor as GitHub makes it."""
    text = re.sub(r"[^\w\- ]", "", heading.strip().lower().replace("`", ""))
    return text.replace(" ", "-")


def anchors(path):
    with open(path, encoding="utf-8") as f:
        text = re.sub(r"^```.*?^```", "", f.read(), flags=re.M | re.S)
    return {slug(m) for m in re.findall(r"^#{1,6} (.*)$", text, re.M)}


def check_links(source, page):
    where = os.path.relpath(page, source)
    with open(page, encoding="utf-8") as f:
        text = f.read()
    text = re.sub(r"^\s*```.*?^\s*```", "", text, flags=re.M | re.S)
    text = re.sub(r"`[^`\n]*`", "", text)
    for target in re.findall(r"\]\(([^)\s]+)\)", text):
        if re.match(r"^[a-z][a-z0-9+.-]*:", target):
            continue
        path, _, anchor = target.partition("#")
        full = os.path.normpath(os.path.join(os.path.dirname(page), path)) if path else page
        if not os.path.exists(full):
            fail(where, "the link %s leads nowhere" % target)
        elif anchor and (not full.endswith(".md") or anchor not in anchors(full)):
            fail(where, "the link %s names no heading of %s" % (target, os.path.relpath(full, source)))


def check_plain_text(where, data, version):
    """The guide as shipped: Windows line ends, ASCII (alike in every code
    page), short lines, no Markdown syntax, the version filled in."""
    if not data.endswith(b"\r\n") or data.count(b"\n") != data.count(b"\r\n") or \
            data.count(b"\r") != data.count(b"\r\n"):
        fail(where, "not every line ends with CR LF")
    try:
        text = data.decode("ascii")
    except UnicodeDecodeError as error:
        fail(where, "a character that is not ASCII at byte %d" % error.start)
        text = data.decode("utf-8", "replace")
    lines = text.replace("\r\n", "\n").split("\n")[:-1]
    if len(lines) >= GUIDE_LINES:
        fail(where, "%d lines, not under %d" % (len(lines), GUIDE_LINES))
    if version not in lines[0]:
        fail(where, "the first line names no version %s" % version)
    for number, line in enumerate(lines, 1):
        if len(line) > GUIDE_WIDTH:
            fail("%s:%d" % (where, number), "longer than %d characters" % GUIDE_WIDTH)
        if re.search(r"@\w+@", line):
            fail("%s:%d" % (where, number), "a value left unfilled")
        for what, pattern in MARKDOWN:
            if re.search(pattern, line):
                fail("%s:%d" % (where, number), "Markdown syntax, %s: %s" % (what, line))
    return text


def source_checks(source, guide, torva_port, version):
    commands = Commands(source, torva_port, version)
    with open(os.path.join(source, "README.md"), encoding="utf-8") as f:
        readme = f.read()
    check_commands(commands, "README.md", markdown_commands(readme), readme)
    with open(guide, "rb") as f:
        text = check_plain_text(os.path.basename(guide), f.read(), version)
    check_commands(commands, "dist/windows/README.txt", guide_commands(text.replace("\r\n", "\n")), text)
    for page in [os.path.join(source, "README.md")] + sorted(glob.glob(os.path.join(source, "docs", "*.md"))):
        check_links(source, page)


def field(deb, name):
    return subprocess.run(["dpkg-deb", "-f", deb, name], check=True, capture_output=True,
                          text=True).stdout.strip()


def release_checks(release, source):
    debs = glob.glob(os.path.join(release, "torva-inout_*.deb"))
    if not debs:
        fail(release, "no Debian package, whose version the release's is")
        return
    values = {"PROJECT_VERSION": field(debs[0], "Version"),
              "TORVA_PACKAGE_MAINTAINER": field(debs[0], "Maintainer")}
    version = values["PROJECT_VERSION"]
    with open(os.path.join(source, "dist/windows/README.txt.in"), encoding="utf-8") as f:
        guide = re.sub(r"@(\w+)@", lambda m: values[m.group(1)], f.read()).replace("\n", "\r\n").encode()
    widths, names = release_names(source, version)
    for width in widths:
        name = "torva-inout_%s_windows-%s" % (version, width)
        try:
            with zipfile.ZipFile(os.path.join(release, name + ".zip")) as archive:
                shipped = archive.read(name + "/README.txt")
                members = {os.path.basename(member) for member in archive.namelist()}
        except (OSError, KeyError, zipfile.BadZipFile) as error:
            fail(name + ".zip", "no guide %s/README.txt: %s" % (name, error))
            continue
        if shipped != guide:
            fail(name + ".zip", "README.txt is not dist/windows/README.txt.in for %s" % version)
        check_plain_text(name + ".zip/README.txt", shipped, version)
        for file in sorted(download_files(source) - members):
            fail(name + ".zip", "no %s, which the guide names" % file)
        try:
            rows = msi_probe.table(os.path.join(release, name + ".msi"), "File")
        except (OSError, subprocess.CalledProcessError) as error:
            fail(name + ".msi", "its File table cannot be read: %s" % error)
            continue
        readme = [row for row in rows if row["FileName"].split("|")[-1] == "README.txt"]
        if len(readme) != 1 or int(readme[0]["FileSize"]) != len(guide):
            fail(name + ".msi", "installs no README.txt of the guide's %d bytes (%s)" % (len(guide), readme))
    present = set(os.listdir(release))
    for page in ("README.md", "dist/windows/README.txt.in"):
        with open(os.path.join(source, page), encoding="utf-8") as f:
            text = f.read().replace("@PROJECT_VERSION@", version)
        for named in sorted(named_release_files(text, version)):
            if not fnmatch.filter(present, named):
                fail(page, "names %s, which the release does not hold" % named)


def main(argv):
    if len(argv) == 6 and argv[1] == "source":
        source_checks(*argv[2:])
    elif len(argv) == 4 and argv[1] == "release":
        release_checks(argv[2], argv[3])
    else:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    for failure in failures:
        print("FAILED: " + failure)
    print("docs %s: %s" % (argv[1], "%d failed" % len(failures) if failures else "all hold"))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
