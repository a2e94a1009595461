# SPDX-License-Identifier: GPL-3.0-or-later
# SPDX-FileCopyrightText: Veliso contributors
"""What a screen reader reads of the gas tab's values, found through the accessibility bus.

Run by run_at_spi_test with the program started on the gas tab:
- every slider is a spin button whose text is its value with the unit its panel shows, and
  that text follows the slider when a key moves it;
- Shift+F10 and the Menu key open the view's menu with its first item focused, inside a list
  named "Menu de la vue 3D" that lies in the view (a screen reader ignores an item whose menu
  is no one's child); its toggles are check boxes that say whether they are on, both ways;
- each camera key on the focused view says where the camera is, its figures included.
"""

import subprocess
import sys
import time

from gi.repository import GLib

import pyatspi

from gas_tab_cycle import focused as focused_in, program_main_frame, walk, wait_for

# The gas tab's sliders as a screen reader reads them at the start.
GAS_SLIDERS = {
    "Volume du récipient": "100\u00a0%",
    "Température du gaz": "298\u00a0K",
    "Quantité de particules": "100 particules",
    "Masse relative des particules": "5",
    "Composante rouge des sphères": "255 sur 255",
    "Composante verte des sphères": "127 sur 255",
    "Composante bleue des sphères": "0 sur 255",
    "Sphéricité des particules": "20 sur 32",
}
VIEW_NAME = "Vue 3D : état gazeux"
MENU_NAME = "Menu de la vue 3D"


def key(name):
    subprocess.run(["xdotool", "key", name], check=True)


def text_of(obj):
    text = obj.queryText()
    return text.getText(0, text.characterCount)


def showing(obj):
    return obj.getState().contains(pyatspi.STATE_SHOWING)


def check_sliders(frame, failures):
    spin = {}
    for obj in walk(frame):
        if obj.getRole() == pyatspi.ROLE_SLIDER and showing(obj):
            failures.append("%s is still a slider, whose value is read without its unit"
                            % obj.name)
        if obj.getRole() == pyatspi.ROLE_SPIN_BUTTON and showing(obj):
            spin[obj.name] = obj
    for name, reading in GAS_SLIDERS.items():
        obj = spin.get(name)
        if obj is None:
            failures.append("no spin button named %s" % name)
            continue
        if text_of(obj) != reading:
            failures.append("%s reads %r, not %r" % (name, text_of(obj), reading))
    temperature = spin.get("Température du gaz")
    if temperature is None:
        return
    temperature.queryComponent().grabFocus()
    if wait_for(lambda: temperature.getState().contains(pyatspi.STATE_FOCUSED) or None, 5) is None:
        failures.append("the temperature slider does not take the focus")
        return
    key("Right")
    moved = wait_for(lambda: text_of(temperature) if text_of(temperature) != "298\u00a0K" else None,
                     5)
    if moved != "299\u00a0K" or temperature.queryValue().currentValue != 299:
        failures.append("after Right the temperature reads %r" % moved)
    print("sliders: %s" % ", ".join("%s = %s" % (n, text_of(o)) for n, o in spin.items()))


def open_menu(frame, view, keyname):
    """The focused item once the menu opened from `keyname`, or None."""
    frame_focus = focused_in(frame)
    key(keyname)
    return wait_for(lambda: (lambda f: f if f is not None and f != frame_focus
                             and f.parent is not None
                             and f.parent.getRole() == pyatspi.ROLE_LIST else None)(
        focused_in(view)), 5)


def check_menu(frame, failures):
    view = wait_for(lambda: next((o for o in walk(frame) if o.name == VIEW_NAME), None), 5)
    if view is None:
        failures.append("no view named %s" % VIEW_NAME)
        return
    item = open_menu(frame, view, "shift+F10")
    if item is None:
        failures.append("Shift+F10 opened no menu with a focused item")
        return
    menu = item.parent
    print("Shift+F10: %s | %s in %s | %s in %s" % (item.getRoleName(), item.name,
                                                   menu.getRoleName(), menu.name,
                                                   menu.parent.name))
    if item.name != "Copier l'image":
        failures.append("the menu opens on %s" % item.name)
    if menu.name != MENU_NAME or menu.parent != view:
        failures.append("the menu is %r in %r" % (menu.name, menu.parent.name))
    # A screen reader drops an object that is not found in its parent.
    for obj in (item, menu):
        if obj.getIndexInParent() < 0:
            failures.append("%s is not found in its parent" % obj.name)

    toggles = {}
    for child in (menu.getChildAtIndex(i) for i in range(menu.childCount)):
        if child.getRole() == pyatspi.ROLE_CHECK_BOX:
            toggles[child.name] = child.getState().contains(pyatspi.STATE_CHECKED)
    expected = {"Plein écran": False, "Contraste élevé": False, "Annonces en continu": False}
    if toggles != expected:
        failures.append("the menu's toggles are %s" % toggles)
    key("Escape")
    wait_for(lambda: None if showing(menu) else True, 5)

    # The last item from the Menu key; Return turns it on, and the menu says so next time.
    for turn, state in ((1, True), (2, False)):
        item = open_menu(frame, view, "Menu")
        if item is None:
            failures.append("the Menu key opened no menu (%d)" % turn)
            return
        key("Up")
        last = wait_for(lambda: (lambda f: f if f is not None and f.name == "Annonces en continu"
                                 else None)(focused_in(view)), 5)
        if last is None or last.getRole() != pyatspi.ROLE_CHECK_BOX:
            now = focused_in(view)
            failures.append("Up did not reach the check box Annonces en continu, but %s" %
                            (now.name if now is not None else None))
            return
        if last.getState().contains(pyatspi.STATE_CHECKED) == state:
            failures.append("Annonces en continu is %s before Return" %
                            ("on" if state else "off"))
        key("Return")
        wait_for(lambda: None if showing(last.parent) else True, 5)
    print("menu toggles: %s" % toggles)


class Notifications:
    """The sentences the program's notifications say, as the accessibility bus reports them."""

    def __init__(self):
        self.said = []
        pyatspi.Registry.registerEventListener(self._on_name,
                                               "object:property-change:accessible-name")

    def _on_name(self, event):
        if event.source.getRole() == pyatspi.ROLE_NOTIFICATION:
            self.said.append(event.source.name)

    def next(self, count, start, seconds=5):
        """The first sentence beginning with `start` said after the first `count`, once it
        came, or None."""
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            while GLib.MainContext.default().iteration(False):
                pass
            found = [s for s in self.said[count:] if s.startswith(start)]
            if found:
                return found[0]
            time.sleep(0.05)
        return None


def check_camera(frame, notifications, failures):
    view = next((o for o in walk(frame) if o.name == VIEW_NAME), None)
    view.queryComponent().grabFocus()
    if wait_for(lambda: view.getState().contains(pyatspi.STATE_FOCUSED) or None, 5) is None:
        failures.append("the view does not take the focus")
        return
    # From the gas tab's start camera (40 degrees, height 0, distance 4.25).
    for keyname, part in (("Up", "(hauteur 0,43)"), ("ctrl+Up", "(distance 4)"),
                          ("ctrl+Down", "(distance 4,25)"), ("Right", "rotation de 45")):
        count = len(notifications.said)
        key(keyname)
        sentence = notifications.next(count, "Caméra : ")
        print("%s: %s" % (keyname, sentence))
        if sentence is None or part not in sentence:
            failures.append("after %s the camera says %r, not %s" % (keyname, sentence, part))


def main():
    frame = program_main_frame()
    if frame is None:
        return 1
    failures = []
    notifications = Notifications()
    check_sliders(frame, failures)
    check_menu(frame, failures)
    check_camera(frame, notifications, failures)
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
