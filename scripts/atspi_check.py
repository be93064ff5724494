#!/usr/bin/python3
"""Reads the running program's accessibility tree over AT-SPI, as a screen reader does, and
checks what it would announce: no message at start-up, the position lists filled, the
hemisphere lists named and spoken in words, the buttons named after their visible text.

Run by scripts/atspi-check.sh, inside an X server and a D-Bus session with the accessibility
bus. Exit status 0 when every check holds, 1 otherwise (the reasons on standard error).
"""
import argparse
import sys
import time

import pyatspi

HEMISPHERE_LISTS = {
    "Hémisphère de longitude, point 1": ["Est", "Ouest"],
    "Hémisphère de latitude, point 1": ["Nord", "Sud"],
    "Hémisphère de longitude, point 2": ["Est", "Ouest"],
    "Hémisphère de latitude, point 2": ["Nord", "Sud"],
}
# Visible text of each button (mnemonic removed) and the name a reader may give it instead.
BUTTONS = {
    "Sélectionner Opérateur": None,
    "Ajouter Participant": None,
    "Calculer": None,
    "OK": None,
    "Annuler": None,
    "?": "Aide",
}
POSITION_LISTS = ["1ère coordonnée, position connue", "2ème coordonnée, position connue"]


def nodes(root):
    yield root
    for child in root:
        if child is not None:
            yield from nodes(child)


def role(node):
    return node.getRoleName()


def find_application(name, deadline):
    while time.monotonic() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    return None


def list_items(combo):
    return [item for lst in combo if lst is not None for item in lst if item is not None]


def selected(item):
    return item.getState().contains(pyatspi.STATE_SELECTED)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--positions", type=int, default=1,
                        help="entries expected in each position list (at least)")
    parser.add_argument("--timeout", type=float, default=30.0)
    args = parser.parse_args()
    deadline = time.monotonic() + args.timeout
    failures = []

    app = find_application("ervalun", deadline)
    if app is None:
        print("ervalun n'apparaît pas sur le bus d'accessibilité", file=sys.stderr)
        return 1

    # The start-up reads the files before the lists are filled, and a message holds it: wait
    # until either a message shows or the position lists hold the directory.
    dialog = None
    while time.monotonic() < deadline:
        alerts = [n for n in nodes(app) if role(n) == "alert"]
        if alerts:
            texts = [n.name for a in alerts for n in nodes(a) if role(n) == "label" and n.name]
            print("message au démarrage : " + " | ".join(texts), file=sys.stderr)
            return 1
        dialogs = [w for w in app if w is not None and role(w) == "dialog" and w.name == "Ervalun"]
        if dialogs:
            combos = {c.name: c for c in nodes(dialogs[0]) if role(c) == "combo box"}
            if all(name in combos and len(list_items(combos[name])) >= args.positions
                   for name in POSITION_LISTS):
                dialog = dialogs[0]
                break
        time.sleep(0.2)
    if dialog is None:
        print("le dialogue Ervalun ne montre pas %d positions connues" % args.positions,
              file=sys.stderr)
        return 1

    combos = {c.name: c for c in nodes(dialog) if role(c) == "combo box"}
    for name, words in HEMISPHERE_LISTS.items():
        combo = combos.get(name)
        if combo is None:
            failures.append("pas de liste nommée « %s » (listes : %s)" % (name, sorted(combos)))
            continue
        items = list_items(combo)
        spoken = [item.name for item in items]
        if spoken != words:
            failures.append("« %s » dit %s au lieu de %s" % (name, spoken, words))
        chosen = [item.name for item in items if selected(item)]
        if chosen != words[:1]:
            failures.append("« %s » : élément choisi %s au lieu de %s" % (name, chosen, words[:1]))

    buttons = [b.name for b in nodes(dialog) if role(b) == "push button"]
    for shown, other in BUTTONS.items():
        if not any(shown in name or name == other for name in buttons):
            failures.append("aucun bouton dont le nom contient « %s » (boutons : %s)"
                            % (shown, buttons))

    for failure in failures:
        print(failure, file=sys.stderr)
    if not failures:
        print("AT-SPI : dialogue ouvert sans message, %d listes d'hémisphère parlées, "
              "%d boutons nommés" % (len(HEMISPHERE_LISTS), len(BUTTONS)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
