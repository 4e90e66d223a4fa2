#!/usr/bin/env python3
"""Checks a built help file (utility.chm) from the inside.

    scripts/check-help.py build/win/utility.chm

Reads the CHM through CHMLIB's tools (enum_chmLib and extract_chmLib, Debian
package libchm-bin) and checks:

- the table of contents and the index named in the file's #SYSTEM exist, decode
  in the code page of the file's language (that is how the help viewer reads
  them), do not look like UTF-8 read in that code page, and declare no other
  charset;
- every entry of the table of contents and of the index names a file that is in
  the CHM, and an anchor that the page defines;
- every page declares its charset and decodes in it; every href/src of every
  page, and every url() of a style sheet, that points to a local file names a
  file in the CHM (same case), and its #anchor exists in that page;
- the default topic is in the CHM, every page is in the table of contents, and
  the en/ and ja/ pages come in pairs with the same anchors.

Prints one summary line and exits 0 when all is well; otherwise prints one line
per problem, then the summary, and exits 1.
"""

import os
import posixpath
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import urllib.parse
from html.parser import HTMLParser


class ChmError(Exception):
    pass


# One line of enum_chmLib's listing: section, start, length, kind, name.
LISTING_RE = re.compile(r"^\s*\d+\s+\d+\s+\d+\s+(?:normal|special|meta)\s+(file|dir)\s+(/.*)$")


class ChmFile:
    """A compiled help file, listed with enum_chmLib and unpacked with
    extract_chmLib into a temporary folder that close() removes."""

    def __init__(self, path):
        with open(path, "rb") as f:
            head = f.read(0x18)
        if len(head) < 0x18 or head[:4] != b"ITSF":
            raise ChmError("not a CHM file (no ITSF signature)")
        self.lcid_header = struct.unpack_from("<I", head, 0x14)[0]
        self.names = []
        for line in self.tool("enum_chmLib", path).splitlines():
            m = LISTING_RE.match(line)
            if m and m.group(1) == "file":
                self.names.append(m.group(2))
        if not self.names:
            raise ChmError("enum_chmLib lists no files")
        self.folder = tempfile.mkdtemp(prefix="z4-chm-")
        self.tool("extract_chmLib", path, self.folder)

    @staticmethod
    def tool(name, *args):
        try:
            run = subprocess.run([name, *args], stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                                 stdin=subprocess.DEVNULL)
        except OSError as e:
            raise ChmError("cannot run %s (package libchm-bin): %s" % (name, e))
        if run.returncode != 0:
            raise ChmError("%s failed: %s" % (name, run.stdout.decode("latin-1").strip()))
        return run.stdout.decode("latin-1")

    def close(self):
        shutil.rmtree(self.folder, ignore_errors=True)

    def files(self):
        """Every stored file, by its name in the CHM ("/en/index.html")."""
        return sorted(self.names)

    def read(self, name):
        if name not in self.names:
            raise KeyError(name)
        try:
            with open(os.path.join(self.folder, name.lstrip("/")), "rb") as f:
                return f.read()
        except OSError as e:
            raise ChmError("%s was not unpacked: %s" % (name, e))

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

# ANSI code page of the languages a help file is likely to be compiled with.
CODEPAGES = {
    0x0404: "cp950", 0x0407: "cp1252", 0x0409: "cp1252", 0x040C: "cp1252",
    0x0410: "cp1252", 0x0411: "cp932", 0x0412: "cp949", 0x0419: "cp1251",
    0x0804: "gbk", 0x0809: "cp1252", 0x0C0A: "cp1252",
}

CHARSET_NAMES = {
    "shift_jis": "cp932", "shift-jis": "cp932", "sjis": "cp932", "x-sjis": "cp932",
    "windows-31j": "cp932", "cp932": "cp932", "ms932": "cp932",
    "utf-8": "utf-8", "utf8": "utf-8",
    "iso-8859-1": "cp1252", "windows-1252": "cp1252", "us-ascii": "cp1252",
}

PAGE_EXTENSIONS = (".htm", ".html")
LINK_ATTRIBUTES = ("href", "src", "background", "data")
CHARSET_RE = re.compile(rb"""<meta[^>]*charset\s*=\s*["']?([A-Za-z0-9_.:-]+)""", re.I)
CSS_URL_RE = re.compile(r"""url\(\s*["']?([^"')]+?)["']?\s*\)""", re.I)


def normalise_charset(name):
    return CHARSET_NAMES.get(name.lower(), name.lower())


class SitemapParser(HTMLParser):
    """Collects the <OBJECT type="text/sitemap"> entries of a .hhc or .hhk."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.entries = []  # (line, [names], [locals])
        self._current = None

    def handle_starttag(self, tag, attrs):
        a = dict(attrs)
        if tag == "object" and (a.get("type") or "").lower() == "text/sitemap":
            self._current = (self.getpos()[0], [], [])
        elif tag == "param" and self._current is not None:
            name = (a.get("name") or "").lower()
            value = a.get("value") or ""
            if name == "name":
                self._current[1].append(value)
            elif name == "local":
                self._current[2].append(value)

    def handle_endtag(self, tag):
        if tag == "object" and self._current is not None:
            self.entries.append(self._current)
            self._current = None


class PageParser(HTMLParser):
    """Collects the local references and the anchors of one HTML page."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.refs = []  # (line, value)
        self.anchors = set()

    def handle_starttag(self, tag, attrs):
        for name, value in attrs:
            if value is None:
                continue
            if name == "id" or (name == "name" and tag == "a"):
                self.anchors.add(value)
            elif name in LINK_ATTRIBUTES:
                self.refs.append((self.getpos()[0], value))

    handle_startendtag = handle_starttag


class Checker:
    def __init__(self, path):
        self.path = path
        self.label = os.path.basename(path)
        self.problems = []
        self.broken = 0
        self.links = 0
        self.chm = ChmFile(path)
        self.files = set(self.chm.files())
        self.lower = {}
        for f in self.files:
            self.lower.setdefault(f.lower(), f)
        self.pages = {}  # name -> PageParser

    def problem(self, where, what, broken=False):
        self.problems.append("%s: %s" % (where, what))
        if broken:
            self.broken += 1

    # -- pages -------------------------------------------------------------

    def load_pages(self):
        for name in sorted(self.files):
            if not name.lower().endswith(PAGE_EXTENSIONS):
                continue
            data = self.chm.read(name)
            m = CHARSET_RE.search(data[:2048])
            if not m:
                self.problem(name[1:], "no charset declared in a <meta> tag")
                charset = "cp1252"
            else:
                charset = normalise_charset(m.group(1).decode("ascii"))
            try:
                text = data.decode(charset)
            except (LookupError, UnicodeDecodeError) as e:
                self.problem(name[1:], "does not decode as its declared charset %s: %s"
                             % (charset, e))
                text = data.decode("latin-1")  # still look for its links and anchors
            parser = PageParser()
            parser.feed(text)
            parser.close()
            self.pages[name] = parser

    def resolve(self, base_dir, ref):
        """The CHM name and fragment a reference points to, or None for an
        external one. Raises ValueError for a reference that leaves the file."""
        parts = urllib.parse.urlsplit(ref)
        if parts.scheme or parts.netloc:
            return None
        path = urllib.parse.unquote(parts.path)
        if path.startswith("/"):
            target = posixpath.normpath(path)
        elif path:
            target = posixpath.normpath(posixpath.join(base_dir, path))
        else:
            target = None  # fragment in the same page
        if target is not None and (target.startswith("/..") or not target.startswith("/")):
            raise ValueError("points outside the help file")
        return target, urllib.parse.unquote(parts.fragment)

    def check_target(self, where, ref, base_dir, same_page=None):
        """Checks one local reference; returns the target's CHM name or None."""
        try:
            resolved = self.resolve(base_dir, ref)
        except ValueError as e:
            self.links += 1
            self.problem(where, "link %s %s" % (ref, e), broken=True)
            return None
        if resolved is None:
            return None
        self.links += 1
        target, fragment = resolved
        if target is None:
            target = same_page
            if target is None:
                self.problem(where, "link %s has no file" % ref, broken=True)
                return None
        if target not in self.files:
            other = self.lower.get(target.lower())
            if other:
                self.problem(where, "link %s: file is stored as %s (case differs)"
                             % (ref, other[1:]), broken=True)
            else:
                self.problem(where, "link %s: %s is not in the help file" % (ref, target[1:]),
                             broken=True)
            return None
        if fragment:
            page = self.pages.get(target)
            if page is None:
                self.problem(where, "link %s: anchor in a file that is not a page" % ref,
                             broken=True)
            elif fragment not in page.anchors:
                self.problem(where, "link %s: %s has no anchor %s"
                             % (ref, target[1:], fragment), broken=True)
        return target

    def check_pages(self):
        for name, page in sorted(self.pages.items()):
            base = posixpath.dirname(name)
            for line, ref in page.refs:
                self.check_target("%s:%d" % (name[1:], line), ref, base, same_page=name)
        for name in sorted(self.files):
            if name.lower().endswith(".css"):
                text = self.chm.read(name).decode("utf-8", "replace")
                for m in CSS_URL_RE.finditer(text):
                    line = text.count("\n", 0, m.start()) + 1
                    self.check_target("%s:%d" % (name[1:], line), m.group(1),
                                      posixpath.dirname(name))

    # -- table of contents and index -------------------------------------

    def read_sitemap(self, kind, stored_name, codepage):
        name = "/" + stored_name.lstrip("/")
        if name not in self.files:
            self.problem(self.label, "%s %s named in #SYSTEM is not in the file"
                         % (kind, stored_name), broken=True)
            return None
        data = self.chm.read(name)
        where = stored_name
        try:
            text = data.decode(codepage)
        except UnicodeDecodeError as e:
            self.problem(where, "not readable in code page %s of the file's language: %s"
                         % (codepage, e))
            text = data.decode(codepage, "replace")  # its links can still be checked
        if codepage != "utf-8" and any(b > 0x7F for b in data):
            try:
                data.decode("utf-8")
                self.problem(where, "holds UTF-8 text, but the viewer reads it in %s "
                                    "(it would show garbled)" % codepage)
            except UnicodeDecodeError:
                pass
        m = CHARSET_RE.search(data)
        if m and normalise_charset(m.group(1).decode("ascii")) != codepage:
            self.problem(where, "declares charset %s, but the file's language reads it as %s"
                         % (m.group(1).decode("ascii"), codepage))
        parser = SitemapParser()
        parser.feed(text)
        parser.close()
        return parser.entries

    def check_sitemaps(self):
        info = self.chm.system()
        lcid = info.get("lcid", 0)
        codepage = CODEPAGES.get(lcid)
        if codepage is None:
            self.problem(self.label, "language 0x%04X has no known code page" % lcid)
            codepage = "cp1252"
        toc_pages = set()
        if "toc" not in info:
            self.problem(self.label, "has no table of contents")
        else:
            entries = self.read_sitemap("table of contents", info["toc"].decode("latin-1"),
                                        codepage)
            for line, names, locals_ in entries or []:
                where = "%s:%d" % (info["toc"].decode("latin-1"), line)
                if not names or not names[0].strip():
                    self.problem(where, "entry without a name")
                for local in locals_:
                    target = self.check_target(where, local, "/")
                    if target:
                        toc_pages.add(target)
            if entries is not None and not entries:
                self.problem(self.label, "table of contents is empty")
        self.keywords = 0
        if "index" not in info:
            self.problem(self.label, "has no index")
        else:
            entries = self.read_sitemap("index", info["index"].decode("latin-1"), codepage)
            for line, names, locals_ in entries or []:
                where = "%s:%d" % (info["index"].decode("latin-1"), line)
                self.keywords += 1
                if not names or not names[0].strip():
                    self.problem(where, "keyword without a name")
                if not locals_:
                    self.problem(where, "keyword %s points nowhere" % (names[:1] or ["?"])[0])
                for local in locals_:
                    self.check_target(where, local, "/")
        default = info.get("default_topic", b"").decode("latin-1")
        if not default:
            self.problem(self.label, "has no default topic")
        else:
            self.check_target(self.label + " default topic", default, "/")
        for name in sorted(self.pages):
            if name not in toc_pages:
                self.problem(name[1:], "page is not in the table of contents")
        self.toc_pages = toc_pages

    def check_languages(self):
        en = {n[len("/en/"):]: n for n in self.pages if n.startswith("/en/")}
        ja = {n[len("/ja/"):]: n for n in self.pages if n.startswith("/ja/")}
        if not en or not ja:
            self.problem(self.label, "pages for English (en/) and Japanese (ja/) expected")
            return
        for rest in sorted(set(en) ^ set(ja)):
            have, lack = ("en", "ja") if rest in en else ("ja", "en")
            self.problem("%s/%s" % (have, rest), "has no %s counterpart" % lack)
        for rest in sorted(set(en) & set(ja)):
            a, b = self.pages[en[rest]].anchors, self.pages[ja[rest]].anchors
            for missing, page in ((a - b, "ja"), (b - a, "en")):
                if missing:
                    self.problem("%s/%s" % (page, rest), "lacks anchor(s) %s of its counterpart"
                                 % ", ".join(sorted(missing)))

    def run(self):
        self.load_pages()
        self.check_pages()
        self.check_sitemaps()
        self.check_languages()


def main(argv):
    if len(argv) != 2 or argv[1].startswith("-"):
        print("usage: check-help.py FILE.chm", file=sys.stderr)
        return 2
    path = argv[1]
    label = os.path.basename(path)
    checker = None
    try:
        checker = Checker(path)
        checker.run()
    except (OSError, ChmError, KeyError) as e:
        print("help: %s FAILED: cannot read it: %s" % (label, e))
        return 1
    finally:
        if checker is not None:
            checker.chm.close()
    summary = "%d pages in the table of contents, %d index keywords, %d links, %d broken" % (
        len(checker.toc_pages), checker.keywords, checker.links, checker.broken)
    if not checker.problems:
        print("help: %s ok: %s" % (label, summary))
        return 0
    for p in checker.problems:
        print("help: %s: %s" % (label, p))
    others = len(checker.problems) - checker.broken
    print("help: %s FAILED: %s%s" % (label, summary,
                                     ", %d other problem%s" % (others, "s"[:others != 1])
                                     if others else ""))
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
