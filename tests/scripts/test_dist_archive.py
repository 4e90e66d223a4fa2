"""The release archive's writer and the checks make test applies to it."""
import importlib.util
import io
import os
import sys
import tempfile
import unittest
import zipfile

SCRIPTS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts")
sys.path.insert(0, SCRIPTS)
import dist_archive  # noqa: E402

_spec = importlib.util.spec_from_file_location("check_dist", os.path.join(SCRIPTS, "check-dist.py"))
check_dist = importlib.util.module_from_spec(_spec)
_spec.loader.exec_module(check_dist)

BOM = b"\xef\xbb\xbf"


class TextFiles(unittest.TestCase):
    def test_notepad_readable_text(self):
        cases = [
            (b"LANGUAGE=ENGLISH\r\nX=1\r\n", None),
            (BOM + "濃度\r\n".encode("utf-8"), None),
            (b"a\nb\r\n", "LF alone"),
            (b"a\r\nb\r\r\n", "CR alone"),
            (b"a\r\nb", "does not end"),
            ("濃度\r\n".encode("utf-8"), "without a UTF-8 byte-order mark"),
            ("濃度\r\n".encode("shift_jis"), "without a UTF-8 byte-order mark"),
            (BOM + b"\x8c\x5a\r\n", "not valid UTF-8"),
            (BOM + BOM + b"x\r\n", "second byte-order mark"),
            ("a\r\n".encode("utf-16-le"), "NUL"),
        ]
        for data, problem in cases:
            with self.subTest(data=data):
                found = check_dist.text_file_problem(data)
                if problem is None:
                    self.assertIsNone(found)
                else:
                    self.assertIn(problem, found or "")


class Archive(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.addCleanup(self.folder.cleanup)
        self.inputs = {}
        for name, data in {"Z4Utility.exe": b"MZ program", "utility.chm": b"ITSF help",
                           "Z4Utility.ini": BOM + "LANGUAGE=JAPAN\r\n".encode(),
                           "English/Z4Utility.ini": b"LANGUAGE=ENGLISH\r\n",
                           "README.txt": "Z4Utility @VERSION@\n日本語 @VERSION@\n".encode()}.items():
            path = os.path.join(self.folder.name, name.replace("/", "-"))
            with open(path, "wb") as f:
                f.write(data)
            self.inputs[name] = path

    def test_one_sorted_folder_with_the_version_in_readme(self):
        archive = zipfile.ZipFile(io.BytesIO(dist_archive.build(self.inputs, "2.3.4")))
        self.assertEqual(archive.namelist(), [
            "Z4Utility-2.3.4/", "Z4Utility-2.3.4/English/", "Z4Utility-2.3.4/English/Z4Utility.ini",
            "Z4Utility-2.3.4/README.txt", "Z4Utility-2.3.4/Z4Utility.exe",
            "Z4Utility-2.3.4/Z4Utility.ini", "Z4Utility-2.3.4/utility.chm"])
        self.assertEqual(archive.read("Z4Utility-2.3.4/README.txt"),
                         BOM + "Z4Utility 2.3.4\r\n日本語 2.3.4\r\n".encode())
        self.assertEqual(archive.read("Z4Utility-2.3.4/Z4Utility.exe"), b"MZ program")

    def test_the_same_contents_give_the_same_bytes_whatever_the_file_times(self):
        first = dist_archive.build(self.inputs, "1.0.0")
        for i, path in enumerate(self.inputs.values()):
            os.utime(path, (1500000000 + 3 * i, 1500000000 + 3 * i))
            os.chmod(path, 0o600)
        self.assertEqual(dist_archive.build(self.inputs, "1.0.0"), first)
        with open(self.inputs["utility.chm"], "ab") as f:
            f.write(b"!")
        self.assertNotEqual(dist_archive.build(self.inputs, "1.0.0"), first)

    def test_an_unknown_placeholder_in_readme_is_refused(self):
        with open(self.inputs["README.txt"], "wb") as f:
            f.write(b"Z4Utility @VERSION@, built @DATE@\n")
        with self.assertRaises(ValueError):
            dist_archive.build(self.inputs, "1.0.0")


if __name__ == "__main__":
    unittest.main()
