"""Reads the files stored in a Microsoft Compiled HTML Help (.chm) file.

Python 3 standard library only. Handles the ITSF container, its PMGL directory
chunks, content section 0 (stored) and section 1 ("MSCompressed", LZX with a
reset table), which is what chmcmd and Microsoft's compiler write. The LZX
decoder covers verbatim, aligned-offset and uncompressed blocks; the Intel E8
preprocessing that compressors may switch on for executables is refused rather
than guessed, because help compilers do not use it.

    chm = ChmFile.open("utility.chm")
    chm.names()            # ["/#SYSTEM", "/en/index.html", ...]
    chm.read("/en/index.html")
    chm.system()           # {"toc": "utility.hhc", "lcid": 0x411, ...}
"""

import struct


class ChmError(Exception):
    """The file is not a CHM this reader understands, or it is damaged."""


def _encint(buf, pos):
    """Reads a CHM variable-length integer (7 bits a byte, high bit continues)."""
    value = 0
    while True:
        if pos >= len(buf):
            raise ChmError("directory entry runs past its chunk")
        b = buf[pos]
        pos += 1
        value = (value << 7) | (b & 0x7F)
        if not b & 0x80:
            return value, pos


# ---------------------------------------------------------------------------
# LZX
# ---------------------------------------------------------------------------

_EXTRA_BITS = []
_POSITION_BASE = []


def _init_tables():
    j = 0
    for i in range(0, 52, 2):
        _EXTRA_BITS.extend((j, j))
        if i != 0 and j < 17:
            j += 1
    base = 0
    for i in range(52):
        _POSITION_BASE.append(base)
        base += 1 << _EXTRA_BITS[i]


_init_tables()

_PRETREE_SYMBOLS = 20
_LENGTH_SYMBOLS = 249
_ALIGNED_SYMBOLS = 8
_FRAME = 0x8000


class _Bits:
    """The LZX bit stream: 16-bit little-endian words read high bit first."""

    def __init__(self, data, pos=0):
        self.data = data
        self.pos = pos
        self.buf = 0
        self.count = 0

    def ensure(self, n):
        while self.count < n:
            d = self.data
            p = self.pos
            lo = d[p] if p < len(d) else 0
            hi = d[p + 1] if p + 1 < len(d) else 0
            self.pos = p + 2
            self.buf = (self.buf << 16) | (hi << 8) | lo
            self.count += 16

    def peek(self, n):
        self.ensure(n)
        return (self.buf >> (self.count - n)) & ((1 << n) - 1)

    def remove(self, n):
        self.count -= n
        self.buf &= (1 << self.count) - 1

    def read(self, n):
        if n == 0:
            return 0
        v = self.peek(n)
        self.remove(n)
        return v

    def align_for_raw(self):
        """Byte position of an uncompressed block's data: the encoder pads the
        bit stream with 1 to 16 bits up to the next 16-bit boundary."""
        partial = self.count % 16
        pad = partial if partial else 16
        start_bit = self.pos * 8 - self.count + pad
        self.buf = 0
        self.count = 0
        return start_bit // 8

    def restart(self, pos):
        self.pos = pos
        self.buf = 0
        self.count = 0


class _Huffman:
    """Canonical Huffman decoding table built from code lengths."""

    def __init__(self, lengths, name):
        self.name = name
        self.bits = max(lengths) if lengths else 0
        if self.bits == 0:
            self.table = None
            return
        size = 1 << self.bits
        table = [None] * size
        code = 0
        for length in range(1, self.bits + 1):
            for sym, l in enumerate(lengths):
                if l != length:
                    continue
                shift = self.bits - length
                start = code << shift
                end = (code + 1) << shift
                if end > size:
                    raise ChmError("LZX %s tree is over-subscribed" % name)
                entry = (sym, length)
                for k in range(start, end):
                    table[k] = entry
                code += 1
            code <<= 1
        self.table = table

    def decode(self, bits):
        if self.table is None:
            raise ChmError("LZX %s tree is empty but used" % self.name)
        entry = self.table[bits.peek(self.bits)]
        if entry is None:
            raise ChmError("LZX %s code not in tree" % self.name)
        bits.remove(entry[1])
        return entry[0]


class _Lzx:
    def __init__(self, window_bits):
        if not 15 <= window_bits <= 21:
            raise ChmError("LZX window of 2^%d bytes is not supported" % window_bits)
        self.window_size = 1 << window_bits
        slots = {15: 30, 16: 32, 17: 34, 18: 36, 19: 38, 20: 42, 21: 50}[window_bits]
        self.main_symbols = 256 + slots * 8
        self.window = bytearray(self.window_size)
        self.window_pos = 0
        self.reset()

    def reset(self):
        self.r = [1, 1, 1]
        self.header_read = False
        self.block_remaining = 0
        self.block_length = 0
        self.block_type = None
        self.main_len = [0] * self.main_symbols
        self.length_len = [0] * _LENGTH_SYMBOLS
        self.window_pos = 0
        self.decoded = 0  # bytes decoded since the last reset
        self.emitted = 0  # bytes handed out as whole frames since the last reset

    def _read_lengths(self, bits, lens, first, last):
        pre = _Huffman([bits.read(4) for _ in range(_PRETREE_SYMBOLS)], "pre")
        x = first
        while x < last:
            z = pre.decode(bits)
            if z == 17:
                run = bits.read(4) + 4
                for k in range(x, min(x + run, last)):
                    lens[k] = 0
                x += run
            elif z == 18:
                run = bits.read(5) + 20
                for k in range(x, min(x + run, last)):
                    lens[k] = 0
                x += run
            elif z == 19:
                run = bits.read(1) + 4
                z = pre.decode(bits)
                v = (lens[x] - z) % 17 if x < last else 0
                for k in range(x, min(x + run, last)):
                    lens[k] = v
                x += run
            else:
                lens[x] = (lens[x] - z) % 17
                x += 1

    def _read_block_header(self, bits, data):
        if self.block_type == 3:
            # The stream goes on at the next 16-bit boundary after raw data.
            bits.restart(bits.pos + (self.block_length & 1))
        self.block_type = bits.read(3)
        hi = bits.read(16)
        lo = bits.read(8)
        self.block_remaining = self.block_length = (hi << 8) | lo
        if self.block_type == 2:
            self.aligned = _Huffman([bits.read(3) for _ in range(_ALIGNED_SYMBOLS)], "aligned")
        if self.block_type in (1, 2):
            self._read_lengths(bits, self.main_len, 0, 256)
            self._read_lengths(bits, self.main_len, 256, self.main_symbols)
            self.main = _Huffman(self.main_len, "main")
            self._read_lengths(bits, self.length_len, 0, _LENGTH_SYMBOLS)
            self.length = _Huffman(self.length_len, "length")
        elif self.block_type == 3:
            pos = bits.align_for_raw()
            if pos + 12 > len(data):
                raise ChmError("LZX uncompressed block header runs past the data")
            self.r = list(struct.unpack_from("<III", data, pos))
            bits.restart(pos + 12)
        else:
            raise ChmError("LZX block type %d is invalid" % self.block_type)

    def frame(self, data, out_size):
        """Decodes one frame (at most 32 KiB of output) from its own input.

        A match may run past the end of a frame; the bytes beyond it are
        already in the window and count towards the next frame."""
        bits = _Bits(data)
        if not self.header_read:
            if bits.read(1):
                raise ChmError("LZX Intel E8 preprocessing is not supported")
            self.header_read = True
        window = self.window
        mask = self.window_size - 1
        togo = self.emitted + out_size - self.decoded
        while togo > 0:
            if self.block_remaining == 0:
                self._read_block_header(bits, data)
            run = min(self.block_remaining, togo)
            pos = self.window_pos
            if self.block_type == 3:
                if bits.pos + run > len(data):
                    raise ChmError("LZX uncompressed block runs past the data")
                for k in range(run):
                    window[(pos + k) & mask] = data[bits.pos + k]
                bits.pos += run
                produced = run
                pos = (pos + run) & mask
            else:
                produced = self._decode_symbols(bits, pos, run)
                pos = (pos + produced) & mask
            if produced > self.block_remaining:
                raise ChmError("LZX match runs past its block")
            self.block_remaining -= produced
            self.decoded += produced
            togo -= produced
            self.window_pos = pos
        start = self.emitted & mask
        self.emitted += out_size
        end = start + out_size
        if end <= self.window_size:
            return bytes(window[start:end])
        return bytes(window[start:]) + bytes(window[: end - self.window_size])

    def _decode_symbols(self, bits, pos, run):
        """Decodes literals and matches until at least run bytes are produced;
        returns how many were (a last match may go a little further)."""
        window = self.window
        mask = self.window_size - 1
        aligned = self.block_type == 2
        main = self.main
        r = self.r
        produced = 0
        while produced < run:
            sym = main.decode(bits)
            if sym < 256:
                window[pos] = sym
                pos = (pos + 1) & mask
                produced += 1
                continue
            sym -= 256
            length = sym & 7
            if length == 7:
                length += self.length.decode(bits)
            length += 2
            slot = sym >> 3
            if slot > 2:
                extra = _EXTRA_BITS[slot]
                if aligned:
                    offset = _POSITION_BASE[slot] - 2
                    if extra > 3:
                        offset += bits.read(extra - 3) << 3
                        offset += self.aligned.decode(bits)
                    elif extra == 3:
                        offset += self.aligned.decode(bits)
                    elif extra > 0:
                        offset += bits.read(extra)
                    else:
                        offset = 1
                elif slot == 3:
                    offset = 1
                else:
                    offset = _POSITION_BASE[slot] - 2 + bits.read(extra)
                r[2], r[1], r[0] = r[1], r[0], offset
            elif slot == 0:
                offset = r[0]
            elif slot == 1:
                offset = r[1]
                r[1] = r[0]
                r[0] = offset
            else:
                offset = r[2]
                r[2] = r[0]
                r[0] = offset
            if offset > self.decoded + produced:
                raise ChmError("LZX match refers to data before the stream start")
            src = (pos - offset) & mask
            for _ in range(length):
                window[pos] = window[src]
                pos = (pos + 1) & mask
                src = (src + 1) & mask
            produced += length
        return produced


# ---------------------------------------------------------------------------
# Container
# ---------------------------------------------------------------------------

_RESET_TABLE = ("::DataSpace/Storage/MSCompressed/Transform/"
                "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable")
_CONTROL_DATA = "::DataSpace/Storage/MSCompressed/ControlData"
_CONTENT = "::DataSpace/Storage/MSCompressed/Content"


class ChmFile:
    def __init__(self, data):
        self.data = data
        self.entries = {}  # name -> (section, offset, length)
        self._section1 = None
        self._parse_header()

    @classmethod
    def open(cls, path):
        with open(path, "rb") as f:
            return cls(f.read())

    def _parse_header(self):
        d = self.data
        if len(d) < 0x58 or d[:4] != b"ITSF":
            raise ChmError("not a CHM file (no ITSF signature)")
        version, header_len = struct.unpack_from("<II", d, 4)
        self.lcid_header = struct.unpack_from("<I", d, 20)[0]
        dir_offset, dir_length = struct.unpack_from("<QQ", d, 0x48)
        if version >= 3 and header_len >= 0x60:
            self.content_offset = struct.unpack_from("<Q", d, 0x58)[0]
        else:
            self.content_offset = dir_offset + dir_length
        if dir_offset + 0x54 > len(d) or d[dir_offset:dir_offset + 4] != b"ITSP":
            raise ChmError("directory header (ITSP) missing")
        itsp_len, _, chunk_size = struct.unpack_from("<III", d, dir_offset + 8)
        num_chunks = struct.unpack_from("<I", d, dir_offset + 44)[0]
        base = dir_offset + itsp_len
        if base + num_chunks * chunk_size > len(d):
            raise ChmError("directory chunks run past the end of the file")
        for c in range(num_chunks):
            chunk = d[base + c * chunk_size: base + (c + 1) * chunk_size]
            if chunk[:4] != b"PMGL":
                continue
            free = struct.unpack_from("<I", chunk, 4)[0]
            pos, end = 20, chunk_size - free
            while pos < end:
                n, pos = _encint(chunk, pos)
                name = chunk[pos:pos + n].decode("utf-8")
                pos += n
                section, pos = _encint(chunk, pos)
                offset, pos = _encint(chunk, pos)
                length, pos = _encint(chunk, pos)
                self.entries[name] = (section, offset, length)

    def names(self):
        """Every stored name, including the container's own (::DataSpace/...)."""
        return sorted(self.entries)

    def files(self):
        """The user-visible files: names that begin with "/" and are not folders."""
        return sorted(n for n in self.entries if n.startswith("/") and not n.endswith("/"))

    def _raw(self, name):
        section, offset, length = self.entries[name]
        if section != 0:
            raise ChmError("%s is not stored uncompressed" % name)
        start = self.content_offset + offset
        if start + length > len(self.data):
            raise ChmError("%s runs past the end of the file" % name)
        return self.data[start:start + length]

    def _decompress_section1(self):
        for needed in (_RESET_TABLE, _CONTROL_DATA, _CONTENT):
            if needed not in self.entries:
                raise ChmError("compressed section incomplete: %s missing" % needed)
        control = self._raw(_CONTROL_DATA)
        if len(control) < 24 or control[4:8] != b"LZXC":
            raise ChmError("compressed section is not LZX")
        version, reset_interval, window_size = struct.unpack_from("<III", control, 8)
        if version == 2:
            reset_interval *= _FRAME
            window_size *= _FRAME
        window_bits = window_size.bit_length() - 1
        if window_size != 1 << window_bits:
            raise ChmError("LZX window size %d is not a power of two" % window_size)
        table = self._raw(_RESET_TABLE)
        _, count, entry_size, table_offset = struct.unpack_from("<IIII", table, 0)
        uncompressed, compressed, block_size = struct.unpack_from("<QQQ", table, 16)
        if entry_size != 8 or block_size != _FRAME:
            raise ChmError("unexpected LZX reset table layout")
        offsets = [struct.unpack_from("<Q", table, table_offset + 8 * i)[0] for i in range(count)]
        content = self._raw(_CONTENT)
        frames_per_reset = max(1, reset_interval // _FRAME)
        lzx = _Lzx(window_bits)
        out = bytearray()
        frame = 0
        while len(out) < uncompressed:
            if frame >= len(offsets):
                raise ChmError("LZX reset table has too few entries")
            if frame % frames_per_reset == 0:
                if lzx.decoded != lzx.emitted:
                    raise ChmError("LZX data runs across a reset point")
                lzx.reset()
            end = offsets[frame + 1] if frame + 1 < len(offsets) else compressed
            size = min(_FRAME, uncompressed - len(out))
            out += lzx.frame(content[offsets[frame]:end], size)
            frame += 1
        self._section1 = bytes(out)

    def read(self, name):
        """The bytes of one stored file."""
        if name not in self.entries:
            raise KeyError(name)
        section, offset, length = self.entries[name]
        if section == 0:
            return self._raw(name)
        if section != 1:
            raise ChmError("%s is in unknown content section %d" % (name, section))
        if self._section1 is None:
            self._decompress_section1()
        if offset + length > len(self._section1):
            raise ChmError("%s runs past the compressed section" % name)
        return self._section1[offset:offset + length]

    def system(self):
        """The entries of /#SYSTEM that matter for checking a help file."""
        data = self.read("/#SYSTEM")
        info = {"lcid": self.lcid_header}
        pos = 4
        names = {0: "toc", 1: "index", 2: "default_topic", 3: "title", 16: "font"}
        while pos + 4 <= len(data):
            code, length = struct.unpack_from("<HH", data, pos)
            value = data[pos + 4:pos + 4 + length]
            pos += 4 + length
            if code in names:
                info[names[code]] = value.split(b"\0", 1)[0]
            elif code == 4 and len(value) >= 4:
                info["lcid"] = struct.unpack_from("<I", value, 0)[0]
        return info
