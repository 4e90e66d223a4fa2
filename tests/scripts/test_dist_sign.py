"""Which signing options make dist accepts (the signing itself runs in the
Wine test of the packages, with a throw-away certificate)."""
import argparse
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
import dist_sign  # noqa: E402


class SigningOptions(unittest.TestCase):
    def test_a_certificate_comes_whole_or_not_at_all(self):
        with tempfile.NamedTemporaryFile() as f:
            cases = [
                ({}, None),
                ({"pkcs12": f.name}, ["-pkcs12", f.name]),
                ({"pkcs12": f.name, "password_file": f.name},
                 ["-pkcs12", f.name, "-readpass", f.name]),
                ({"cert": f.name, "key": f.name}, ["-certs", f.name, "-key", f.name]),
                ({"cert": f.name}, "needs its key"),
                ({"key": f.name}, "needs its key"),
                ({"pkcs12": f.name, "cert": f.name, "key": f.name}, "not both"),
                ({"password_file": f.name}, "without a certificate"),
                ({"timestamp_url": "http://localhost/"}, "without a certificate"),
                ({"pkcs12": f.name + ".missing"}, "no file"),
            ]
            for given, expected in cases:
                with self.subTest(given=given):
                    options = argparse.Namespace(**dict(dict.fromkeys(
                        ("pkcs12", "cert", "key", "password_file", "timestamp_url")), **given))
                    if isinstance(expected, str):
                        with self.assertRaisesRegex(ValueError, expected):
                            dist_sign.from_options(options)
                    else:
                        signer = dist_sign.from_options(options)
                        self.assertEqual(signer and signer.credentials, expected)


if __name__ == "__main__":
    unittest.main()
