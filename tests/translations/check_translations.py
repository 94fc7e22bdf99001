#!/usr/bin/env python3
"""Fails when a translation of the program's texts is not finished: every .ts file is brought up
to date with the sources on a copy (as `update_translations` would) and must then hold no
unfinished, vanished or obsolete entry and no empty translation. A text added or changed in a
window or a tr() call without its translations fails here, and so does a translation left for a
text that is gone.

usage: check_translations.py LUPDATE SOURCE_ROOT SOURCES TS_FILE...
(SOURCES: the folders lupdate reads, separated by commas)
"""
import os
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

def problems(ts_path):
    found = []
    root = ET.parse(ts_path).getroot()
    for context in root.iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            source = message.findtext("source")
            translation = message.find("translation")
            kind = translation.get("type") if translation is not None else "missing"
            if kind in ("unfinished", "vanished", "obsolete", "missing"):
                found.append(f"{name}: {kind}: {source!r}")
            elif not (translation.text or "").strip() and translation.find("numerusform") is None:
                found.append(f"{name}: empty: {source!r}")
    return found, sum(1 for _ in root.iter("message"))


def main(argv):
    lupdate, root, sources, ts_files = argv[1], argv[2], argv[3].split(","), argv[4:]
    failed = False
    with tempfile.TemporaryDirectory() as tmp:
        for ts in ts_files:
            copy = os.path.join(tmp, os.path.basename(ts))
            shutil.copyfile(ts, copy)
            subprocess.run([lupdate, "-silent", "-locations", "none", *sources, "-ts", copy],
                           cwd=root, check=True, stdout=subprocess.DEVNULL)
            found, count = problems(copy)
            if count == 0:
                found.append("no messages at all")
            for p in found:
                print(f"{os.path.basename(ts)}: {p}")
            failed = failed or bool(found)
            if not found:
                print(f"{os.path.basename(ts)}: {count} messages, all translated")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
