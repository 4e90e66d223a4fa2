"""The summary information of a Windows Installer package, read and patched
in place.

A package is an OLE compound file; its stream "\\x05SummaryInformation" is a
property set holding, among others, the package code (a GUID in braces,
PID_REVNUMBER) and the times the package was created and last saved. wixl
writes a random package code and the current time there, so two builds of
the same files differ in those bytes only. fix() writes the given times and
a package code derived from everything else in the file, in place: the
stream keeps its size, and every other byte of the file stays as it was.
"""
import hashlib
import struct
import uuid

SIGNATURE = b"\xd0\xcf\x11\xe0\xa1\xb1\x1a\xe1"
FREE, END_OF_CHAIN = 0xFFFFFFFF, 0xFFFFFFFE
STREAM_NAME = "\x05SummaryInformation"
PID_TEMPLATE, PID_REVNUMBER, PID_CREATE_DTM, PID_LASTSAVE_DTM = 7, 9, 12, 13
VT_LPSTR, VT_FILETIME = 0x1E, 0x40
# 100-ns intervals between 1601-01-01 and 1970-01-01, the FILETIME epoch.
FILETIME_1970 = 116444736000000000
# The package codes of this project's packages are name-based GUIDs in this space.
PACKAGE_CODE_SPACE = uuid.UUID("3F0B36A2-7E8C-4C1D-9A55-1D2C2B6E0F41")


def _chain(fat, first):
    sectors = []
    while first not in (END_OF_CHAIN, FREE):
        if first >= len(fat) or len(sectors) > len(fat):
            raise ValueError("broken sector chain")
        sectors.append(first)
        first = fat[first]
    return sectors


def _stream_spans(data, name):
    """Where a stream's bytes lie in the compound file: [(offset, length)]."""
    if data[:8] != SIGNATURE:
        raise ValueError("not a compound file")
    sector = 1 << struct.unpack_from("<H", data, 0x1E)[0]
    mini = 1 << struct.unpack_from("<H", data, 0x20)[0]
    (fat_count, directory_first, _, cutoff, minifat_first, _, difat_next,
     difat_count) = struct.unpack_from("<8I", data, 0x2C)

    def at(n):
        return (n + 1) * sector

    # The FAT's sectors: 109 listed in the header, the rest in a chain of
    # sectors each ending with the number of the next.
    fat_sectors = list(struct.unpack_from("<109I", data, 0x4C))
    for _ in range(difat_count):
        listed = struct.unpack_from("<%dI" % (sector // 4), data, at(difat_next))
        fat_sectors.extend(listed[:-1])
        difat_next = listed[-1]
    fat = []
    for s in fat_sectors[:fat_count]:
        fat.extend(struct.unpack_from("<%dI" % (sector // 4), data, at(s)))
    directory = [at(s) + i for s in _chain(fat, directory_first) for i in range(0, sector, 128)]
    entries = {}
    for offset in directory:
        length = struct.unpack_from("<H", data, offset + 64)[0]
        entry_name = data[offset:offset + max(length - 2, 0)].decode("utf-16-le")
        start, size = struct.unpack_from("<II", data, offset + 116)
        entries.setdefault(entry_name, (start, size))
    if name not in entries:
        raise ValueError("no stream %r" % name)
    start, size = entries[name]
    if size >= cutoff:
        unit, places = sector, [at(s) for s in _chain(fat, start)]
    else:
        root_start = struct.unpack_from("<I", data, directory[0] + 116)[0]
        container = [at(s) for s in _chain(fat, root_start)]
        minifat = []
        for s in _chain(fat, minifat_first):
            minifat.extend(struct.unpack_from("<%dI" % (sector // 4), data, at(s)))
        unit = mini
        places = [container[m * mini // sector] + m * mini % sector for m in _chain(minifat, start)]
    spans = []
    for place in places:
        length = min(unit, size - unit * len(spans))
        if length <= 0:
            break
        spans.append((place, length))
    return spans


def _properties(stream):
    """{property id: (type, offset of its value in the stream)}."""
    section = struct.unpack_from("<I", stream, 44)[0]
    count = struct.unpack_from("<I", stream, section + 4)[0]
    found = {}
    for i in range(count):
        pid, offset = struct.unpack_from("<II", stream, section + 8 + 8 * i)
        kind = struct.unpack_from("<H", stream, section + offset)[0]
        found[pid] = (kind, section + offset + 4)
    return found


def _filetime(seconds):
    return struct.pack("<Q", FILETIME_1970 + seconds * 10000000)


def read(data):
    """The package code, template and the two times (Unix seconds) of a package."""
    spans = _stream_spans(data, STREAM_NAME)
    stream = b"".join(data[o:o + n] for o, n in spans)
    props = _properties(stream)
    result = {}
    for key, pid in (("package_code", PID_REVNUMBER), ("template", PID_TEMPLATE)):
        kind, at = props[pid]
        length = struct.unpack_from("<I", stream, at)[0]
        result[key] = stream[at + 4:at + 4 + length].rstrip(b"\0").decode("ascii")
    for key, pid in (("created", PID_CREATE_DTM), ("saved", PID_LASTSAVE_DTM)):
        kind, at = props[pid]
        result[key] = (struct.unpack_from("<Q", stream, at)[0] - FILETIME_1970) // 10000000
    return result


def _patched(data, spans, stream, changes):
    stream = bytearray(stream)
    for at, value in changes:
        stream[at:at + len(value)] = value
    out = bytearray(data)
    position = 0
    for offset, length in spans:
        out[offset:offset + length] = stream[position:position + length]
        position += length
    return bytes(out)


def fix(data, seconds):
    """The package with both times set to `seconds` (Unix time) and the
    package code derived from the rest of its bytes."""
    spans = _stream_spans(data, STREAM_NAME)
    stream = b"".join(data[o:o + n] for o, n in spans)
    props = _properties(stream)
    kind, code_at = props[PID_REVNUMBER]
    if kind != VT_LPSTR or struct.unpack_from("<I", stream, code_at)[0] < 39:
        raise ValueError("the package code is not a GUID string")
    changes = []
    for pid in (PID_CREATE_DTM, PID_LASTSAVE_DTM):
        kind, at = props[pid]
        if kind != VT_FILETIME:
            raise ValueError("property %d is not a time" % pid)
        changes.append((at, _filetime(seconds)))
    blank = b"{%s}" % str(uuid.UUID(int=0)).encode()
    changes.append((code_at + 4, blank))
    without_code = _patched(data, spans, stream, changes)
    code = uuid.uuid5(PACKAGE_CODE_SPACE, hashlib.sha256(without_code).hexdigest())
    changes[-1] = (code_at + 4, ("{%s}" % code).upper().encode())
    return _patched(data, spans, stream, changes)
