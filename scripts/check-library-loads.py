#!/usr/bin/env python3
"""Lists every place where the program loads a library at run time and fails
on one that has not been vetted.

A library loaded by its bare name is looked for along the search path, which
starts with the program's own folder: a file of that name put beside the
program (in a Downloads folder, say) would run with the user's rights. So
every load names a full path, or a name that something other than the search
path resolves; each such place is in VETTED with the reason it is safe. A new
load, or a vetted one whose call changed, fails until it has been looked at
and added here.

    check-library-loads.py [ROOT]
"""
import os
import re
import sys

# The folders of the programs that ship or run on a user's machine.
FOLDERS = ("app", "core", "device", "settings", "jobs", "viewers", "panels", "imaging",
           "platform", "res", "sim")
SOURCE_EXTENSIONS = (".h", ".hpp", ".c", ".cc", ".cpp")
# LoadLibraryA/W/ExA/ExW, the native loader, and any macro that hides them.
LOAD_RE = re.compile(r"\b(LoadLibrary\w*|LoadPackagedLibrary|LdrLoadDll)\b")

# (file, the call as written, with spaces removed): why it is safe.
VETTED = {
    ("platform/win32/system_library.cpp", 'LoadLibraryW((folder+L"\\\\"+name).c_str())'):
        "a system DLL from the system folder, by its full path",
    ("imaging/gdiplus_library_win32.cpp", 'LoadLibraryW((folder+L"\\\\"+kFileName).c_str())'):
        "gdiplus.dll by full path: the system folder, or the program's folder on Windows 2000",
    ("imaging/gdiplus_library_win32.cpp", "LoadLibraryW(kFileName)"):
        "gdiplus.dll while an activation context naming the GdiPlus assembly is active: the "
        "loader takes the name from the assembly before any folder of the search path",
}


def calls(root):
    """(file, line number, the call without spaces) for every load found."""
    found = []
    for folder in FOLDERS:
        for base, _, names in os.walk(os.path.join(root, folder)):
            for name in sorted(names):
                if not name.endswith(SOURCE_EXTENSIONS):
                    continue
                path = os.path.join(base, name)
                rel = os.path.relpath(path, root).replace(os.sep, "/")
                with open(path, encoding="utf-8", errors="replace") as f:
                    lines = f.read().split("\n")
                for number, line in enumerate(lines, 1):
                    code = line.split("//")[0]
                    m = LOAD_RE.search(code)
                    if not m:
                        continue
                    # The call up to its closing parenthesis, over later lines too.
                    text = "".join(l.split("//")[0] for l in lines[number - 1:number + 4])
                    text = re.sub(r"\s+", "", text[text.index(m.group(1)):])
                    depth = 0
                    for i, c in enumerate(text):
                        depth += (c == "(") - (c == ")")
                        if c == ")" and depth == 0:
                            text = text[:i + 1]
                            break
                    found.append((rel, number, text))
    return found


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                      "..")
    found = calls(root)
    problems = 0
    for rel, number, text in found:
        reason = VETTED.get((rel, text))
        print("library loads: %s:%d: %s: %s" % (rel, number, text,
                                                reason or "NOT VETTED"))
        problems += reason is None
    seen = {(rel, text) for rel, _, text in found}
    for rel, text in sorted(set(VETTED) - seen):
        print("library loads: %s: %s is vetted but no longer there" % (rel, text))
        problems += 1
    if problems:
        print("library loads: FAILED: %d of %d places to look at" % (problems, len(found)))
        return 1
    print("library loads: ok: %d places, each vetted" % len(found))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
