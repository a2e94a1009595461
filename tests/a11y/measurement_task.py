# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Veliso contributors
"""The measurement task as a screen-reader user does it, through the accessibility bus.

Run by run_at_spi_test with the program started on the gas tab. From the temperature slider:
End (500 K), Ctrl+M, Space (a row), Ctrl+M back to the slider, Home (10 K), Ctrl+M, Space
(a second row), Tab to "Ajustement" and Down (a proportional fit), Tab to the table and
Ctrl+Shift+R (a row read whole), Tab to "Exporter CSV…", Space, and Return in the file dialog. After each step the program
must say what it did (a notification read by screen readers) or move the focus where the
step leads; the table's cells must carry their column's title, and the export dialog its
folder and the file name field the folder too. Prints what was said.
"""

import glob
import os
import subprocess
import sys
import time

import pyatspi
from gi.repository import GLib

from gas_tab_cycle import program_main_frame, walk, wait_for

said = []
# Said from inside a dialog, a sentence would come after the dialog's title and status lines.
said_in_dialog = []
focus = [None]  # the object that last took the focus, as the focus events tell it


def on_event(event):
    try:
        if event.type.startswith("object:state-changed:focused"):
            if event.detail1:
                focus[0] = event.source
        elif event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
            said.append(event.source.name)
            if pyatspi.findAncestor(event.source,
                                    lambda o: o.getRole() == pyatspi.ROLE_DIALOG) is not None:
                said_in_dialog.append(event.source.name)
    except Exception:  # an object gone meanwhile says nothing
        pass


def pumped(what, seconds=10):
    """Runs the accessibility events until what() gives something, or None after `seconds`."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while GLib.MainContext.default().iteration(False):
            pass
        found = what()
        if found:
            return found
        time.sleep(0.05)
    return None


def key(name):
    subprocess.run(["xdotool", "key", "--clearmodifiers", name], check=True)


def find(root, role, start):
    for obj in walk(root):
        if obj.getRole() == role and (obj.name or "").startswith(start):
            return obj
    return None


def same(a, b):
    return a is not None and a.getRole() == b.getRole() and a.name == b.name


def labelled(root, caption):
    """The control that the label starting with `caption` labels."""
    label = find(root, pyatspi.ROLE_LABEL, caption)
    if label is None:
        return None
    for relation in label.getRelationSet():
        if relation.getRelationType() == pyatspi.RELATION_LABEL_FOR:
            return relation.getTarget(0)
    return None


class Task:
    def __init__(self):
        self.failures = []

    def check(self, step, ok, detail=""):
        print("%s %s%s" % ("ok  " if ok else "FAIL", step, (": " + detail) if detail else ""))
        if not ok:
            self.failures.append(step)
        return ok

    def says(self, step, *parts):
        """The next thing said after the step holds every one of `parts`."""
        start = len(said)
        text = pumped(lambda: next((s for s in said[start:] if all(p in s for p in parts)), None))
        self.check(step, text is not None, text or "heard %r" % said[start:])
        return text

    def tab_to(self, step, target):
        """Tab until the focus is on `target` (at most once round the window)."""
        for _ in range(30):
            now = pumped(lambda: focus[0], 3)
            if now is not None and any(same(o, target) for o in (now, now.parent)):
                return self.check(step, True)
            key("Tab")
            pumped(lambda: focus[0] != now, 3)
        return self.check(step, False, "never reached by Tab")

    def focus_goes(self, step, name):
        found = pumped(lambda: (lambda f: f if f is not None and f.name == name else None)(
            focus[0]))
        self.check(step, found is not None, "focus on %r" % name)


def main():
    frame = program_main_frame()
    if frame is None:
        return 1
    app = frame.getApplication()
    pyatspi.Registry.registerEventListener(on_event, "object:property-change:accessible-name",
                                           "object:state-changed:focused")
    task = Task()

    # A slider is shown to screen readers as a spin button, whose text carries the unit.
    slider = wait_for(lambda: find(frame, pyatspi.ROLE_SPIN_BUTTON, "Température du gaz"), 10)
    if not task.check("the gas temperature slider", slider is not None):
        return 1
    slider.queryComponent().grabFocus()
    task.focus_goes("the slider takes the focus", "Température du gaz")
    key("End")
    task.says("500 K", "Température", "500")

    key("ctrl+m")
    task.focus_goes("Ctrl+M opens on the button", "Ajouter le relevé")
    dialog = find(app, pyatspi.ROLE_DIALOG, "Relevés de mesures")
    if not task.check("the measurement window", dialog is not None):
        return 1
    # A row holds the wall hits of a whole simulated second counted in its state.
    pumped(lambda: "Moyenne" in (find(dialog, pyatspi.ROLE_LABEL, "Dernière seconde") or
                                 frame).name)
    key("space")
    task.says("the first row", "Relevé 1 ajouté", "500", "1 relevé dans le tableau")

    key("ctrl+m")
    task.focus_goes("Ctrl+M goes back to the slider", "Température du gaz")
    key("Home")
    task.says("10 K", "Température", "10")
    key("ctrl+m")
    task.focus_goes("Ctrl+M comes back to the button", "Ajouter le relevé")
    key("space")
    task.says("the second row", "Relevé 2 ajouté", "2 relevés dans le tableau")

    fit = labelled(dialog, "Ajustement")
    if task.check("the fit's choice", fit is not None) and task.tab_to("Tab to it", fit):
        key("Down")
        task.says("a proportional fit", "Ajustement proportionnelle", "a = 340", "R² = 1")

    table = find(dialog, pyatspi.ROLE_TABLE, "Tableau des relevés")
    if task.check("the table", table is not None):
        cells = table.queryTable()
        for column, name in ((3, "Température T (K)\u00a0: 500"), (10, "Série\u00a0: 1")):
            cell = cells.getAccessibleAt(0, column).name
            task.check("cell (1, %d) with its title" % (column + 1), cell == name, repr(cell))
        if task.tab_to("Tab to the table", table):
            key("ctrl+shift+r")
            task.says("the row read whole", "Relevé ", "série 1", "\u00a0K", "pression")

    export = find(dialog, pyatspi.ROLE_PUSH_BUTTON, "Exporter CSV")
    if task.check("the export button", export is not None) and task.tab_to("Tab to it", export):
        key("space")
        home = os.environ["HOME"]
        chooser = pumped(lambda: find(app, pyatspi.ROLE_DIALOG, "Exporter les relevés"))
        if task.check("the export dialog", chooser is not None):
            folder = pumped(lambda: next((o for o in walk(chooser) if o.getRole() ==
                                          pyatspi.ROLE_LABEL and o.name.endswith(home)), None))
            task.check("the dialog says its folder", folder is not None,
                       folder.name if folder else "")
            name = pumped(lambda: (lambda f: f if f is not None and f.getRole() ==
                                   pyatspi.ROLE_TEXT else None)(focus[0]))
            task.check("the file's name says the folder",
                       name is not None and name.description.endswith(home),
                       name.description if name else "")
            key("Return")
            task.says("the export", "2 relevés exportés dans", home)
            task.check("the file", bool(glob.glob(os.path.join(home, "releves-*.csv"))))

    task.check("nothing said from inside a dialog", not said_in_dialog, repr(said_in_dialog))
    print("Said:")
    for text in said:
        print("  " + text)
    return 1 if task.failures else 0


if __name__ == "__main__":
    sys.exit(main())
