"""The Windows Installer packages: built with wixl from res/Z4Utility.wxs and
the files of the release archive.

Two packages per version, one product: Z4Utility-<version>.msi with the
Japanese texts beside the program, Z4Utility-<version>-en.msi with the
English ones. Like the archive, a package depends only on the contents of
its files: the cabinet's file times and the package's own times are fixed,
and its package code is derived from its other bytes (msi_summary).
"""
import os
import re
import shutil
import subprocess
import tempfile
import uuid

import msi_summary

TEXTS = ("ja", "en")
# The package's times when SOURCE_DATE_EPOCH does not give them: the
# archive's entry time, 2000-01-01 00:00:00 UTC.
DEFAULT_TIME = 946684800
# Upgrade table attributes: keep the feature states; the maximum version
# itself included, so that a package also replaces the other language's
# package of its own version.
MIGRATE_FEATURES, VERSION_MAX_INCLUSIVE = 1, 512


def source(root):
    return os.path.join(root, "res", "Z4Utility.wxs")


def package_name(version, texts):
    return "Z4Utility-%s%s.msi" % (version, "-en" if texts == "en" else "")


def upgrade_code(root):
    with open(source(root), encoding="utf-8") as f:
        found = re.search(r'UpgradeCode="([0-9A-Fa-f-]{36})"', f.read())
    if not found:
        raise ValueError("%s names no UpgradeCode" % source(root))
    return "{%s}" % found.group(1).upper()


def product_code(root, version, texts):
    """One product code per version and language, the same in every build."""
    space = uuid.UUID(upgrade_code(root))
    return ("{%s}" % uuid.uuid5(space, "Z4Utility %s %s" % (version, texts))).upper()


def package_time():
    return int(os.environ.get("SOURCE_DATE_EPOCH", DEFAULT_TIME))


def _run(command, cwd):
    done = subprocess.run(command, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    output = done.stdout.decode("utf-8", "replace").strip()
    if done.returncode != 0 or "WARNING" in output or "CRITICAL" in output:
        raise RuntimeError("%s failed:\n%s" % (command[0], output))


def build(root, files, version, texts):
    """The package's bytes. files: name in the program folder -> bytes, the
    names of dist_archive.default_inputs."""
    seconds = package_time()
    with tempfile.TemporaryDirectory() as stage:
        for name, data in files.items():
            path = os.path.join(stage, "files", name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "wb") as f:
                f.write(data)
            # The cabinet keeps each file's time.
            os.utime(path, (seconds, seconds))
        shutil.copyfile(os.path.join(root, "res", "Z4Utility.ico"),
                        os.path.join(stage, "Z4Utility.ico"))
        # wixl finds files by paths relative to where it runs.
        _run(["wixl", "-o", "package.msi", "-D", "Texts=" + texts, "-D", "Version=" + version,
              "-D", "ProductCode=" + product_code(root, version, texts),
              "-D", "SourceDir=files", "-D", "Icon=Z4Utility.ico", source(root)], stage)
        # wixl's MajorUpgrade leaves out the version itself; WiX's
        # AllowSameVersionUpgrades writes this row.
        _run(["msibuild", "package.msi",
              "-q", "DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'",
              "-q", "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, "
                    "`ActionProperty`) VALUES ('%s', '%s', %d, 'WIX_UPGRADE_DETECTED')"
                    % (upgrade_code(root), version, MIGRATE_FEATURES | VERSION_MAX_INCLUSIVE)],
             stage)
        with open(os.path.join(stage, "package.msi"), "rb") as f:
            data = f.read()
    return msi_summary.fix(data, seconds)
