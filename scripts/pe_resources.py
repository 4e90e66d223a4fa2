#!/usr/bin/env python3
"""Reads what the release checks need from a Windows executable (PE32 or
PE32+) without running it: the machine field of its header, its resources,
the embedded manifest and the version resource.

    pe_resources.py machine EXE     i386 or amd64 (or the field in hex)
    pe_resources.py manifest EXE [ID]
                                    the RT_MANIFEST resource ID (default 1, the
                                    one Windows reads when it starts the program),
                                    as stored
    pe_resources.py version EXE     the fixed file and product versions and the strings
"""
import struct
import sys

RT_VERSION = 16
RT_MANIFEST = 24
MACHINES = {0x014C: "i386", 0x8664: "amd64"}


class PeError(Exception):
    pass


class PeFile:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ" or len(data) < 0x40:
            raise PeError("no DOS header")
        (pe_offset,) = struct.unpack_from("<I", data, 0x3C)
        if data[pe_offset:pe_offset + 4] != b"PE\0\0":
            raise PeError("no PE signature")
        coff = pe_offset + 4
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from(
            "<HHIIIHH", data, coff)
        optional = coff + 20
        (magic,) = struct.unpack_from("<H", data, optional)
        if magic == 0x10B:
            directories = optional + 96
        elif magic == 0x20B:
            directories = optional + 112
        else:
            raise PeError("unknown optional header magic %#x" % magic)
        (count,) = struct.unpack_from("<I", data, directories - 4)
        self.resource_rva = 0
        if count > 2:
            self.resource_rva, _ = struct.unpack_from("<II", data, directories + 2 * 8)
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            entry = table + 40 * i
            virtual_size, rva, raw_size, raw_offset = struct.unpack_from("<IIII", data, entry + 8)
            self.sections.append((rva, max(virtual_size, raw_size), raw_offset, raw_size))

    def offset(self, rva):
        for start, size, raw_offset, raw_size in self.sections:
            if start <= rva < start + size:
                if rva - start >= raw_size:
                    raise PeError("RVA %#x lies outside the file" % rva)
                return raw_offset + rva - start
        raise PeError("RVA %#x is in no section" % rva)

    def machine_name(self):
        return MACHINES.get(self.machine, "%#06x" % self.machine)

    def resources(self, type_id):
        """Every resource of a numeric type: a list of (name or id, language, bytes)."""
        if not self.resource_rva:
            return []
        base = self.offset(self.resource_rva)
        found = []
        for kind, type_dir, is_dir in self._entries(base, base):
            if kind != type_id or not is_dir:
                continue
            for name, name_dir, is_dir in self._entries(base, type_dir):
                if not is_dir:
                    continue
                for language, leaf, is_dir in self._entries(base, name_dir):
                    if is_dir:
                        raise PeError("resource tree deeper than three levels")
                    rva, size = struct.unpack_from("<II", self.data, leaf)
                    start = self.offset(rva)
                    found.append((name, language, self.data[start:start + size]))
        return found

    def _entries(self, base, directory):
        """A resource directory's entries: (id or name, offset, whether it is a directory)."""
        named, numbered = struct.unpack_from("<HH", self.data, directory + 12)
        for i in range(named + numbered):
            key, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
            if key & 0x80000000:
                at = base + (key & 0x7FFFFFFF)
                (length,) = struct.unpack_from("<H", self.data, at)
                key = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            yield key, base + (target & 0x7FFFFFFF), bool(target & 0x80000000)


def read_pe(path):
    with open(path, "rb") as f:
        return PeFile(f.read())


def manifests(pe, resource_id=1):
    """The RT_MANIFEST resources with that id, in every language."""
    return [data for name, _, data in pe.resources(RT_MANIFEST) if name == resource_id]


def _blocks(data, start, end):
    """The version resource's nested blocks: (key, value bytes, value type, children range)."""
    at = start
    while at + 6 <= end:
        length, value_length, value_type = struct.unpack_from("<HHH", data, at)
        if length == 0:
            break
        key_end = at + 6
        while data[key_end:key_end + 2] != b"\0\0":
            key_end += 2
        key = data[at + 6:key_end].decode("utf-16-le")
        value_at = (key_end + 2 + 3) & ~3
        value_bytes = value_length * 2 if value_type == 1 else value_length
        value = data[value_at:value_at + value_bytes]
        children = ((value_at + value_bytes + 3) & ~3, at + length)
        yield key, value, value_type, children
        at = (at + length + 3) & ~3


def version_info(pe):
    """(file version, product version, {string name: text}) of the first
    version resource; the versions as four-number tuples."""
    found = pe.resources(RT_VERSION)
    if not found:
        raise PeError("no version resource")
    data = found[0][2]
    blocks = list(_blocks(data, 0, len(data)))
    if not blocks or blocks[0][0] != "VS_VERSION_INFO":
        raise PeError("the version resource does not start with VS_VERSION_INFO")
    _, fixed, _, (child_start, child_end) = blocks[0]
    signature, _, file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<6I", fixed)
    if signature != 0xFEEF04BD:
        raise PeError("no fixed file information")
    split = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    strings = {}
    for key, _, _, (start, end) in _blocks(data, child_start, child_end):
        if key != "StringFileInfo":
            continue
        for _, _, _, (table_start, table_end) in _blocks(data, start, end):
            for name, value, _, _ in _blocks(data, table_start, table_end):
                strings[name] = value.decode("utf-16-le").rstrip("\0")
    return split(file_ms, file_ls), split(product_ms, product_ls), strings


def main(argv):
    if len(argv) not in (3, 4) or argv[1] not in ("machine", "manifest", "version") or (
            len(argv) == 4 and (argv[1] != "manifest" or not argv[3].isdigit())):
        sys.stderr.write(__doc__)
        return 2
    try:
        pe = read_pe(argv[2])
        if argv[1] == "machine":
            print(pe.machine_name())
        elif argv[1] == "manifest":
            resource_id = int(argv[3]) if len(argv) == 4 else 1
            found = manifests(pe, resource_id)
            if len(found) != 1:
                raise PeError("%d manifests with id %d embedded, not one" % (len(found), resource_id))
            sys.stdout.buffer.write(found[0])
        else:
            file_version, product_version, strings = version_info(pe)
            print("FILEVERSION " + ".".join(map(str, file_version)))
            print("PRODUCTVERSION " + ".".join(map(str, product_version)))
            for name in sorted(strings):
                print("%s=%s" % (name, strings[name]))
    except (PeError, OSError, struct.error, UnicodeDecodeError) as e:
        sys.stderr.write("%s: %s\n" % (argv[2], e))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
