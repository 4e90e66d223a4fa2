#!/usr/bin/env python3
"""Writes the release archive BUILD/dist/Z4Utility-<version>.zip and, beside
it, its SHA-256 in the form sha256sum reads (sha256sum -c checks it).

    make-dist.py [BUILD]      BUILD defaults to build; the program and its
                              help file come from BUILD/win
"""
import hashlib
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import dist_archive  # noqa: E402


def write_atomically(path, data):
    temporary = path + ".tmp"
    with open(temporary, "wb") as f:
        f.write(data)
    os.replace(temporary, path)


def main(argv):
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    build = os.path.abspath(argv[1] if len(argv) > 1 else "build")
    version = dist_archive.read_version(root)
    inputs = dist_archive.default_inputs(root, build)
    missing = [path for path in inputs.values() if not os.path.isfile(path)]
    if missing:
        sys.stderr.write("dist: missing %s (run make win first)\n" % ", ".join(missing))
        return 1
    data = dist_archive.build(inputs, version)
    out = os.path.join(build, "dist")
    os.makedirs(out, exist_ok=True)
    name = dist_archive.archive_name(version)
    write_atomically(os.path.join(out, name), data)
    digest = hashlib.sha256(data).hexdigest()
    write_atomically(os.path.join(out, name + ".sha256"), ("%s  %s\n" % (digest, name)).encode())
    print("dist: %s (%d bytes)\ndist: SHA-256 %s" % (os.path.join(out, name), len(data), digest))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
