#!/usr/bin/env python3
"""Checks the release that make dist wrote into BUILD/dist, unsigned.

    check-dist.py [BUILD]

The archive: its name and SHA-256 file; its file list; the program, help file
and text tables inside, byte for byte the files they come from; the
program's version resource and manifest against the version of the archive;
the text files' line ends and encodings; what README.txt tells; and that the
archive depends on nothing but the files' contents. Then the Windows
Installer packages against the archive (check_msi).
"""
import hashlib
import os
import shutil
import sys
import tempfile
import xml.etree.ElementTree as ElementTree
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_msi  # noqa: E402
import dist_archive  # noqa: E402
import dist_msi  # noqa: E402

try:
    import pefile
except ImportError:
    # Debian's python3-pefile is installed for Debian's python3; a python3
    # found first on PATH (pyenv, a virtual environment) does not look there.
    sys.path.append("/usr/lib/python3/dist-packages")
    import pefile

TEXT_FILES = ("README.txt", "Z4Utility.ini", "English/Z4Utility.ini")
# What a user must learn from README.txt, in both languages where it is prose.
README_MUST_NAME = (
    "/drive:X", "/adjust", "GDI+", "gdiplus.dll", "Windows 2000", "Windows XP", "Vista",
    "Windows 95", "11", "English\\Z4Utility.ini", "utility.chm",
    "ボードの見つけ方", "対応 Windows", "テスト・調整モード",
    "msiexec /i", "msiexec /x", "-en.msi", "インストーラー",
)


class Checks:
    def __init__(self):
        self.failures = 0

    def expect(self, condition, message):
        if not condition:
            print("dist: FAILED: " + message)
            self.failures += 1
        return condition


def text_file_problem(data):
    """Why Notepad would not show this text file as written, or None.

    Accepted: plain ASCII, or UTF-8 starting with a byte-order mark, which
    Notepad on every Windows from 2000 on recognises (without the mark,
    Notepad on Japanese Windows takes bytes above 0x7F as Shift-JIS). Lines
    end in CR LF, the last one included."""
    if b"\0" in data:
        return "holds a NUL byte"
    if not data.endswith(b"\r\n"):
        return "does not end with CR LF"
    if data.replace(b"\r\n", b"").count(b"\n"):
        return "has a line ending in LF alone"
    if data.replace(b"\r\n", b"").count(b"\r"):
        return "has a line ending in CR alone"
    if data.startswith(dist_archive.BOM):
        try:
            text = data[len(dist_archive.BOM):].decode("utf-8")
        except UnicodeDecodeError as e:
            return "is not valid UTF-8 after its byte-order mark (%s)" % e
        if "\ufeff" in text:
            return "holds a second byte-order mark"
        return None
    if any(b > 0x7F for b in data):
        return "holds non-ASCII bytes without a UTF-8 byte-order mark"
    return None


def check_program(checks, exe, version):
    pe = pefile.PE(data=exe, fast_load=True)
    pe.parse_data_directories([pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    machine = {0x014C: "i386", 0x8664: "amd64"}.get(pe.FILE_HEADER.Machine,
                                                     "%#06x" % pe.FILE_HEADER.Machine)
    checks.expect(machine == "i386", "Z4Utility.exe is for %s, not i386" % machine)
    numbers = tuple(int(n) for n in version.split(".")) + (0,)
    if not checks.expect(hasattr(pe, "VS_FIXEDFILEINFO"), "no version resource in Z4Utility.exe"):
        return
    fixed = pe.VS_FIXEDFILEINFO[0]
    split = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    file_version = split(fixed.FileVersionMS, fixed.FileVersionLS)
    product_version = split(fixed.ProductVersionMS, fixed.ProductVersionLS)
    strings = {}
    for info in pe.FileInfo[0] if hasattr(pe, "FileInfo") else []:
        for table in getattr(info, "StringTable", []):
            strings.update((k.decode("utf-8"), v.decode("utf-8")) for k, v in table.entries.items())
    checks.expect(file_version == numbers,
                  "FILEVERSION %s is not %s" % (file_version, numbers))
    checks.expect(product_version == numbers,
                  "PRODUCTVERSION %s is not %s" % (product_version, numbers))
    for name in ("FileVersion", "ProductVersion"):
        checks.expect(strings.get(name) == version,
                      "%s text %r is not %r" % (name, strings.get(name), version))
    # Manifest 1, the one Windows reads when it starts the program, in every language.
    manifests = [pe.get_data(language.data.struct.OffsetToData, language.data.struct.Size)
                 for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries
                 if kind.id == pefile.RESOURCE_TYPE["RT_MANIFEST"]
                 for name in kind.directory.entries if name.id == 1
                 for language in name.directory.entries]
    if checks.expect(len(manifests) == 1, "%d manifests in Z4Utility.exe" % len(manifests)):
        identity = ElementTree.fromstring(manifests[0]).find(
            "{urn:schemas-microsoft-com:asm.v1}assemblyIdentity")
        checks.expect(identity is not None and identity.get("version") == "%s.0" % version,
                      "the manifest's version is not %s.0" % version)


def check_reproducible(checks, inputs, version, archive_bytes):
    """The archive built again from copies with other times and permissions."""
    with tempfile.TemporaryDirectory() as stage:
        copies = {}
        for i, (name, path) in enumerate(sorted(inputs.items())):
            copy = os.path.join(stage, "%d-%s" % (i, os.path.basename(path)))
            shutil.copyfile(path, copy)
            os.chmod(copy, 0o600 if i % 2 else 0o755)
            os.utime(copy, (1234567890 + 7 * i, 1234567890 + 7 * i))
            copies[name] = copy
        again = dist_archive.build(copies, version)
    checks.expect(again == archive_bytes,
                  "built again from the same contents, the archive differs")


def main(argv):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    build = os.path.abspath(argv[1] if len(argv) > 1 else "build")
    checks = Checks()
    version = dist_archive.read_version(root)
    name = dist_archive.archive_name(version)
    path = os.path.join(build, "dist", name)
    if not checks.expect(os.path.isfile(path), "no archive %s" % path):
        return 1
    with open(path, "rb") as f:
        archive_bytes = f.read()

    digest = hashlib.sha256(archive_bytes).hexdigest()
    try:
        with open(path + ".sha256", encoding="ascii") as f:
            recorded = f.read()
    except OSError:
        recorded = ""
    checks.expect(recorded == "%s  %s\n" % (digest, name),
                  "%s.sha256 does not hold the archive's SHA-256" % name)

    folder = dist_archive.folder_name(version) + "/"
    expected = sorted([folder, folder + "English/"] +
                      [folder + n for n in ("English/Z4Utility.ini", "README.txt",
                                            "Z4Utility.exe", "Z4Utility.ini", "utility.chm")])
    inputs = dist_archive.default_inputs(root, build)
    with zipfile.ZipFile(path) as archive:
        names = archive.namelist()
        checks.expect(names == expected, "entries %s, expected %s" % (names, expected))
        checks.expect(archive.testzip() is None, "an entry's CRC does not match")
        times = {info.date_time for info in archive.infolist()}
        checks.expect(times == {dist_archive.ENTRY_TIME}, "entry times %s" % sorted(times))
        inside = {n[len(folder):]: archive.read(n) for n in names if not n.endswith("/")}

    for member in ("Z4Utility.exe", "utility.chm", "Z4Utility.ini", "English/Z4Utility.ini"):
        with open(inputs[member], "rb") as f:
            checks.expect(inside.get(member) == f.read(),
                          "%s differs from %s" % (member, inputs[member]))
    if "Z4Utility.exe" in inside:
        check_program(checks, inside["Z4Utility.exe"], version)

    for member in TEXT_FILES:
        problem = text_file_problem(inside.get(member, b""))
        checks.expect(problem is None, "%s %s" % (member, problem))
    readme = inside.get("README.txt", b"").decode("utf-8", "replace")
    checks.expect(readme.count(version) >= 2, "README.txt does not give the version %s" % version)
    checks.expect("@" not in readme, "README.txt holds a placeholder")
    for phrase in README_MUST_NAME:
        checks.expect(phrase in readme, "README.txt does not mention %r" % phrase)
    ini = inside.get("Z4Utility.ini", b"").decode("utf-8", "replace")
    checks.expect("LANGUAGE=JAPAN\r\n" in ini, "the Z4Utility.ini beside the program is not Japanese")

    check_reproducible(checks, inputs, version, archive_bytes)
    check_msi.check_packages(checks, root, os.path.dirname(path), version, inside)

    if checks.failures:
        print("dist: %d checks failed" % checks.failures)
        return 1
    print("dist: %s: %d entries, %d bytes, SHA-256 %s; the packages %s; all checks passed"
          % (name, len(names), len(archive_bytes), digest,
             " and ".join(dist_msi.package_name(version, t) for t in dist_msi.TEXTS)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
