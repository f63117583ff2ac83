#!/usr/bin/python3
"""The panel's accessible tree as a screen reader reads it over AT-SPI.

accessible_tree.py APP_NAME [--dump | --type FIELD TEXT]: waits for the
application on the accessibility bus, then checks the window and its four
fields against the table below; exit status 0 when all hold. --dump prints
the tree instead; --type sets the text of the field named FIELD, as an
assistive tool types.
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

HINT = "To enter HEX digits, use  [ &H ] prefix."

# role, name, description, states it must have, states it must not have,
# text; the role None stands for the application's window, whatever its role.
# Qt calls every line edit editable; a read-only one is told by its state.
EXPECTED = [
    (None, "TORVA_InOut - TORVA_קלט_פלט", None, {"enabled", "active"}, set(), None),
    ("text", "Read UNSIGNED BYTE from port 110 (6EH):", HINT, {"editable", "focusable", "enabled"}, {"read-only"}, None),
    ("text", "Read SIGNED WORD from port 112 (70H):", HINT, {"editable", "focusable", "enabled"}, {"read-only"}, None),
    ("text", "Write UNSIGNED BYTE to Port 115 (73H):", "", {"read-only", "enabled", "sensitive"}, {"focusable"}, "42"),
    ("text", "Write SIGNED WORD to Port 117 (75H):", "", {"read-only", "enabled", "sensitive"}, {"focusable"}, "-4"),
]


def states(node):
    held = node.get_state_set().get_states()
    return {Atspi.StateType(s).value_nick for s in held}


def text_of(node):
    if "Text" not in node.get_interfaces():
        return None
    return Atspi.Text.get_text(node, 0, Atspi.Text.get_character_count(node))


def walk(node):
    yield node
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield from walk(child)


def find_app(name, seconds=20):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_name() == name:
                return app
        time.sleep(0.2)
    return None


def describe(node):
    return (node.get_role_name(), node.get_name(), node.get_description(), sorted(states(node)), text_of(node))


def check(app):
    nodes = list(walk(app))
    failures = 0
    for role, name, description, must, must_not, text in EXPECTED:
        candidates = [app.get_child_at_index(0)] if role is None else [n for n in nodes if n.get_role_name() == role]
        found = [n for n in candidates if n is not None and n.get_name() == name]
        if not found:
            print(f"FAILED: no {role or 'window'} named {name!r}")
            failures += 1
            continue
        node = found[0]
        have = states(node)
        problems = []
        if description is not None and node.get_description() != description:
            problems.append(f"description {node.get_description()!r}, expected {description!r}")
        if must - have:
            problems.append(f"lacks {sorted(must - have)}")
        if must_not & have:
            problems.append(f"has {sorted(must_not & have)}")
        if text is not None and text_of(node) != text:
            problems.append(f"reads {text_of(node)!r}, expected {text!r}")
        print(("FAILED: " if problems else "ok: ") + f"{role or 'window'} {name!r}" + (": " + "; ".join(problems) if problems else ""))
        failures += bool(problems)
    return failures


def main():
    app = find_app(sys.argv[1])
    if app is None:
        print(f"FAILED: {sys.argv[1]} is not on the accessibility bus")
        return 1
    if "--dump" in sys.argv:
        for node in walk(app):
            print(describe(node))
        return 0
    if "--type" in sys.argv:
        name, text = sys.argv[sys.argv.index("--type") + 1 :][:2]
        return type_into(app, name, text)
    # The output fields show what the ticks read; wait for them.
    for _ in range(50):
        if check_quietly(app):
            break
        time.sleep(0.1)
    return 1 if check(app) else 0


def type_into(app, name, text):
    for _ in range(100):
        fields = [n for n in walk(app) if n.get_role_name() == "text" and n.get_name() == name]
        if fields:
            if Atspi.EditableText.set_text_contents(fields[0], text):
                return 0
            print(f"FAILED: the field {name!r} took no text")
            return 1
        time.sleep(0.2)
    print(f"FAILED: no field {name!r} on the accessibility bus")
    return 1


def check_quietly(app):
    texts = [text_of(n) for n in walk(app) if n.get_role_name() == "text"]
    return "42" in texts and "-4" in texts


if __name__ == "__main__":
    sys.exit(main())
