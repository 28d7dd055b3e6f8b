"""What a screen reader hears of the running window, over AT-SPI.

Run by scripts/check-atspi.sh inside its D-Bus session, with the program
already started. Types with xdotool as an operator would and prints the
accessible names, the call-sign box's description and each
object:property-change:accessible-description event with its any_data.
"""

import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

EVENT = "object:property-change:accessible-description"


def find_app(name, seconds=15):
    deadline = time.time() + seconds
    while time.time() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        time.sleep(0.3)
    sys.exit(f"no application named {name!r} on the AT-SPI bus")


def controls(app):
    """Every object of the window with a name or a label, depth first."""
    found = []

    def walk(node):
        for child in node:
            if child is None:
                continue
            found.append(child)
            walk(child)

    walk(app)
    return found


def labelled_by(node):
    names = []
    for relation in node.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABELLED_BY:
            names += [relation.getTarget(i).name for i in range(relation.getNTargets())]
    return names


def shown(event):
    """any_data as a screen reader gets it: the new text, or what came instead."""
    data = event.any_data
    if isinstance(data, str):
        return f"text {data!r}"
    if isinstance(data, pyatspi.Accessible):
        same = " (the box itself)" if data == event.source else ""
        return f"an accessible object, role {data.getRoleName()!r}, name {data.name!r}{same}"
    return f"{type(data).__name__} {data!r}"


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


def type_keys(text):
    xdotool("type", "--delay", "40", text)


def main():
    app = find_app("cardel")
    nodes = controls(app)
    print("Controls over AT-SPI (role, name, labelled by):")
    for node in nodes:
        label = labelled_by(node)
        if node.name or label:
            print(f"  {node.getRoleName():12} {node.name!r:16} {label}")
    call_box = next(n for n in nodes if n.name == "Nominativo" and n.getRoleName() == "text")

    events = []

    def on_event(event):
        events.append(event)
        print(f"  event {event.type} from {event.source.name!r}: any_data {shown(event)}"
              f"; description read now {event.source.description!r}")

    pyatspi.Registry.registerEventListener(on_event, EVENT)

    def pump(seconds):
        loop = GLib.MainLoop()
        GLib.timeout_add(int(seconds * 1000), loop.quit)
        loop.run()

    def step(what, keys):
        print(f"{what}:")
        keys()
        pump(1.0)
        print(f"  description read afterwards: {call_box.description!r}")

    step("One contact typed: Q1ABC, 012, JN61FW, Enter",
         lambda: (type_keys("q1abc"), xdotool("key", "Tab"), type_keys("012"),
                  xdotool("key", "Tab"), type_keys("jn61fw"), xdotool("key", "Return")))
    step("Duplicate typed: q1ab", lambda: type_keys("q1ab"))
    step("Backspace, down to three characters", lambda: xdotool("key", "BackSpace"))

    carried = [e for e in events if e.source.name == "Nominativo"]
    texts = sum(isinstance(e.any_data, str) for e in carried)
    print(f"{len(carried)} description events from the call-sign box, "
          f"{texts} of them carrying the new text")


if __name__ == "__main__":
    main()
