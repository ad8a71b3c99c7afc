#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Fails when two texts of one menu or one group of controls get the same mnemonic (the letter
after "&") in a translation catalog.

A group is what the code writes together: the texts appended to one menu, the titles appended
to one menu bar (Append(menuX, ...)), and otherwise the texts of one paragraph of source lines
(lines between blank lines), which is how the window code lays out the controls of one box.

    python3 scripts/check-mnemonics.py [po/de.po ...]     (default: every po/*.po)
"""
import glob
import os
import re
import sys

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SOURCES = ("app", "mainframe", "canvas", "update")
TEXT = re.compile(r'_\("((?:[^"\\]|\\.)*)"\)')
MENU_APPEND = re.compile(r'(\w+)->Append\(\s*(\w+)\s*,\s*_\("((?:[^"\\]|\\.)*)"\)')


def unescape(text):
    return text.encode("latin-1", "backslashreplace").decode("unicode_escape")


def mnemonic(text):
    label = text.split("\t")[0]
    i = 0
    while i < len(label) - 1:
        if label[i] == "&":
            if label[i + 1] != "&":
                return label[i + 1].lower()
            i += 1
        i += 1
    return None


def groups_of(path):
    """(group name, [texts]) for one source file."""
    groups = {}
    paragraph = 0
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            if not line.strip():
                paragraph = number
                continue
            menu = MENU_APPEND.search(line)
            if menu and menu.group(2).startswith("menu"):
                key = f"{os.path.relpath(path, TOP)}: menu bar {menu.group(1)}"
                groups.setdefault(key, []).append(unescape(menu.group(3)))
                continue
            if menu:
                key = f"{os.path.relpath(path, TOP)}: menu {menu.group(1)}"
                groups.setdefault(key, []).append(unescape(menu.group(3)))
                continue
            for text in TEXT.findall(line):
                if "&" in text:
                    key = f"{os.path.relpath(path, TOP)}:{paragraph + 1}"
                    groups.setdefault(key, []).append(unescape(text))
    return groups


def read_catalog(path):
    """msgid -> msgstr of a .po file (plain entries; plurals and contexts are not used here)."""
    entries, msgid, msgstr, field = {}, None, None, None
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.strip()
            if line.startswith("msgid "):
                if msgid is not None:
                    entries[msgid] = msgstr
                msgid, msgstr, field = unescape(line[7:-1]), "", "id"
            elif line.startswith("msgstr "):
                msgstr, field = unescape(line[8:-1]), "str"
            elif line.startswith('"') and field == "id":
                msgid += unescape(line[1:-1])
            elif line.startswith('"') and field == "str":
                msgstr += unescape(line[1:-1])
    if msgid is not None:
        entries[msgid] = msgstr
    return entries


def main(catalogs):
    groups = {}
    for folder in SOURCES:
        for path in sorted(glob.glob(os.path.join(TOP, folder, "**", "*.cpp"), recursive=True)):
            groups.update(groups_of(path))
    clashes = 0
    for catalog in catalogs:
        translations = read_catalog(catalog)
        for name, texts in sorted(groups.items()):
            seen = {}
            for text in texts:
                translated = translations.get(text) or text
                key = mnemonic(translated)
                if key is None:
                    continue
                if key in seen:
                    print(f"{catalog}: {name}: \"{seen[key]}\" and \"{translated}\" share "
                          f"the mnemonic {key!r}", file=sys.stderr)
                    clashes += 1
                seen[key] = translated
    print(f"mnemonics: {len(groups)} groups, {clashes} clashes in {len(catalogs)} catalog(s)")
    return 1 if clashes else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:] or sorted(glob.glob(os.path.join(TOP, "po", "*.po")))))
