#!/usr/bin/env bash
# Checks what can be checked of the shipped 32-bit program without running it
# (the tests under Wine run it): its kind, the oldest Windows its header
# admits, every function it imports against the list of functions that
# Windows 2000 has, the manifest embedded in it, and the help file beside it.
set -uo pipefail
build=$(cd "${1:-build}" && pwd)
exe=$build/win/Z4Utility.exe
root=$(cd "$(dirname "$0")/.." && pwd)
list=$root/res/windows2000-imports.txt
failures=0
fail() { echo "shipped: $*"; failures=$((failures + 1)); }

kind=$(file -b "$exe")
case "$kind" in
  "PE32 executable (GUI) Intel 80386"*) echo "shipped: $exe is a $kind" ;;
  *) fail "$exe is not a 32-bit GUI program: $kind" ;;
esac

header=$(i686-w64-mingw32-objdump -p "$exe")
major=$(awk '/^MajorSubsystemVersion/{print $2}' <<<"$header")
minor=$(awk '/^MinorSubsystemVersion/{print $2}' <<<"$header")
if [ "${major:-9}" -lt 5 ] || { [ "${major:-9}" -eq 5 ] && [ "${minor:-9}" -eq 0 ]; }; then
  echo "shipped: subsystem version $major.$minor"
else
  fail "subsystem version $major.$minor is newer than Windows 2000 (5.0)"
fi

# "DLL!Function" for every imported name; DLL names compared without case.
imports=$(sed -n '/^The Import Tables/,/^The /p' <<<"$header" |
  awk '/DLL Name:/ {dll = toupper($3); next}
       /^\t[0-9a-f]+\t +[0-9]+ +[^ ]+/ {print dll "!" $3}' | sort -u)
by_ordinal=$(sed -n '/^The Import Tables/,/^The /p' <<<"$header" | grep -c '<none>' || true)
[ "$by_ordinal" -eq 0 ] || fail "$by_ordinal functions imported by ordinal cannot be checked"
known=$(grep -v '^\s*#' "$list" | awk 'NF {split($1, p, "!"); print toupper(p[1]) "!" p[2]}' | sort -u)
missing=$(comm -23 <(printf '%s\n' "$imports") <(printf '%s\n' "$known"))
count=$(printf '%s\n' "$imports" | grep -c .)
if [ -n "$missing" ]; then
  fail "imports not on the Windows 2000 list ($(basename "$list")):"
  printf '    %s\n' $missing
else
  echo "import check: $count functions checked, all on the Windows 2000 list"
fi

# The manifest embedded in each program: well-formed, and naming the
# processor architecture the program is built for (Windows refuses to start
# a program whose manifest names another) and the program's own version.
manifest_arch() {
  case "$1" in
    i386) echo x86 ;;
    amd64) echo amd64 ;;
    *) echo "unknown machine $1" ;;
  esac
}
# What the checks read from a program, with Debian's python3-pefile:
#   pe machine EXE       i386 or amd64 (or the field in hex)
#   pe fileversion EXE   the fixed file version of its version resource
#   pe manifest EXE ID   the RT_MANIFEST resource ID as stored; fails unless
#                        exactly one is embedded
pe() {
  python3 - "$@" <<'PY'
import sys

try:
    import pefile
except ImportError:
    # Debian's python3-pefile is installed for Debian's python3; a python3
    # found first on PATH (pyenv, a virtual environment) does not look there.
    sys.path.append("/usr/lib/python3/dist-packages")
    import pefile

what, path = sys.argv[1:3]
try:
    exe = pefile.PE(path, fast_load=True)
    exe.parse_data_directories([pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
except (OSError, pefile.PEFormatError) as e:
    sys.exit("%s: %s" % (path, e))
if what == "machine":
    machine = exe.FILE_HEADER.Machine
    print({0x014C: "i386", 0x8664: "amd64"}.get(machine, "%#06x" % machine))
elif what == "fileversion":
    if not hasattr(exe, "VS_FIXEDFILEINFO"):
        sys.exit("%s: no version resource" % path)
    fixed = exe.VS_FIXEDFILEINFO[0]
    ms, ls = fixed.FileVersionMS, fixed.FileVersionLS
    print("%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF))
else:
    kinds = exe.DIRECTORY_ENTRY_RESOURCE.entries if hasattr(exe, "DIRECTORY_ENTRY_RESOURCE") else []
    found = [exe.get_data(language.data.struct.OffsetToData, language.data.struct.Size)
             for kind in kinds if kind.id == pefile.RESOURCE_TYPE["RT_MANIFEST"]
             for name in kind.directory.entries if name.id == int(sys.argv[3])
             for language in name.directory.entries]
    if len(found) != 1:
        sys.exit("%s: %d manifests with id %s embedded, not one" % (path, len(found), sys.argv[3]))
    sys.stdout.buffer.write(found[0])
PY
}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for program in "$build/win/Z4Utility.exe"; do
  [ -f "$program" ] || continue
  manifest=$scratch/manifest.xml
  if ! pe manifest "$program" 1 >"$manifest"; then
    fail "no single embedded manifest in $program"
    continue
  fi
  if ! xmllint --noout "$manifest"; then
    fail "the manifest of $program is not well-formed XML"
    continue
  fi
  identity='/*[local-name()="assembly"]/*[local-name()="assemblyIdentity"]'
  arch=$(xmllint --xpath "string($identity/@processorArchitecture)" "$manifest")
  version=$(xmllint --xpath "string($identity/@version)" "$manifest")
  machine=$(pe machine "$program")
  fixed=$(pe fileversion "$program")
  # The manifest that names the GdiPlus assembly (res/resource_ids.h), for
  # the same architecture.
  gdiplus_id=$(awk '$2 == "IDR_GDIPLUS_MANIFEST" {print $3}' "$root/res/resource_ids.h")
  gdiplus=$scratch/gdiplus.xml
  dependency='//*[local-name()="dependentAssembly"]/*[local-name()="assemblyIdentity"]'
  if ! pe manifest "$program" "$gdiplus_id" >"$gdiplus" ||
    ! xmllint --noout "$gdiplus" ||
    [ "$(xmllint --xpath "string($dependency/@name)" "$gdiplus")" != Microsoft.Windows.GdiPlus ] ||
    [ "$(xmllint --xpath "string($dependency/@processorArchitecture)" "$gdiplus")" != "$(manifest_arch "$machine")" ]; then
    fail "$program has no well-formed manifest $gdiplus_id naming the GdiPlus assembly for its machine"
  fi
  if [ "$arch" != "$(manifest_arch "$machine")" ]; then
    fail "$program is for $machine but its manifest names processorArchitecture=\"$arch\""
  elif [ -z "$fixed" ] || [ "$version" != "$fixed" ]; then
    fail "$program is version ${fixed:-unknown} but its manifest names version \"$version\""
  else
    echo "manifest: $program ($machine) names $arch, version $version"
  fi
done

chm=$build/win/utility.chm
if [ ! -f "$chm" ]; then
  fail "no help file $chm"
elif ! python3 "$root/scripts/check-help.py" "$chm"; then
  fail "help file $chm does not pass its check"
fi

[ $failures -eq 0 ] || exit 1
