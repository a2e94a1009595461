# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Veliso contributors
"""The arrow keys turn the view for a keyboard user, found through the accessibility bus.

Run by run_at_spi_test with the program started on the solid tab, whose crystal stands still
at 0 K: gives the view the focus as a screen reader would, checks that its picture holds
still, presses Right three times and checks that the picture changed.
"""

import shutil
import subprocess
import sys
import tempfile
import time

import pyatspi

from gas_tab_cycle import program_main_frame, walk, wait_for

VIEW_NAME = "Vue 3D : état solide"
# A turn of 15 degrees moves most of the crystal; noise would change nothing at all.
MIN_CHANGED_PIXELS = 1000


def view_in(frame):
    for obj in walk(frame):
        if obj.name == VIEW_NAME:
            return obj
    return None


def picture(extents, path):
    x, y, w, h = extents
    subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (w, h, x, y), path],
                   check=True)


def changed_pixels(a, b):
    result = subprocess.run(["compare", "-metric", "AE", a, b, "null:"],
                            capture_output=True, text=True)
    return int(float(result.stderr.split()[0]))


def main():
    for tool in ("import", "compare"):
        if shutil.which(tool) is None:
            print("skipped: %s (imagemagick) is missing" % tool)
            return 77
    frame = program_main_frame()
    if frame is None:
        return 1
    view = wait_for(lambda: view_in(frame), 10)
    if view is None:
        print("FAIL: no object named %s" % VIEW_NAME)
        return 1
    component = view.queryComponent()
    component.grabFocus()
    if wait_for(lambda: view.getState().contains(pyatspi.STATE_FOCUSED) or None, 5) is None:
        print("FAIL: the view does not take the focus")
        return 1
    extents = tuple(component.getExtents(pyatspi.DESKTOP_COORDS))
    with tempfile.TemporaryDirectory() as folder:
        shots = ["%s/%d.png" % (folder, i) for i in range(3)]
        time.sleep(0.5)
        picture(extents, shots[0])
        time.sleep(0.3)
        picture(extents, shots[1])
        still = changed_pixels(shots[0], shots[1])
        for _ in range(3):
            subprocess.run(["xdotool", "key", "Right"], check=True)
            time.sleep(0.1)
        time.sleep(0.5)
        picture(extents, shots[2])
        turned = changed_pixels(shots[1], shots[2])
    print("view %s at %s: %d pixels change while still, %d after three Right keys"
          % (VIEW_NAME, extents, still, turned))
    if still != 0:
        print("FAIL: the solid tab's view is not still")
        return 1
    if turned < MIN_CHANGED_PIXELS:
        print("FAIL: the arrow keys did not turn the view")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
