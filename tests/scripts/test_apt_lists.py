"""apt_update and apt_require against a private APT state whose archive has a
suite with an inconsistent i386 index, as a mirror in the middle of a sync
serves it: the update goes on with the lists it read, and only a package that
cannot be found stops the run, named."""
import hashlib
import os
import shutil
import subprocess
import tempfile
import unittest

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                      "apt_lists.sh")


def write_suite(root, suite, package, broken_arch=None):
    lines = []
    for arch in ("amd64", "i386"):
        folder = os.path.join(root, "dists", suite, "main", "binary-" + arch)
        os.makedirs(folder)
        data = (f"Package: {package}\nVersion: 1.0\nArchitecture: {arch}\nMaintainer: z4 <z4@z4>\n"
                f"Filename: pool/{package}_{arch}.deb\nSize: 1\nSHA256: {'0' * 64}\n"
                "Description: probe\n\n").encode()
        with open(os.path.join(folder, "Packages"), "wb") as f:
            f.write(data)
        size = len(data) + (7 if arch == broken_arch else 0)
        lines.append(f" {hashlib.sha256(data).hexdigest()} {size} main/binary-{arch}/Packages")
    with open(os.path.join(root, "dists", suite, "Release"), "w") as f:
        f.write(f"Suite: {suite}\nCodename: {suite}\nArchitectures: amd64 i386\n"
                "Components: main\nSHA256:\n" + "\n".join(lines) + "\n")


@unittest.skipUnless(shutil.which("apt-get"), "needs apt")
class AptLists(unittest.TestCase):
    def test_a_broken_index_is_passed_over_and_a_missing_package_named(self):
        with tempfile.TemporaryDirectory() as top:
            repo = os.path.join(top, "repo")
            write_suite(repo, "main-suite", "z4-probe")
            write_suite(repo, "security-suite", "z4-other", broken_arch="i386")
            for folder in ("lists/partial", "cache/archives/partial", "sources"):
                os.makedirs(os.path.join(top, folder))
            open(os.path.join(top, "status"), "w").close()
            with open(os.path.join(top, "sources", "z4.list"), "w") as f:
                for suite in ("main-suite", "security-suite"):
                    f.write(f"deb [trusted=yes] file:{repo} {suite} main\n")
            with open(os.path.join(top, "apt.conf"), "w") as f:
                f.write(f'Dir::State "{top}"; Dir::State::lists "{top}/lists";\n'
                        f'Dir::State::status "{top}/status"; Dir::Cache "{top}/cache";\n'
                        f'Dir::Etc::SourceList "/dev/null"; Dir::Etc::SourceParts "{top}/sources";\n'
                        'APT::Architecture "amd64"; APT::Architectures { "amd64"; "i386"; };\n'
                        'APT::Sandbox::User "root"; Debug::NoLocking "true";\n')
            script = (f'source "{SCRIPT}"; apt_update "{top}/update.log" 2 0 || exit 10; '
                      'apt_require z4-probe:i386 z4-probe:amd64=1.0 || exit 11; '
                      'apt_require z4-probe z4-other:i386 && exit 12; exit 0')
            run = subprocess.run(["bash", "-c", script], capture_output=True, text=True,
                                 env=dict(os.environ, APT_CONFIG=os.path.join(top, "apt.conf")))
            self.assertEqual(run.returncode, 0, run.stderr)
            with open(os.path.join(top, "update.log")) as f:
                self.assertIn("Some index files failed to download", f.read())
            self.assertIn("going on with the lists it has", run.stderr)
            self.assertIn("security-suite/main/binary-i386/Packages", run.stderr)
            self.assertIn("package z4-other:i386 cannot be found", run.stderr)


if __name__ == "__main__":
    unittest.main()
