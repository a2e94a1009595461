# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Veliso contributors
"""The gas tab's Tab cycle as a screen reader follows it through the accessibility bus.

Run by run_at_spi_test with the program started on the gas tab. Presses Tab until the focus
comes back to where it started and checks that every stop has a name, that no stop lies in a
frame other than the main window, and that the cycle reaches the 3D view. Prints the cycle.
"""

import os
import subprocess
import sys
import time

import pyatspi

VIEW_NAME = "Vue 3D : état gazeux"


def application():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and (app.name or "").lower().startswith("veliso"):
            return app
    return None


def walk(obj, depth=0):
    yield obj
    if depth > 30:
        return
    for i in range(obj.childCount):
        child = obj.getChildAtIndex(i)
        if child is not None:
            yield from walk(child, depth + 1)


def main_frame(app):
    """The main window once it is active (the splash has closed)."""
    for i in range(app.childCount):
        window = app.getChildAtIndex(i)
        if (window is not None and window.getRole() == pyatspi.ROLE_FRAME
                and window.name.strip() == "Veliso"
                and window.getState().contains(pyatspi.STATE_ACTIVE)):
            return window
    return None


def focused(frame):
    """The innermost focused object: a tab widget says it has the focus of its tab bar."""
    found = None
    for obj in walk(frame):
        if obj.getState().contains(pyatspi.STATE_FOCUSED):
            found = obj
    return found


def frames_above(obj, frame):
    """The objects with the frame role between obj and the main window."""
    found = []
    parent = obj.parent
    while parent is not None and parent != frame:
        if parent.getRole() == pyatspi.ROLE_FRAME:
            found.append(parent.name)
        parent = parent.parent
    return found


def describe(obj):
    try:
        value = obj.queryValue().currentValue
        value = " valeur %g" % value
    except NotImplementedError:
        value = ""
    return "%s | %s%s" % (obj.getRoleName(), obj.name, value)


def wait_for(what, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = what()
        if found is not None:
            return found
        time.sleep(0.25)
    return None


def active_main_frame(app):
    """The main window once the splash has closed and it is active, or None.

    The window manager activates it by itself, or a click on the status bar's credit (which
    does nothing else) does; failing both, the windows and their states are printed."""
    frame = wait_for(lambda: main_frame(app), 20)
    if frame is None:
        for i in range(app.childCount):
            window = app.getChildAtIndex(i)
            if window.getRole() == pyatspi.ROLE_FRAME and window.name.strip() == "Veliso":
                x, y, w, h = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                subprocess.run(["xdotool", "mousemove", str(x + w - 30), str(y + h - 8),
                                "click", "1"], check=False)
        frame = wait_for(lambda: main_frame(app), 20)
    if frame is None:
        print("FAIL: no active frame named Veliso")
        for i in range(app.childCount):
            window = app.getChildAtIndex(i)
            print("  window: %s | %r | %s" % (window.getRoleName(), window.name, [
                pyatspi.stateToString(s) for s in window.getState().getStates()]))
    return frame


def program_main_frame():
    """The program's active main window on the accessibility bus, or None, saying why."""
    app = wait_for(application, 30)
    if app is None:
        print("FAIL: the program never showed on the accessibility bus")
        return None
    return active_main_frame(app)


def main():
    frame = program_main_frame()
    if frame is None:
        return 1
    start = wait_for(lambda: focused(frame), 10)
    if start is None:
        print("FAIL: nothing has the focus in the main window")
        return 1

    stops = []
    failures = []
    current = start
    for _ in range(60):
        key = (current.getRoleName(), current.name,
               tuple(current.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)))
        if stops and key == stops[0][0]:
            break
        stops.append((key, current))
        if not current.name.strip():
            failures.append("unnamed stop: %s" % describe(current))
        frames = frames_above(current, frame)
        if frames:
            failures.append("%s lies in frames %s" % (describe(current), frames))
        # A screen reader running beside (VELISO_ORCA_LOG) needs time to say each stop.
        time.sleep(float(os.environ.get("VELISO_TAB_PAUSE", "0")))
        subprocess.run(["xdotool", "key", "Tab"], check=True)
        previous = current
        current = wait_for(lambda: (lambda f: f if f is not None and f != previous else None)(
            focused(frame)), 3)
        if current is None:
            failures.append("Tab left the focus on %s" % describe(previous))
            break
    else:
        failures.append("the Tab cycle never came back to its start")

    print("Tab cycle of the gas tab, %d stops:" % len(stops))
    for _, obj in stops:
        print("  " + describe(obj))
    if not any(obj.name == VIEW_NAME for _, obj in stops):
        failures.append("the cycle never reaches the view (%s)" % VIEW_NAME)
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
