#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks the help books (help/ and each translation under help/<language>/): every page is
listed in the project file and reached from the index, every page the contents, the index and
the links name exists, every picture exists in docs/, and the settings page names every
configuration key of settings/config_keys.h."""
import glob
import os
import re
import sys

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KEY = re.compile(r'constexpr const char\* k(Key|Group)\w* = "([^"]+)"')


def config_keys():
    """Every key and group of settings/config_keys.h, as the settings page names them: a key by
    its last part ("AnimatedKerv", "x"), a group in brackets ("[Look]")."""
    keys = set()
    with open(os.path.join(TOP, "settings", "config_keys.h"), encoding="utf-8") as f:
        for kind, value in KEY.findall(f.read()):
            keys.add(value.rsplit("/", 1)[-1] if kind == "Key" else "[" + value.strip("/") + "]")
    return keys


def check_book(book, keys):
    problems = []
    pages = {os.path.basename(p) for p in glob.glob(os.path.join(book, "*.html"))}
    text = {p: open(os.path.join(book, p), encoding="utf-8").read() for p in pages}
    index = open(os.path.join(book, "kerv.hhk"), encoding="utf-8").read()
    project = open(os.path.join(book, "kerv.hhp"), encoding="utf-8").read()
    contents = open(os.path.join(book, "kerv.hhc"), encoding="utf-8").read()
    indexed = {v.split("#")[0] for v in re.findall(r'name="Local" value="([^"]+)"', index)}
    for page in sorted(pages):
        if page not in indexed:
            problems.append(f"{page} is not reached from the index")
        if page not in project:
            problems.append(f"{page} is not listed in kerv.hhp")
    targets = re.findall(r'value="([^"#]+)[^"]*"', index + contents)
    for page in text.values():
        targets += [t for t in re.findall(r'href="([^"#:]+)', page)]
    for target in sorted(set(targets)):
        if target.endswith(".html") and target not in pages:
            problems.append(f"a link names the missing page {target}")
    for page, html in text.items():
        for picture in re.findall(r'src="images/([^"]+)"', html):
            if not os.path.exists(os.path.join(TOP, "docs", picture)):
                problems.append(f"{page}: picture {picture} is not in docs/")
    for key in sorted(keys):
        if not re.search(r"\b" + re.escape(key) if key[0] != "[" else re.escape(key),
                         text.get("settings.html", "")):
            problems.append(f"settings.html does not name the key {key}")
    return problems


def main():
    keys = config_keys()
    books = [os.path.join(TOP, "help")] + sorted(
        d for d in glob.glob(os.path.join(TOP, "help", "*")) if os.path.isdir(d))
    failed = 0
    for book in books:
        for problem in check_book(book, keys):
            print(f"{os.path.relpath(book, TOP)}: {problem}", file=sys.stderr)
            failed += 1
    print(f"help: {len(books)} book(s), {len(keys)} keys, {failed} problem(s)")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
