"""Reads the running window over AT-SPI as a screen reader does: the drive lists must have
different names that name their panes, and every menu-bar entry must lie inside the window,
where it is drawn, the wrapped ones on a second row. Prints what it read; exits 1 on a fault."""
import sys
import time

import pyatspi

WANTED = ["File", "Options", "Match!", "Copy!>", "<Copy!", ">Move!>", "<Move!<", ">Delete!", "Delete!<", "Help"]


def find_window():
    for _ in range(150):
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name and "dyadix" in app.name.lower() and app.childCount > 0:
                window = app.getChildAtIndex(0)
                if window is not None and "Dyadix" in (window.name or ""):
                    return window
        time.sleep(0.1)
    return None


def main():
    window = find_window()
    if window is None:
        print("no Dyadix window on the accessibility bus")
        return 1
    frame = window.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    combos, entries = [], []

    def walk(node):
        for i in range(node.childCount):
            child = node.getChildAtIndex(i)
            if child is None:
                continue
            role = child.getRoleName()
            if role == "combo box":
                combos.append(child.name)
            if role == "menu item" and node.getRoleName() == "menu bar":
                entries.append((child.name, child.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)))
            elif role != "menu":
                walk(child)

    walk(window)
    faults = []
    print("window:", window.name, frame.x, frame.y, frame.width, frame.height)
    print("drive lists:", combos)
    if combos != ["Left drive", "Right drive"]:
        faults.append("the drive lists read %r" % combos)
    names = [name for name, _ in entries]
    print("menu-bar entries:", " ".join("%s@%d,%d" % (name, box.x, box.y) for name, box in entries))
    if names != WANTED:
        faults.append("the menu bar reads %r" % names)
    for name, box in entries:
        inside = (frame.x <= box.x and box.x + box.width <= frame.x + frame.width
                  and frame.y <= box.y and box.y + box.height <= frame.y + frame.height)
        if not inside or box.width <= 0:
            faults.append("%s lies at %d,%d %dx%d, outside the window" % (name, box.x, box.y, box.width, box.height))
    rows = sorted({box.y for _, box in entries})
    if len(rows) != 2 or entries[-1][1].y != rows[1]:
        faults.append("the entries stand on rows %r, not on the two rows drawn" % rows)
    for fault in faults:
        print("FAULT:", fault)
    return 1 if faults else 0


sys.exit(main())
