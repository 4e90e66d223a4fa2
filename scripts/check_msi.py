"""The checks of the Windows Installer packages that make dist wrote, against
the archive beside them (check-dist.py runs them).

For each package: its SHA-256 file; the files it installs into Program
Files\\Z4Utility, byte for byte the archive's (msiextract); its Property,
File, Component and Shortcut tables (msiinfo export); its summary
information; and that it depends on nothing but the files' contents. Across
the two: one upgrade code, two product codes, and the same component GUID
wherever the same path is installed.
"""
import hashlib
import os
import subprocess
import tempfile

import dist_msi
import msi_summary

# Installed path -> the archive's file it must be, per package.
SAME = {name: name for name in ("Z4Utility.exe", "utility.chm", "README.txt")}
LAYOUT = {
    "ja": dict(SAME, **{"Z4Utility.ini": "Z4Utility.ini",
                        "English/Z4Utility.ini": "English/Z4Utility.ini"}),
    "en": dict(SAME, **{"Z4Utility.ini": "English/Z4Utility.ini",
                        "Japanese/Z4Utility.ini": "Z4Utility.ini"}),
}
SHORTCUTS = {"Z4Utility": "Z4Utility.exe", "Z4Utility Help": "utility.chm"}


def table(path, name):
    """One table of a package as a list of {column: value}."""
    text = subprocess.run(["msiinfo", "export", path, name], stdout=subprocess.PIPE,
                          check=True).stdout.decode("utf-8")
    lines = text.splitlines()
    columns = lines[0].split("\t")
    return [dict(zip(columns, line.split("\t"))) for line in lines[3:]]


def installed_files(path):
    """Path below Program Files\\Z4Utility -> bytes, as msiextract unpacks them."""
    with tempfile.TemporaryDirectory() as folder:
        subprocess.run(["msiextract", "-C", folder, path], stdout=subprocess.DEVNULL, check=True)
        top = os.path.join(folder, "Program Files", "Z4Utility")
        found = {}
        for where, _, names in os.walk(folder):
            for name in names:
                full = os.path.join(where, name)
                with open(full, "rb") as f:
                    found[os.path.relpath(full, top).replace(os.sep, "/")] = f.read()
    return found


def installed_paths(path):
    """File id -> (path below the program folder, component row)."""
    parents = {row["Directory"]: (row["Directory_Parent"], row["DefaultDir"])
               for row in table(path, "Directory")}
    components = {row["Component"]: row for row in table(path, "Component")}

    def below_program_folder(directory):
        if directory == "INSTALLDIR":
            return ""
        parent, name = parents[directory]
        return below_program_folder(parent) + name + "/"

    return {row["File"]: (below_program_folder(components[row["Component_"]]["Directory_"])
                          + row["FileName"], components[row["Component_"]])
            for row in table(path, "File")}


def check_package(checks, root, out, version, texts, archive):
    """Checks one package; returns {installed path: component GUID} and its properties."""
    name = dist_msi.package_name(version, texts)
    path = os.path.join(out, name)
    if not checks.expect(os.path.isfile(path), "no package %s" % path):
        return {}, {}
    with open(path, "rb") as f:
        data = f.read()
    try:
        with open(path + ".sha256", encoding="ascii") as f:
            recorded = f.read()
    except OSError:
        recorded = ""
    checks.expect(recorded == "%s  %s\n" % (hashlib.sha256(data).hexdigest(), name),
                  "%s.sha256 does not hold the package's SHA-256" % name)

    files = installed_files(path)
    expected = {p: archive.get(source) for p, source in LAYOUT[texts].items()}
    checks.expect(sorted(files) == sorted(expected),
                  "%s installs %s, expected %s" % (name, sorted(files), sorted(expected)))
    for p in expected:
        checks.expect(files.get(p) == expected[p], "%s: %s is not the archive's %s"
                      % (name, p, LAYOUT[texts][p]))

    guids, properties = check_tables(checks, root, path, name, version)

    summary = msi_summary.read(data)
    checks.expect(summary["created"] == summary["saved"] == dist_msi.package_time(),
                  "%s: summary times %s" % (name, summary))
    checks.expect(msi_summary.fix(data, dist_msi.package_time()) == data,
                  "%s: the package code %s is not the one its contents give"
                  % (name, summary["package_code"]))
    checks.expect(dist_msi.build(root, archive, version, texts) == data,
                  "%s: built again from the archive's files, the package differs" % name)
    return guids, properties


def check_tables(checks, root, path, name, version):
    """Property, File, Component and Shortcut; returns {installed path:
    component GUID} and the properties."""
    properties = {row["Property"]: row["Value"] for row in table(path, "Property")}
    for key, value in (("ProductVersion", version), ("ALLUSERS", "1"),
                       ("UpgradeCode", dist_msi.upgrade_code(root))):
        checks.expect(properties.get(key) == value, "%s: %s is %r, not %r"
                      % (name, key, properties.get(key), value))

    by_id = installed_paths(path)
    guids = {}
    for file_id, (where, component) in by_id.items():
        checks.expect(component["KeyPath"] == file_id,
                      "%s: %s is not the key of its own component" % (name, where))
        guids[where] = component["ComponentId"]
    checks.expect(len(set(guids.values())) == len(guids), "%s: a component holds two files" % name)

    directories = {row["Directory"]: row for row in table(path, "Directory")}
    shortcuts = table(path, "Shortcut")
    targets = {row["Name"]: row["Target"] for row in shortcuts}
    file_ids = {where: file_id for file_id, (where, _) in by_id.items()}
    wanted = {label: "[#%s]" % file_ids.get(target) for label, target in SHORTCUTS.items()}
    checks.expect(targets == wanted, "%s: shortcuts %s, expected %s" % (name, targets, wanted))
    removed = {row["DirProperty"] for row in table(path, "RemoveFile")}
    for row in shortcuts:
        folder = directories.get(row["Directory_"], {})
        checks.expect(folder.get("Directory_Parent") == "ProgramMenuFolder"
                      and row["Directory_"] in removed and row["WkDir"] == "INSTALLDIR",
                      "%s: shortcut %s is not in a Start-menu folder of its own that "
                      "uninstalling removes, or does not start in the program folder"
                      % (name, row["Name"]))
    return guids, properties


def check_packages(checks, root, out, version, archive):
    """Both packages against the archive's files (path in its folder -> bytes)."""
    guids, products = {}, set()
    for texts in dist_msi.TEXTS:
        found, properties = check_package(checks, root, out, version, texts, archive)
        products.add(properties.get("ProductCode"))
        for where, guid in found.items():
            checks.expect(guids.setdefault(where, guid) == guid,
                          "%s has two component GUIDs" % where)
    checks.expect(len(products) == len(dist_msi.TEXTS), "the packages' product codes %s" % products)
    everywhere = {}
    for where, guid in guids.items():
        checks.expect(everywhere.setdefault(guid, where) == where,
                      "one component GUID for %s and %s" % (everywhere[guid], where))
