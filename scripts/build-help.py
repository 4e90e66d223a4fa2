#!/usr/bin/env python3
"""Builds the help file utility.chm from help/ with chmcmd (Debian package fp-utils).

    scripts/build-help.py [--chmcmd PATH] [--work DIR] help build/win/utility.chm

1. Checks that every file named in [FILES] of help/utility.hhp exists and that
   every page and style sheet in help/ is named there.
2. Copies those files into a work folder and writes the table of contents and
   the index (utility.hhc, utility.hhk) from their UTF-8 sources (*.in) in the
   code page of the project's language (0x411: Shift-JIS), because the help
   viewer reads them in that code page.
3. Runs chmcmd there. chmcmd exits 0 even when it reports errors, so its output
   is read: any warning or error fails the build, except the anchor messages
   that chmcmd 3.2 gets wrong for pages in sub-folders (it files anchors under
   the page's bare name and treats "#name" links as links to the folder);
   scripts/check-help.py checks the anchors instead.
4. Sets the two build times chmcmd writes (in the file's header and in its
   #SYSTEM entry) to zero, so that the same sources give the same bytes.
5. Checks the result with scripts/check-help.py and only then moves it to the
   output path, so a broken help file never looks up to date.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))

# Code page of the table of contents and index for the project's Language.
CODEPAGES = {0x0409: "cp1252", 0x0411: "cp932"}
CHARSET_NAMES = {"cp932": "Shift_JIS", "cp1252": "windows-1252"}

IGNORED_CHMCMD_MESSAGES = (
    re.compile(r"^Warning: Duplicate anchor definitions with "),
    re.compile(r"^Error: Anchor \S+ undefined; first use "),
    re.compile(r"^Warning: Found file \S*/ while scanning \S+, but couldn't find it on disk$"),
)


def fail(message):
    print("build-help: " + message, file=sys.stderr)
    sys.exit(1)


def read_project(path):
    """The [OPTIONS] values and the [FILES] list of a .hhp file."""
    options, files, section = {}, [], None
    with open(path, encoding="ascii") as f:
        for raw in f:
            line = raw.strip()
            if not line or line.startswith(";"):
                continue
            if line.startswith("[") and line.endswith("]"):
                section = line[1:-1].upper()
            elif section == "OPTIONS" and "=" in line:
                key, value = line.split("=", 1)
                options[key.strip().lower()] = value.strip()
            elif section == "FILES":
                files.append(line.replace("\\", "/"))
    return options, files


def write_sitemap(source, target, codepage):
    """Writes a UTF-8 .hhc/.hhk source in the given code page."""
    with open(source, encoding="utf-8", newline="") as f:
        text = f.read()
    text = re.sub(r"charset=utf-8", "charset=" + CHARSET_NAMES[codepage], text, flags=re.I)
    try:
        data = text.encode(codepage)
    except UnicodeEncodeError as e:
        line = text.count("\n", 0, e.start) + 1
        fail("%s:%d: %r cannot be written in code page %s"
             % (source, line, text[e.start:e.end], codepage))
    with open(target, "wb") as f:
        f.write(data)


def clear_build_times(path):
    """Zeroes the header's time stamp (4 bytes at 16, big-endian) and the
    #SYSTEM entry of code 10 (length 4, little-endian), which chmcmd takes from
    the clock a moment apart."""
    with open(path, "rb") as f:
        data = bytearray(f.read())
    if data[:4] != b"ITSF" or len(data) < 20:
        fail("%s is not a compiled help file" % path)
    stamp = int.from_bytes(data[16:20], "big")
    data[16:20] = bytes(4)
    entries = [m.start() for m in re.finditer(re.escape(b"\x0a\x00\x04\x00"), bytes(data))
               if 0 <= int.from_bytes(data[m.start() + 4:m.start() + 8], "little") - stamp < 3600]
    if len(entries) != 1:
        fail("the build time of #SYSTEM in %s was not found once but %d times"
             % (path, len(entries)))
    data[entries[0] + 4:entries[0] + 8] = bytes(4)
    with open(path, "wb") as f:
        f.write(data)


def main():
    ap = argparse.ArgumentParser(description="Builds utility.chm from the help sources.")
    ap.add_argument("source", help="the help source folder (help/)")
    ap.add_argument("output", help="the .chm file to write")
    ap.add_argument("--chmcmd", default="chmcmd", help="the chmcmd program")
    ap.add_argument("--work", help="work folder (default: a temporary folder)")
    args = ap.parse_args()

    source = os.path.abspath(args.source)
    project = os.path.join(source, "utility.hhp")
    options, files = read_project(project)
    if not files:
        fail("%s lists no files" % project)

    listed = set(files)
    for name in files:
        if not os.path.isfile(os.path.join(source, name)):
            fail("%s names %s, which does not exist" % (project, name))
    for folder, _, names in os.walk(source):
        for n in names:
            rel = os.path.relpath(os.path.join(folder, n), source).replace(os.sep, "/")
            if n.lower().endswith((".htm", ".html", ".css")) and rel not in listed:
                fail("%s is not listed in [FILES] of %s" % (rel, project))

    language = int(options.get("language", "0x409").split()[0], 16)
    codepage = CODEPAGES.get(language)
    if codepage is None:
        fail("no code page known for Language=0x%04X" % language)

    work = os.path.abspath(args.work) if args.work else tempfile.mkdtemp(prefix="z4help-")
    if os.path.isdir(work) and os.listdir(work):
        # Only a folder this script filled before is emptied.
        if not os.path.isfile(os.path.join(work, "utility.hhp")):
            fail("work folder %s is not empty and holds no utility.hhp; not touching it" % work)
        shutil.rmtree(work)
    os.makedirs(work, exist_ok=True)
    shutil.copy2(project, work)
    for name in files:
        os.makedirs(os.path.dirname(os.path.join(work, name)), exist_ok=True)
        shutil.copy2(os.path.join(source, name), os.path.join(work, name))
    for key in ("contents file", "index file"):
        name = options.get(key)
        if not name:
            fail("%s has no '%s'" % (project, key))
        write_sitemap(os.path.join(source, name + ".in"), os.path.join(work, name), codepage)

    try:
        run = subprocess.run([args.chmcmd, "utility.hhp"], cwd=work, stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
    except OSError as e:
        fail("cannot run %s: %s" % (args.chmcmd, e))
    output = run.stdout.decode("latin-1")
    complaints = [line for line in output.splitlines()
                  if line.startswith(("Error", "Warning"))
                  and not any(p.match(line) for p in IGNORED_CHMCMD_MESSAGES)]
    log = os.path.join(work, "chmcmd.log")
    with open(log, "w", encoding="latin-1") as f:
        f.write(output)
    built = os.path.join(work, options.get("compiled file", "utility.chm"))
    if run.returncode != 0 or complaints or not os.path.isfile(built):
        for line in complaints:
            print("build-help: chmcmd: " + line, file=sys.stderr)
        fail("chmcmd failed (exit %d, %d complaint(s)); its whole output is in %s"
             % (run.returncode, len(complaints), log))

    clear_build_times(built)
    check = subprocess.run([sys.executable, os.path.join(HERE, "check-help.py"), built],
                           stdin=subprocess.DEVNULL)
    if check.returncode != 0:
        fail("the built help file has problems; it was left in %s" % work)

    output_path = os.path.abspath(args.output)
    os.makedirs(os.path.dirname(output_path), exist_ok=True)
    shutil.copyfile(built, output_path + ".tmp")
    os.replace(output_path + ".tmp", output_path)
    if not args.work:
        shutil.rmtree(work, ignore_errors=True)
    print("build-help: wrote %s (%d bytes)" % (output_path, os.path.getsize(output_path)))


if __name__ == "__main__":
    main()
