#!/usr/bin/env python3
"""Writes the release into BUILD/dist: the archive Z4Utility-<version>.zip and
the Windows Installer packages Z4Utility-<version>.msi (Japanese texts beside
the program) and Z4Utility-<version>-en.msi (English), each with its SHA-256
beside it in the form sha256sum reads (sha256sum -c checks it).

    make-dist.py [BUILD] [--out DIR] [signing options]

BUILD defaults to build; the program and its help file come from BUILD/win.
With a certificate the program is signed before it is packed, then the
packages are signed:

    --pkcs12 FILE          certificate and key in one PKCS#12 file, or
    --cert FILE --key FILE PEM certificate (chain) and PEM key
    --password-file FILE   the password of the PKCS#12 file or of the key
    --timestamp-url URL    an RFC 3161 time-stamp server
"""
import argparse
import hashlib
import os
import shutil
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dist_archive  # noqa: E402
import dist_msi  # noqa: E402
import dist_sign  # noqa: E402


def write_atomically(path, data):
    temporary = path + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)


def publish(out, name, data, signer, description):
    """Writes one file of the release and its .sha256; signs it first when asked."""
    path = os.path.join(out, name)
    if signer:
        with tempfile.TemporaryDirectory() as stage:
            unsigned = os.path.join(stage, name)
            with open(unsigned, "wb") as f:
                f.write(data)
            signer.sign(unsigned, description)
            with open(unsigned, "rb") as f:
                data = f.read()
    write_atomically(path, data)
    digest = hashlib.sha256(data).hexdigest()
    write_atomically(path + ".sha256", ("%s  %s\n" % (digest, name)).encode())
    print("dist: %s (%d bytes)\ndist: SHA-256 %s" % (path, len(data), digest))


def parse(argv):
    parser = argparse.ArgumentParser(prog="make-dist.py")
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--out")
    for option in ("pkcs12", "cert", "key", "password-file", "timestamp-url"):
        parser.add_argument("--" + option)
    return parser.parse_args(argv[1:])


def main(argv):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    options = parse(argv)
    build = os.path.abspath(options.build)
    out = os.path.abspath(options.out or os.path.join(build, "dist"))
    try:
        signer = dist_sign.from_options(options)
    except ValueError as e:
        sys.stderr.write("dist: %s\n" % e)
        return 2
    version = dist_archive.read_version(root)
    inputs = dist_archive.default_inputs(root, build)
    missing = [path for path in inputs.values() if not os.path.isfile(path)]
    if missing:
        sys.stderr.write("dist: missing %s (run make win first)\n" % ", ".join(missing))
        return 1
    os.makedirs(out, exist_ok=True)
    try:
        release(root, inputs, version, out, signer)
    except (RuntimeError, ValueError) as e:
        sys.stderr.write("dist: %s\n" % e)
        return 1
    return 0


def release(root, inputs, version, out, signer):
    with tempfile.TemporaryDirectory() as stage:
        if signer:
            program = os.path.join(stage, "Z4Utility.exe")
            shutil.copyfile(inputs["Z4Utility.exe"], program)
            signer.sign(program, "Z4Utility")
            inputs["Z4Utility.exe"] = program
        publish(out, dist_archive.archive_name(version), dist_archive.build(inputs, version),
                None, None)
        files = dist_archive.files(inputs, version)
        for texts in dist_msi.TEXTS:
            publish(out, dist_msi.package_name(version, texts),
                    dist_msi.build(root, files, version, texts), signer,
                    "Z4Utility %s" % version)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
