#!/usr/bin/env python3
"""Reads every #include of the program's source folders and fails when one breaks the layer
rules of docs/architecture.md:

  data  <-  core libraries  <-  widgets  <-  windows  <-  app
  (data/, drill/, exam/, progress/ logic)    (drill/, review/, info/, exam/, progress/ windows)

- data and the core libraries include no Qt Gui or Widgets header (Qt Core only);
- widgets/ includes data/ only;
- a window includes data/, the core libraries and widgets/, and no other window's folder: windows
  meet through signals that app/ wires;
- a generated form header ui_X.h is included by X.cpp alone, so no window shows its layout;
- nothing outside app/ includes app/; tools/ includes data/ and the core libraries only.

Usage: check_includes.py SOURCE_ROOT QTCORE_HEADER_DIR
       check_includes.py --self-test QTCORE_HEADER_DIR   (plants one fault per rule and expects
                                                          each to be reported)
"""

import os
import re
import sys
import tempfile

# Files of a folder that holds both a core library and windows: these are windows, the rest of
# the folder is core. A new window file there is added here and in docs/architecture.md.
WINDOW_FILES = {
    "drill": {"TForm4"},
    "exam": {"ExamWindow", "ResultsWindow", "FigureView", "Resample", "QuestionMap", "ExamLauncher", "Readable"},
    "progress": {"ProgressWindow"},
}
WINDOW_FOLDERS = {"review", "info"}
CORE_ONLY_FOLDERS = {"data", "study"}
# Folders read, and how each may be reached. Any other folder holding sources is an error, so
# that a new folder gets its place in the rules before it gets code.
FOLDERS = ["data", "study", "drill", "exam", "progress", "widgets", "review", "info", "app",
           "tools", "school"]
NOT_SOURCES = {"tests", "bench", "build", "sample", "resources", "cmake", "packaging", "scripts",
               "docs", ".git", ".ci"}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
SOURCE = re.compile(r"\.(h|hpp|cpp|cc)$")


def unit_of(folder, stem):
    """(layer, unit): layer is data | core | widgets | window | app | tools."""
    if folder in CORE_ONLY_FOLDERS:
        return ("data" if folder == "data" else "core", folder)
    if folder in WINDOW_FILES:
        if stem in WINDOW_FILES[folder]:
            return ("window", folder)
        return ("core", folder)
    if folder in WINDOW_FOLDERS:
        return ("window", folder)
    if folder in ("widgets", "app", "tools"):
        return (folder, folder)
    if folder == "school":
        # Its windows are named ...Window or ...Dialog; the rest is its core library.
        return ("window" if stem.endswith(("Window", "Dialog")) else "core", folder)
    raise ValueError(folder)


def allowed(src, dst):
    """None when SRC (layer, unit) may include DST, else the rule it breaks."""
    (sl, su), (dl, du) = src, dst
    if sl == "app":
        return None
    if dl == "app":
        return "nothing outside app/ includes app/"
    if sl == "data":
        return None if dl == "data" else "data/ includes only data/"
    if sl == "core":
        return None if dl in ("data", "core") else "a core library includes only data/ and core libraries"
    if sl == "widgets":
        return None if dl in ("data", "widgets") else "widgets/ includes only data/"
    if sl == "tools":
        return None if dl in ("data", "core", "tools") else "tools/ includes only data/ and core libraries"
    if sl == "window":
        if dl in ("data", "core", "widgets"):
            return None
        if dl == "window" and du == su:
            return None
        return "a window includes no other window's folder (app/ wires them by signals)"
    return "unknown layer"


def sources(root):
    for folder in sorted(os.listdir(root)):
        path = os.path.join(root, folder)
        if not os.path.isdir(path) or folder in NOT_SOURCES or folder.startswith(("build", ".")):
            continue
        files = []
        for dirpath, _, names in os.walk(path):
            files += [os.path.join(dirpath, n) for n in names if SOURCE.search(n)]
        if not files:
            continue
        if folder not in FOLDERS:
            yield folder, None, None
            continue
        for f in sorted(files):
            yield folder, f, os.path.splitext(os.path.basename(f))[0]


def headers_read(root):
    """The source files read, for the report."""
    return [path for _, path, _ in sources(root) if path]


def check(root, qtcore):
    problems = []
    headers = {}   # header file name -> (layer, unit), from the folders read
    listed = []
    for folder, path, stem in sources(root):
        if path is None:
            problems.append(f"{folder}/: a folder of sources with no place in the layer rules")
            continue
        unit = unit_of(folder, stem)
        listed.append((path, unit, stem))
        name = os.path.basename(path)
        if name.endswith((".h", ".hpp")):
            if name in headers and headers[name] != unit:
                problems.append(f"{os.path.relpath(path, root)}: header name {name} used by two layers")
            headers[name] = unit
    for path, unit, stem in listed:
        rel = os.path.relpath(path, root)
        with open(path, encoding="utf-8", errors="replace") as f:
            text = f.read()
        for kind, target in INCLUDE.findall(text):
            if kind == "<":
                if target.startswith("Q") and "/" not in target and unit[0] in ("data", "core"):
                    if not os.path.exists(os.path.join(qtcore, target)):
                        problems.append(f"{rel}: <{target}> is not Qt Core; a core library draws nothing")
                continue
            base = os.path.basename(target)
            if base.startswith("ui_") and base.endswith(".h"):
                if base[3:-2] != stem or not path.endswith(".cpp"):
                    problems.append(f"{rel}: \"{target}\": a form's layout is included by its own .cpp alone")
                continue
            if base not in headers:
                problems.append(f"{rel}: \"{target}\" is not a header of the source folders")
                continue
            why = allowed(unit, headers[base])
            if why:
                problems.append(f"{rel}: \"{target}\" ({headers[base][1]}/): {why}")
    return problems


def self_test(qtcore):
    """Each planted include must be reported, and a clean tree must pass."""
    clean = {
        "data/Table.h": '#include <QString>\n',
        "drill/Session.h": '#include "Table.h"\n',
        "drill/TForm4.h": '#include <QWidget>\n#include "Session.h"\n#include "DataSource.h"\n',
        "drill/TForm4.cpp": '#include "TForm4.h"\n#include "ui_TForm4.h"\n',
        "review/TForm6.h": '#include "DataSource.h"\n',
        "widgets/DataSource.h": '#include "Table.h"\n#include <QWidget>\n',
        "app/Startup.cpp": '#include "TForm4.h"\n#include "TForm6.h"\n#include "BuildConfig.h"\n',
        "app/BuildConfig.h": "",
        "school/Client.h": '#include "Table.h"\n#include <libpq-fe.h>\n',
        "school/SignInWindow.h": '#include "Client.h"\n#include "DataSource.h"\n',
    }
    planted = {
        "drill/Session.h": ('#include <QWidget>\n', "not Qt Core"),
        "data/Table.h": ('#include "DataSource.h"\n', "data/ includes only data/"),
        "widgets/DataSource.h": ('#include "TForm4.h"\n', "widgets/ includes only data/"),
        "review/TForm6.h": ('#include "TForm4.h"\n', "no other window's folder"),
        "drill/TForm4.h": ('#include "BuildConfig.h"\n', "nothing outside app/"),
        "drill/Session.h#2": ('#include "ui_TForm4.h"\n', "its own .cpp alone"),
        "drill/Session.h#3": ('#include "Missing.h"\n', "not a header"),
        "newfolder/Thing.h": ("", "no place in the layer rules"),
        "school/Client.h#2": ('#include "SignInWindow.h"\n', "a core library includes only"),
        "school/Client.h#3": ('#include <QWidget>\n', "not Qt Core"),
        "school/SignInWindow.h#2": ('#include "BuildConfig.h"\n', "nothing outside app/"),
    }

    def make(tree):
        root = tempfile.mkdtemp()
        for rel, text in tree.items():
            os.makedirs(os.path.join(root, os.path.dirname(rel)), exist_ok=True)
            with open(os.path.join(root, rel), "w") as f:
                f.write(text)
        return root

    failures = []
    found = check(make(clean), qtcore)
    if found:
        failures.append(f"clean tree reported: {found}")
    for key, (line, expected) in planted.items():
        tree = dict(clean)
        rel = key.split("#")[0]
        tree[rel] = tree.get(rel, "") + line
        found = check(make(tree), qtcore)
        if len(found) != 1 or expected not in found[0]:
            failures.append(f"planted {line.strip() or rel} in {rel}: reported {found}")
    for f in failures:
        print("FAIL", f)
    if failures:
        return 1
    print(f"checker self-test passed: {len(planted)} planted faults reported one by one")
    return 0


def main():
    if len(sys.argv) == 3 and sys.argv[1] == "--self-test":
        return self_test(sys.argv[2])
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    problems = check(sys.argv[1], sys.argv[2])
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} include(s) breaking the layer rules")
        return 1
    print(f"layer rules kept by every include of {len(headers_read(sys.argv[1]))} source files")
    return 0


if __name__ == "__main__":
    sys.exit(main())
