#!/usr/bin/env bash
# Sets up the 32-bit Wine that runs the shipped program, and prints the folder
# of its commands (wine, wineserver, wineboot, winepath) for PATH.
#
# Debian's own i386 Wine packages, of the same version as the system's wine64,
# are fetched with a private APT state (its own lists, status and cache; the
# system's sources; architectures amd64 and i386) and unpacked into a cache
# folder outside the clone, named after the package versions: a second run
# downloads nothing. No i386 package is installed, and the system's wine and
# wine64 stay as they are; only their wineserver64 (same version) is borrowed.
#
# Where the kernel does not run i386 programs, the same Wine runs under
# qemu-i386 (user-mode emulation) from the qemu-user package of the
# backports suite of the system's own archive.
#
#   Z4_WINE_QEMU=1       use the emulated route even where i386 programs run
#   Z4_WINE32_CACHE=DIR  the cache folder
#                        (default ${XDG_CACHE_HOME:-$HOME/.cache}/z4utility/wine32)
set -euo pipefail
# shellcheck source=scripts/apt_lists.sh
source "$(dirname "$0")/apt_lists.sh"

home=${HOME:-$(getent passwd "$(id -u)" | cut -d: -f6)}
cache=${Z4_WINE32_CACHE:-${XDG_CACHE_HOME:-$home/.cache}/z4utility/wine32}

say() { echo "wine32: $*" >&2; }
die() {
  say "$*"
  exit 1
}

# The i386 packages Wine needs at run time (what readelf -d lists for the
# loader, ntdll and the X11 driver, and what they load by name), then the
# architecture-independent ones.
i386_packages=(wine32 libwine libc6 libgcc-s1 libx11-6 libxext6 libxcb1 libxau6 libxdmcp6
  libbsd0 libmd0 libfreetype6 libfontconfig1 libpng16-16 zlib1g libbrotli1 libbz2-1.0 libexpat1
  libxrender1 libxrandr2 libxi6 libxcursor1 libxfixes3 libxinerama1 libxcomposite1 libxxf86vm1)
all_packages=(libx11-data fontconfig-config fonts-wine libz-mingw-w64)

host_version() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null || true; }

# A file name from a package version (epochs carry a colon).
version_key() { printf '%s' "${1//:/_}"; }

# --- Does the kernel run i386 programs? ------------------------------------
# A static i386 ELF of 96 bytes that exits with status 42: ELF header, one
# loadable segment, and mov eax,1 / mov ebx,42 / int 0x80.
i386_probe() {
  local probe=$cache/i386-probe
  if [ ! -x "$probe" ]; then
    mkdir -p "$cache"
    printf '%b' \
      '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
      '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
      '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' \
      '\x00\x00\x00\x00' \
      '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
      '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
      '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe.tmp"
    chmod +x "$probe.tmp"
    mv "$probe.tmp" "$probe"
  fi
  local status=0
  "$probe" 2>/dev/null || status=$?
  [ "$status" -eq 42 ]
}

# --- Private APT state -------------------------------------------------------
apt_dir=$cache/apt
private_apt() {
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/cache/archives/partial" "$apt_dir/sources" \
    "$apt_dir/preferences"
  touch "$apt_dir/status"
  # The system's own sources, and the backports suite of its Debian archive.
  find "$apt_dir/sources" -mindepth 1 -delete
  local f
  for f in /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] && ln -s "$f" "$apt_dir/sources/"
  done
  local codename archive
  # shellcheck disable=SC1091
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  # shellcheck disable=SC2016 # apt's own format fields
  archive=$(apt-get indextargets --format '$(RELEASE) $(REPO_URI)' 2>/dev/null |
    awk -v s="$codename" '$1 == s { print $2; exit }')
  if [ -n "$codename" ] && [ -n "$archive" ]; then
    printf 'Types: deb\nURIs: %s\nSuites: %s-backports\nComponents: main\nSigned-By: %s\n' \
      "$archive" "$codename" /usr/share/keyrings/debian-archive-keyring.gpg \
      >"$apt_dir/sources/z4-backports.sources"
  fi
  cat >"$apt_dir/apt.conf" <<EOF
Dir::State "$apt_dir";
Dir::State::lists "$apt_dir/lists";
Dir::State::status "$apt_dir/status";
Dir::Cache "$apt_dir/cache";
Dir::Etc::SourceList "/etc/apt/sources.list";
Dir::Etc::SourceParts "$apt_dir/sources";
Dir::Etc::Preferences "/dev/null";
Dir::Etc::PreferencesParts "$apt_dir/preferences";
APT::Architecture "amd64";
APT::Architectures { "amd64"; "i386"; };
APT::Sandbox::User "root";
Debug::NoLocking "true";
EOF
  export APT_CONFIG=$apt_dir/apt.conf
  if [ -z "$(find "$apt_dir/lists" -maxdepth 1 -name '*i386_Packages*' -mmin -60 2>/dev/null)" ]; then
    say "reading the package lists (amd64 and i386) of the system's sources"
    apt_update "$apt_dir/update.log" || die "apt-get update failed: $apt_dir/update.log"
  fi
}

# --- The Wine sysroot ----------------------------------------------------------
tag='Wine builtin DLL'
# Wine loads a DLL from its own folder only when it carries this tag at
# offset 64, followed by 16 zero bytes.
has_builtin_tag() { [ "$(head -c 96 "$1" | tail -c 32 | tr '\0' '.')" = "$tag................" ]; }

count_tagged() {
  local n=0 f
  for f in "$1"/*; do
    if has_builtin_tag "$f"; then n=$((n + 1)); fi
  done
  echo "$n"
}

make_sysroot() {  # folder, wine version, libc version
  local root=$1 wine_version=$2 libc_version=$3
  private_apt
  local debs=$cache/debs
  rm -rf "$debs" "$root.tmp"
  mkdir -p "$debs" "$root.tmp"
  local wanted=() p
  for p in "${i386_packages[@]}"; do
    case $p in
      wine32 | libwine) wanted+=("$p:i386=$wine_version") ;;
      libc6) wanted+=("$p:i386${libc_version:+=$libc_version}") ;;
      *) wanted+=("$p:i386") ;;
    esac
  done
  wanted+=("${all_packages[@]}")
  apt_require "${wanted[@]}" || die "the i386 Wine cannot be set up without it"
  say "downloading Wine $wine_version for i386 (about 160 MB)"
  (cd "$debs" && apt_retry "$cache/download.log" apt-get download -q "${wanted[@]}") ||
    die "apt-get download failed: $cache/download.log"
  local deb
  for deb in "$debs"/*.deb; do
    dpkg-deb -x "$deb" "$root.tmp"
    dpkg-deb -f "$deb" Package Architecture Version | paste -sd ' ' >>"$root.tmp/versions.txt"
  done
  rm -rf "$debs"
  rm -rf "$root.tmp/usr/share/doc" "$root.tmp/usr/share/man" "$root.tmp/usr/share/bug"

  local windows=$root.tmp/usr/lib/i386-linux-gnu/wine/i386-windows
  [ -d "$windows" ] || die "no $windows in the unpacked packages"
  # What libwine's install script does: zlib1.dll, which user32.dll imports,
  # from the MinGW zlib package into Wine's folder, tagged as Wine's own.
  local zlib=$root.tmp/usr/i686-w64-mingw32/lib/zlib1.dll
  { head -c 64 "$zlib" && printf '%s' "$tag" && head -c 16 /dev/zero && tail -c +97 "$zlib"; } \
    >"$windows/zlib1.dll"

  # Wine's Windows DLLs carry their debug information (about 550 MB of 600):
  # every prefix copies them. Stripped, the builtin tag must survive.
  local tagged stripped
  tagged=$(count_tagged "$windows")
  find "$windows" -type f -print0 | xargs -0 -n 100 i686-w64-mingw32-strip --strip-debug
  stripped=$(count_tagged "$windows")
  [ "$tagged" -eq "$stripped" ] ||
    die "stripping lost the builtin tag: $tagged tagged DLLs before, $stripped after"
  say "$stripped DLLs stripped of their debug information, each still tagged as Wine's own"

  # The library cache the i386 ld.so reads under qemu-i386 -L (natively the
  # loader's wrapper names the folders).
  echo 'include /etc/ld.so.conf.d/*.conf' >"$root.tmp/etc/ld.so.conf"
  ldconfig -r "$root.tmp"

  # Wine starts every new process by running <the loader's folder>/<the name
  # it was started as>: the wrapper sits at the loader's own path, and the real
  # loader beside it.
  local lib=$root.tmp/usr/lib/wine
  mv "$lib/wine" "$lib/wine.real"
  cat >"$lib/wine" <<EOF
#!/bin/bash
# Wine's i386 loader, natively or under qemu-i386 (Z4_WINE32_QEMU_BIN).
root=$(printf '%q' "$root")
if [ -n "\${Z4_WINE32_QEMU_BIN:-}" ]; then
  exec "\$Z4_WINE32_QEMU_BIN" -0 "\$0" -L "\$root" "\$root/usr/lib/wine/wine.real" "\$@"
fi
export LD_LIBRARY_PATH="\$root/lib/i386-linux-gnu:\$root/usr/lib/i386-linux-gnu\${LD_LIBRARY_PATH:+:\$LD_LIBRARY_PATH}"
exec -a "\$0" "\$root/usr/lib/wine/wine.real" "\$@"
EOF
  # Wine 8 ignores WINESERVER and runs the wineserver beside its loader: the
  # system's 64-bit server of the same version serves 32-bit prefixes too.
  cat >"$lib/wineserver" <<'EOF'
#!/bin/sh
exec /usr/lib/wine/wineserver64 -p0 "$@"
EOF
  chmod +x "$lib/wine" "$lib/wineserver"
  mv "$root.tmp" "$root"
}

# The commands on PATH: one folder per route.
make_commands() {  # bin folder, sysroot, qemu-i386 or ""
  local bin=$1 root=$2 qemu=$3
  rm -rf "$bin.tmp"
  mkdir -p "$bin.tmp"
  {
    echo '#!/bin/bash'
    # shellcheck disable=SC2016 # expanded when the command runs
    echo 'export WINEARCH="${WINEARCH:-win32}"'
    if [ -n "$qemu" ]; then printf 'export Z4_WINE32_QEMU_BIN=%q\n' "$qemu"; fi
    printf 'exec %q "$@"\n' "$root/usr/lib/wine/wine"
  } >"$bin.tmp/wine"
  printf '#!/bin/bash\nexec %q "$@"\n' "$root/usr/lib/wine/wineserver" >"$bin.tmp/wineserver"
  local tool
  for tool in wineboot winepath regedit; do
    echo "#!/bin/bash
exec \"\$(dirname \"\$0\")/wine\" $tool \"\$@\"" >"$bin.tmp/$tool"
  done
  chmod +x "$bin.tmp"/*
  rm -rf "$bin"
  mv "$bin.tmp" "$bin"
}

# qemu-i386 alone, out of the backports suite's qemu-user.
fetch_qemu() {
  local found
  found=$(find "$cache" -maxdepth 2 -path "$cache/qemu-*/qemu-i386" 2>/dev/null | sort -V | tail -n 1)
  if [ -n "$found" ]; then
    echo "$found"
    return 0
  fi
  private_apt
  local version
  version=$(apt-cache madison qemu-user 2>/dev/null | awk -F'|' '$3 ~ /-backports/ { gsub(/ /, "", $2); print $2; exit }')
  [ -n "$version" ] || die "no qemu-user in a backports suite of the system's archive"
  local dir debs=$cache/debs-qemu
  dir=$cache/qemu-$(version_key "$version")
  rm -rf "$debs" "$dir.tmp"
  mkdir -p "$debs" "$dir.tmp"
  say "downloading qemu-user $version (about 60 MB) for its qemu-i386"
  (cd "$debs" && apt_retry "$cache/download-qemu.log" apt-get download -q "qemu-user=$version") ||
    die "apt-get download qemu-user failed: $cache/download-qemu.log"
  dpkg-deb --fsys-tarfile "$debs"/qemu-user_*.deb | tar -x -C "$dir.tmp" ./usr/bin/qemu-i386
  mv "$dir.tmp/usr/bin/qemu-i386" "$dir.tmp/qemu-i386"
  rm -rf "$dir.tmp/usr" "$debs"
  mv "$dir.tmp" "$dir"
  echo "$dir/qemu-i386"
}

main() {
  mkdir -p "$cache"
  exec 9>"$cache/.lock"
  flock 9

  local wine_version libc_version
  wine_version=$(host_version wine64)
  [ -n "$wine_version" ] || die "the system's wine64 is missing (scripts/deps.sh installs it)"
  [ -x /usr/lib/wine/wineserver64 ] || die "no /usr/lib/wine/wineserver64"
  libc_version=$(host_version libc6-i386)
  local root
  root=$cache/wine-$(version_key "$wine_version")-libc-$(version_key "${libc_version:-any}")
  if [ ! -d "$root" ]; then
    make_sysroot "$root" "$wine_version" "$libc_version"
    say "Wine for i386 set up in $SECONDS s: $root ($(du -sh "$root" | cut -f1))"
  fi

  local route=native
  if [ "${Z4_WINE_QEMU:-0}" = 1 ]; then
    route=qemu
  elif ! i386_probe; then
    say "this kernel does not run i386 programs: Wine runs under qemu-i386"
    route=qemu
  elif [ ! -e /lib/ld-linux.so.2 ]; then
    die "no /lib/ld-linux.so.2 for i386 programs (package libc6-i386; scripts/deps.sh installs it)"
  fi
  local bin=$root/bin qemu=
  if [ $route = qemu ]; then
    qemu=$(fetch_qemu)
    say "Wine runs under $qemu"
    bin=$root/bin-$(basename "$(dirname "$qemu")")
  fi
  [ -x "$bin/wine" ] || make_commands "$bin" "$root" "$qemu"
  echo "$bin"
}

main "$@"
