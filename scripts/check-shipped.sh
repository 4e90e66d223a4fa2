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
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for program in "$build/win/Z4Utility.exe"; do
  [ -f "$program" ] || continue
  manifest=$scratch/manifest.xml
  if ! python3 "$root/scripts/pe_resources.py" manifest "$program" >"$manifest"; then
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
  machine=$(python3 "$root/scripts/pe_resources.py" machine "$program")
  fixed=$(python3 "$root/scripts/pe_resources.py" version "$program" | sed -n 's/^FILEVERSION //p')
  # The manifest that names the GdiPlus assembly (res/resource_ids.h), for
  # the same architecture.
  gdiplus_id=$(awk '$2 == "IDR_GDIPLUS_MANIFEST" {print $3}' "$root/res/resource_ids.h")
  gdiplus=$scratch/gdiplus.xml
  dependency='//*[local-name()="dependentAssembly"]/*[local-name()="assemblyIdentity"]'
  if ! python3 "$root/scripts/pe_resources.py" manifest "$program" "$gdiplus_id" >"$gdiplus" ||
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
