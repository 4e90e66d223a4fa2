#!/usr/bin/env python3
"""Checks that the program's folders include one another only downwards.

    scripts/check-layers.py [ROOT]

Every floor of the program may include its own files and those of the floors
named for it in LAYERS, nothing else. Only the Win32 shell (the files under
platform/win32/ and those named *_win32.*) includes the Windows API headers
(<windows.h> and its family) and the files of the shell; the portable core
never does. Reads every .h and .cpp of those floors, quoted and angle-bracket
includes alike (an angle-bracket include outside the program's floors is a
system or library header), prints one line per include that breaks the order
(file, line, include) and exits 1 when there is any; otherwise prints a summary
and exits 0. A floor without a folder has nothing to check. Tests, benchmarks
and the emulator (tests/, bench/, sim/) include what they need and are not
read. The table itself must not hold a cycle.
"""

import os
import re
import sys

# Floor -> the floors it may use, lowest first; a floor names only those its
# files include. res/ holds the dialog resources and their ids, which every
# floor that talks to a window names; it includes nothing itself. batch/, the
# runs without a window, never reaches the windows (panels/, viewers/).
LAYERS = {
    "res": [],
    "platform": [],
    "platform/win32": ["platform"],
    "imaging": ["platform", "platform/win32", "res"],
    "core": ["platform", "res"],
    "device": ["platform", "core"],
    "settings": ["core", "device"],
    "jobs": ["platform", "core", "device", "res"],
    "viewers": ["platform", "imaging", "core", "device", "jobs", "res"],
    "panels": ["platform", "core", "device", "settings", "jobs", "viewers", "res"],
    "batch": ["platform", "core", "device", "settings", "jobs", "res"],
    "app": ["platform", "platform/win32", "imaging", "core", "device", "panels", "batch", "res"],
}

INCLUDE_RE = re.compile(r'^\s*#\s*include\s*(<[^>]+>|"[^"]+")')
# The Windows API's headers (MinGW-w64 spells them in lower case, the SDK in
# mixed case).
WINDOWS_HEADER_RE = re.compile(
    r"(win[a-z0-9_]*|commctrl|commdlg|dbt|mmsystem|objbase|objidl|ole2|oleauto|shellapi|"
    r"shlobj|shlwapi|tlhelp32|unknwn|gdiplus[a-z]*|richedit|uxtheme|psapi|htmlhelp)\.h",
    re.IGNORECASE)
WIN32_FILE_RE = re.compile(r"(^platform/win32/|_win32\.[^/]*$)")
WIN32_ONLY = "only platform/win32/ and files named *_win32.* may include it"
SOURCE_EXTENSIONS = (".h", ".cpp")


def floor_of(path):
    """The floor a file (path relative to the root, "/" separated) belongs to:
    the longest floor name that is a folder above it."""
    best = None
    for floor in LAYERS:
        if path.startswith(floor + "/") and (best is None or len(floor) > len(best)):
            best = floor
    return best


def cycle_in_table():
    """A floor that reaches itself through the table, or None."""
    def reaches(start, floor, seen):
        for lower in LAYERS.get(floor, []):
            if lower == start:
                return True
            if lower not in seen:
                seen.add(lower)
                if reaches(start, lower, seen):
                    return True
        return False
    for floor in LAYERS:
        if reaches(floor, floor, set()):
            return floor
    return None


def include_problem(rel, floor, written):
    """What is wrong with the include `written` (with its quotes or angle
    brackets) in the file `rel` of `floor`, or None."""
    target = written[1:-1]
    to = floor_of(target)
    if written[0] == "<" and to is None:
        if WINDOWS_HEADER_RE.fullmatch(target) and not WIN32_FILE_RE.search(rel):
            return "%s: %s" % (written, WIN32_ONLY)
        return None  # a system or library header
    if "/" not in target:
        return "%s names no folder" % written
    if to is None:
        return "%s is in no floor of the program" % written
    if to != floor and to not in LAYERS[floor]:
        return "%s: %s/ may not use %s/" % (written, floor, to)
    if WIN32_FILE_RE.search(target) and not WIN32_FILE_RE.search(rel):
        return "%s: %s" % (written, WIN32_ONLY)
    return None


def check(root):
    problems = []
    files = includes = 0
    for floor in sorted(LAYERS):
        folder = os.path.join(root, floor)
        if not os.path.isdir(folder):
            continue
        for name in sorted(os.listdir(folder)):
            path = os.path.join(folder, name)
            if not name.endswith(SOURCE_EXTENSIONS) or not os.path.isfile(path):
                continue
            files += 1
            rel = floor + "/" + name
            with open(path, encoding="utf-8", errors="replace") as f:
                for number, line in enumerate(f, 1):
                    m = INCLUDE_RE.match(line)
                    if not m:
                        continue
                    includes += 1
                    problem = include_problem(rel, floor, m.group(1))
                    if problem:
                        problems.append("%s:%d: #include %s" % (rel, number, problem))
    return problems, files, includes


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                      "..")
    looped = cycle_in_table()
    if looped:
        print("layers: FAILED: the table lets %s/ reach itself" % looped)
        return 1
    problems, files, includes = check(root)
    for p in problems:
        print("layers: " + p)
    if problems:
        print("layers: FAILED: %d include(s) against the order, in %d files" % (len(problems),
                                                                                files))
        return 1
    print("layers: ok: %d includes in %d files of %d floors follow the order"
          % (includes, files, len(LAYERS)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
