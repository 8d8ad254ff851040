#!/usr/bin/env python3
"""What a screen reader hears of the running program, read from the AT-SPI
tree: the toolbar's names, the recipient rows as check boxes with their
tick, and the tick's change announced when Space is pressed.

Usage: atspi-check.py dump | space-event KEYCOMMAND...
  dump          prints one line per object the checks look at, and fails
                when a name, role or state is not what a reader needs;
  space-event   runs KEYCOMMAND (the Space press), and fails unless the
                focused row announces its checked state's change.
"""
import sys
import threading
import time
import subprocess

import pyatspi

TOOLBAR = ["Отправить файл на выбранные адреса", "Удалить файл",
           "Просмотреть удалённые файлы", "Настройки"]


def fail(text):
    print("AT-SPI FAILED: " + text, file=sys.stderr)
    sys.exit(1)


def application():
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            if app is not None and app.name == "dorvel":
                return app
        time.sleep(0.1)
    fail("no application named dorvel on the accessibility bus")


def walk(node, depth=0):
    yield node, depth
    for child in node:
        if child is not None:
            yield from walk(child, depth + 1)


def role(node):
    return node.getRoleName()


def states(node):
    return node.getState()


def rows(app):
    """The recipient rows: what a reader finds named by a recipient line."""
    return [n for n, _ in walk(app) if n.name.startswith("L_")]


def checked(node):
    return states(node).contains(pyatspi.STATE_CHECKED)


def dump(app):
    buttons = [n for n, _ in walk(app) if role(n) == "push button"]
    names = [b.name for b in buttons]
    for b in buttons:
        print("button %r" % b.name)
    for wanted in TOOLBAR:
        if wanted not in names:
            fail("no push button named %r; buttons: %r" % (wanted, names))
    found = rows(app)
    if len(found) != 3:
        fail("expected the three recipient rows, found %r" % [r.name for r in found])
    for row in found:
        print("row %r role %s checked %s" % (row.name, role(row), checked(row)))
        # A reader says "check box, not checked" only for a check box: a
        # list item without the state sounds like any other row.
        if role(row) != "check box":
            fail("row %r is a %s, not a check box" % (row.name, role(row)))
    ticked = {r.name: checked(r) for r in found}
    if ticked != {"L_KIEV Kiev": True, "L_LVIV Lviv": False, "L_ODESA Odesa": False}:
        fail("the rows' checked states are not the ticks: %r" % ticked)
    # The row's own action ticks it, as a reader's "activate" does.
    odesa = found[2]
    action = odesa.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    print("actions %r" % names)
    if not names:
        fail("the row offers no action")
    action.doAction(0)
    for _ in range(50):
        if checked(odesa):
            break
        time.sleep(0.1)
    else:
        fail("the row's action %r did not tick it" % names[0])


def space_event(app, command):
    heard = []

    def listener(event):
        if event.source is not None and event.source.name.startswith("L_"):
            heard.append((event.source.name, event.detail1))

    pyatspi.Registry.registerEventListener(listener, "object:state-changed:checked")
    done = threading.Event()

    def press():
        time.sleep(1)
        subprocess.run(command, check=False)
        for _ in range(50):
            if heard:
                break
            time.sleep(0.1)
        done.set()
        pyatspi.Registry.stop()

    threading.Thread(target=press, daemon=True).start()
    pyatspi.Registry.start()
    done.wait(10)
    print("heard %r" % heard)
    if ("L_KIEV Kiev", 0) not in heard:
        fail("Space on the ticked first row announced no change to not checked")


def main():
    app = application()
    if sys.argv[1] == "dump":
        dump(app)
    elif sys.argv[1] == "space-event":
        space_event(app, sys.argv[2:])
    else:
        fail("no such check")


if __name__ == "__main__":
    main()
