"""The release archive: what goes into it and how it is written.

The archive holds one folder, Z4Utility-<version>/, with the shipped program,
its help file, the Japanese text table beside the program, the English one in
a folder of its own and README.txt. It depends only on the contents of those
files: every entry carries the same fixed time and attributes, and the
entries are written in sorted order.
"""
import io
import os
import re
import zipfile

# Every entry's time. A zip stores local time without a zone, in 2-second
# steps, so a fixed value is the only one two builds can agree on.
ENTRY_TIME = (2000, 1, 1, 0, 0, 0)
# Unix permissions in the high 16 bits (so that unzip gives readable files),
# the MS-DOS directory flag in the low ones for Windows.
DIRECTORY_ATTRIBUTES = (0o040755 << 16) | 0x10
FILE_ATTRIBUTES = 0o100644 << 16
BOM = b"\xef\xbb\xbf"


def read_version(root):
    with open(os.path.join(root, "VERSION"), encoding="ascii") as f:
        version = f.readline().strip()
    if not re.fullmatch(r"[0-9]+\.[0-9]+\.[0-9]+", version):
        raise ValueError("VERSION must hold major.minor.patch, not %r" % version)
    return version


def folder_name(version):
    return "Z4Utility-%s" % version


def archive_name(version):
    return folder_name(version) + ".zip"


def default_inputs(root, build):
    """Where each file of the archive comes from: name in the folder -> path."""
    return {
        "Z4Utility.exe": os.path.join(build, "win", "Z4Utility.exe"),
        "utility.chm": os.path.join(build, "win", "utility.chm"),
        "Z4Utility.ini": os.path.join(root, "res", "ja", "Z4Utility.ini"),
        "English/Z4Utility.ini": os.path.join(root, "res", "Z4Utility.ini"),
        "README.txt": os.path.join(root, "res", "README.txt.in"),
    }


def readme_text(template, version):
    """README.txt as Notepad reads it on any Windows: UTF-8 with a byte-order
    mark (which also tells Notepad on Japanese Windows that it is not
    Shift-JIS), CR LF line ends, the version filled in."""
    text = template.decode("utf-8").replace("\r\n", "\n").replace("@VERSION@", version)
    left = re.search(r"@[A-Z_]+@", text)
    if left:
        raise ValueError("README template names an unknown value %s" % left.group(0))
    return BOM + text.replace("\n", "\r\n").encode("utf-8")


def files(inputs, version):
    """Each file as it is shipped: name in the folder -> bytes."""
    shipped = {}
    for name, path in inputs.items():
        with open(path, "rb") as f:
            data = f.read()
        shipped[name] = readme_text(data, version) if name == "README.txt" else data
    return shipped


def entries(inputs, version):
    """(name inside the archive, bytes or None for a folder), sorted by name."""
    folder = folder_name(version) + "/"
    contents = {}
    for name, data in files(inputs, version).items():
        contents[folder + name] = data
        # Every folder above a file gets an entry of its own.
        parts = name.split("/")[:-1]
        for depth in range(len(parts)):
            contents.setdefault(folder + "/".join(parts[:depth + 1]) + "/", None)
    contents[folder] = None
    return sorted(contents.items())


def build(inputs, version):
    """The archive's bytes."""
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as archive:
        for name, data in entries(inputs, version):
            info = zipfile.ZipInfo(name, date_time=ENTRY_TIME)
            info.create_system = 3  # the attributes' high half is Unix
            if data is None:
                info.external_attr = DIRECTORY_ATTRIBUTES
                archive.writestr(info, b"", compress_type=zipfile.ZIP_STORED)
            else:
                info.external_attr = FILE_ATTRIBUTES
                archive.writestr(info, data, compress_type=zipfile.ZIP_DEFLATED,
                                 compresslevel=9)
    return buffer.getvalue()
