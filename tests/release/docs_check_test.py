#!/usr/bin/python3
"""docs_check.py source against a table of wrong READMEs, pages and guides,
each in a copy of the tree, and once against the tree as it stands:
    docs_check_test.py SOURCE_DIR GUIDE TORVA_PORT VERSION SCRATCH_DIR
"""
import os
import shutil
import subprocess
import sys

CHECK = os.path.join(os.path.dirname(os.path.abspath(__file__)), "docs_check.py")


def append(line):
    return lambda text: text + line + "\n"


def in_guide(line):
    """A line added to the guide, with its Windows line end."""
    return lambda text: text + line + "\r\n"


# What is changed (a file of the tree, or GUIDE), how, and what the check
# must say; None: it must find nothing.
CASES = [
    ("the tree as it stands", None, None, None),
    ("a make target that is not", "README.md", append("Run `make tset`."), "no make target tset"),
    ("a torva-port command that is not", "README.md", append("```sh\ntorva-port wach 115\n```"),
     "no torva-port command wach"),
    ("an option of check that is not", "README.md", append("`torva-port check --tapp lab.txt`"),
     "no check option --tapp"),
    ("a panel option that is not", "README.md", append("`torva-inout --wien`"), "no torva-inout option --wien"),
    ("a script that is not", "README.md", append("`scripts/session/wien.sh`"), "no file scripts/session/wien.sh"),
    ("a width that is not released", "README.md", append("`torva-inout_VERSION_windows-arm64.zip`"),
     "is no file of a release"),
    ("a page that is not", "docs/building.md", append("[the page](nothere.md)"), "leads nowhere"),
    ("a heading that is not", "README.md", append("[above](#no-such-heading)"), "names no heading"),
    ("a heading of another page that is not", "docs/lab.md", append("[there](releasing.md#nowhere)"),
     "names no heading of docs/releasing.md"),
    ("the guide with Unix line ends", "GUIDE", lambda text: text.replace("\r\n", "\n"),
     "not every line ends with CR LF"),
    ("a Markdown heading in the guide", "GUIDE", in_guide("## Starting"), "a heading"),
    ("a code span in the guide", "GUIDE", in_guide("Type `cmd`."), "a code span"),
    ("a Markdown link in the guide", "GUIDE", in_guide("See [the manual](man.txt)."), "a link or image"),
    ("a command of the guide that is not", "GUIDE", in_guide("  torva-port.exe wach 115  each change"),
     "no torva-port command wach"),
    ("a file of the guide that is not shipped", "GUIDE", in_guide("  CHANGES.txt       what changed"),
     "CHANGES.txt is no file of a Windows download"),
    ("a guide of 150 lines", "GUIDE", lambda text: text + "\r\n" * 150, "not under 150"),
    ("a character beyond ASCII", "GUIDE", in_guide("Caf\u00e9"), "not ASCII"),
]


def copy_tree(source, to):
    shutil.rmtree(to, ignore_errors=True)
    shutil.copytree(source, to, ignore=lambda folder, names: [n for n in names if folder == source and
                                                               n in ("build", ".git")])


def main(argv):
    if len(argv) != 6:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    source, guide, torva_port, version, scratch = argv[1:]
    failed = 0
    for what, path, change, expected in CASES:
        tree = os.path.join(scratch, "tree")
        copy_tree(source, tree)
        copied_guide = os.path.join(scratch, "README.txt")
        shutil.copyfile(guide, copied_guide)
        if path:
            target = copied_guide if path == "GUIDE" else os.path.join(tree, path)
            with open(target, encoding="utf-8", newline="") as f:
                text = f.read()
            with open(target, "w", encoding="utf-8", newline="") as f:
                f.write(change(text))
        run = subprocess.run([CHECK, "source", tree, copied_guide, torva_port, version], capture_output=True,
                             text=True)
        said = run.stdout + run.stderr
        if expected is None:
            right = run.returncode == 0
        else:
            right = run.returncode == 1 and expected in said
        print("%s: %s" % ("ok" if right else "FAILED", what))
        if not right:
            failed += 1
            print("  expected %s, exit status %d:\n%s" % (repr(expected) if expected else "nothing found",
                                                           run.returncode, said))
    print("%d of %d cases as they should be" % (len(CASES) - failed, len(CASES)))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
