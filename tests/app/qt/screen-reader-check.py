"""The screen reader's side of read-by-screen-reader: finds the recorder's window on the
accessibility bus, checks every control's name and role, presses Save as, Record, Stop and Close
by their accessible actions, and listens for the status panel's and the level meter's changes.

    screen-reader-check.py FILE TYPE_FILE_NAME READY_FILE

FILE is the recording to make; TYPE_FILE_NAME a command that types its argument into the
window's Save dialog; READY_FILE is created once the reader listens for events, so that the
program starts only then: an application asks the accessibility registry at its start which
events a reader wants, and one that misses the later news of a new listener tells it nothing.
Every wait is bounded; a failure says what was missing and exits 1.
"""
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

CAPTION = "Corvatone v 1.00"
BOUND_S = 30.0

heard = []  # (event type, source's role, source's name, value)


def fail(message):
    print("screen-reader-check: " + message, file=sys.stderr)
    sys.exit(1)


def pump():
    context = GLib.MainContext.default()
    while context.iteration(False):
        pass


def await_true(what, test):
    """Pumps the bus's events until test() holds; fails after BOUND_S seconds."""
    deadline = time.monotonic() + BOUND_S
    while time.monotonic() < deadline:
        pump()
        result = test()
        if result:
            return result
        time.sleep(0.05)
    fail("waited in vain for " + what)


def on_event(event):
    source = event.source
    try:
        role, name = source.getRoleName(), source.name
        value = source.queryValue().currentValue if role == "progress bar" else None
    except Exception:  # the object may be gone already; the event is still counted
        role, name, value = "", "", None
    heard.append((event.type, role, name, value))


def find_window():
    for app in pyatspi.Registry.getDesktop(0):
        if app is None:
            continue
        for child in app:
            if child is not None and child.name == CAPTION:
                return child
    return None


def walk(node, found):
    for child in node:
        if child is None:
            continue
        found.append(child)
        walk(child, found)
    return found


def one(objects, role, name):
    matches = [o for o in objects if o.getRoleName() == role and o.name == name]
    if len(matches) != 1:
        fail('expected one %s named "%s", found %d' % (role, name, len(matches)))
    return matches[0]


def labelled_by(node):
    names = []
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            names += [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return names


def press(node):
    action = node.queryAction()
    names = [action.getName(i) for i in range(action.nActions)]
    for index, name in enumerate(names):
        if name.lower() in ("press", "click"):
            action.doAction(index)
            return
    fail('"%s" has no press action, only %s' % (node.name, names))


def check_tree(window):
    objects = walk(window, [])
    for name in ("Record", "Pause", "Stop", "Minimize", "Close Corvatone", "Save as"):
        one(objects, "push button", name)
    for name in ("No Limit", "Custom"):
        if one(objects, "radio button", name).description != "Duration in seconds":
            fail('"%s" is not described by its group' % name)
    one(objects, "spin button", "Duration in seconds")
    one(objects, "text", "Output file")
    one(objects, "status bar", "Status")
    for name in ("Recording progress", "Input level"):
        bar = one(objects, "progress bar", name)
        if bar.queryValue().maximumValue != 100:
            fail('"%s" does not range to 100' % name)
    lists = [o for o in objects if o.getRoleName() == "combo box"]
    labels = sorted(sum((labelled_by(o) for o in lists), []))
    if labels != ["Sample Rate:", "kbs"]:
        fail("the lists are labelled by %s" % labels)
    # The input chooser: a button named by the input it records from, pressed to open its menu.
    # Qt's own accessible says it has a popup (the app tests check that); the AT-SPI bridge of
    # the Qt this runs on passes no popup state on, so the reader gets the role and the press.
    choosers = [o for o in objects if o.description == "Device"]
    if len(choosers) != 1 or not choosers[0].name.startswith("Input: "):
        fail("no chooser names the input: %s" % [(o.getRoleName(), o.name) for o in choosers])
    if choosers[0].getRoleName() not in ("push button", "push button menu"):
        fail("the input chooser is a %s" % choosers[0].getRoleName())
    action = choosers[0].queryAction()
    if not any(action.getName(i).lower() in ("press", "click") for i in range(action.nActions)):
        fail("the input chooser cannot be pressed")
    return objects


def statuses_heard():
    return [e[2] for e in heard if e[0].endswith("accessible-name") and e[1] == "status bar"]


def main():
    mp3, type_file_name, ready_file = sys.argv[1], sys.argv[2], sys.argv[3]
    pyatspi.Registry.registerEventListener(on_event, "object:property-change:accessible-name")
    pyatspi.Registry.registerEventListener(on_event, "object:property-change:accessible-value")
    open(ready_file, "w").close()
    window = await_true('the window "%s" on the bus' % CAPTION, find_window)
    objects = check_tree(window)
    status = one(objects, "status bar", "Status")

    press(one(objects, "push button", "Save as"))
    subprocess.run([type_file_name, mp3], check=True, timeout=60)
    output = one(objects, "text", "Output file")
    await_true("the chosen file in the output box",
               lambda: output.queryText().getText(0, -1) == mp3)

    press(one(objects, "push button", "Record"))
    await_true('the status "Record"', lambda: status.name == "Record")
    await_true("the file growing past 3 s of sound",
               lambda: os.path.exists(mp3) and os.path.getsize(mp3) > 48000)
    await_true("the level meter's value heard",
               lambda: any(e[1] == "progress bar" and e[2] == "Input level" and e[3]
                           for e in heard))
    press(one(objects, "push button", "Stop"))
    await_true('the status "MP3 Done"', lambda: status.name == "MP3 Done")
    await_true('the status "MP3 Done" heard', lambda: statuses_heard()[-1:] == ["MP3 Done"])
    # Each change once: a change told twice is said twice.
    if statuses_heard() != ["Record", "Mp3 Done", "MP3 Done"]:
        fail("the status changes heard were %s" % statuses_heard())
    press(one(objects, "push button", "Close Corvatone"))


main()
