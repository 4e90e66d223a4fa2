# shellcheck shell=bash
# Shared set-up for everything that runs the Windows programs under Wine.
# Source it; then call the functions. Wine's own output never goes to a pipe
# that someone waits on: its background services would keep the pipe open.

export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml=;winemenubuilder.exe=d"}
# Every prefix is a 32-bit one: the shipped program and its test programs are 32-bit.
export WINEARCH=win32

z4_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# The private 32-bit Wine (scripts/wine32.sh) first on PATH: wine, wineserver,
# wineboot and winepath are its own from here on.
z4_use_wine32() {
  local bin
  bin=$(bash "$z4_root/scripts/wine32.sh") || return 1
  export PATH="$bin:$PATH"
  # The Wine itself (the folder of its version), whichever way it runs.
  z4_wine_id=$(dirname "$bin")
}

# A private Xvfb display, so that tests never depend on (or disturb) a desktop.
z4_start_display() {
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    z4_xvfb_pid=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && return 0
      sleep 0.1
    done
  done
  echo "could not start Xvfb" >&2
  return 1
}

z4_stop_display() {
  if [ -n "${z4_xvfb_pid:-}" ]; then kill "$z4_xvfb_pid" 2>/dev/null || true; fi
}

# The template prefix: booted once per build folder (and again for another
# Wine), the source of every test's prefix.
# What the template is made of: a template of another make is made anew.
z4_template_kind='drives: e removable'

z4_template_prefix() {
  local template=$1
  local ready="${z4_wine_id:-} ($z4_template_kind)"
  if [ -f "$template/.z4-ready" ] && [ "$(cat "$template/.z4-ready")" = "$ready" ]; then
    return 0
  fi
  rm -rf "$template"
  mkdir -p "$template"
  (
    export WINEPREFIX="$template"
    wineboot -i >"$template.boot.log" 2>&1 </dev/null
    # Without a window manager every window close would stall for 2 s.
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
    # The board's drive E: is a removable disk, as a real board is; Wine takes
    # a drive's type from this key when its server starts. Other mapped
    # drives are fixed disks.
    wine reg add 'HKLM\Software\Wine\Drives' /v e: /d floppy /f >/dev/null 2>&1 </dev/null
    # Wine's own fonts (Tahoma, and Marlett for the caption buttons) come from
    # fonts-wine, which this Wine does not look for on its own: without them
    # the caption buttons show as letters.
    if [ -d /usr/share/wine/fonts ]; then
      cp /usr/share/wine/fonts/*.ttf "$template/drive_c/windows/Fonts/" 2>/dev/null || true
    fi
    # Japanese texts: the IPA Gothic font stands in for the usual Japanese UI faces.
    for face in 'MS UI Gothic' 'MS Gothic' 'MS PGothic' 'ＭＳ Ｐゴシック' 'ＭＳ ゴシック'; do
      wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /d IPAGothic /f \
        >/dev/null 2>&1 </dev/null
    done
    wineserver -w
  )
  # Written last: its time is also the mark that shared files are never
  # written after it (z4_shared_files_unchanged).
  echo "$ready" >"$template/.z4-ready"
}

# Wine's own programs and libraries (the DLLs it places in system32 and
# elsewhere), its language tables, theme and fonts: no test writes them, so a
# test's prefix shares them with the template through hard links. Registry
# files, .ini files and everything else in drive_c stay private copies.
z4_shared_files='.*\.(dll|exe|drv|sys|ocx|cpl|acm|tlb|ax|ds|vxd|com|nls|msstyles|ttf|ttc|fon)'

# A fresh prefix from the template: about 2 MB of private files and hard
# links to the rest.
z4_new_prefix() {
  local template=$1 prefix=$2
  local private=()
  mapfile -d '' private < <(cd "$template" &&
    find . -type f -regextype posix-extended ! -iregex "$z4_shared_files" -print0)
  rm -rf "$prefix"
  cp -a --link "$template" "$prefix" || return 1
  # The private files: their links undone, then copies. (cp, not tar: other
  # prefixes made at the same time link the template's files, which changes
  # their ctime, and tar takes that for a file changed while it read it.)
  (cd "$prefix" && rm -f -- "${private[@]}") || return 1
  (cd "$template" && cp -a --parents -- "${private[@]}" "$prefix/")
}

# Whether a prefix made by z4_new_prefix shares what it should: Wine's DLLs
# are the template's own files, the registry and win.ini are copies of them.
# Prints what is wrong.
z4_prefix_shares_dlls() {
  local template=$1 prefix=$2 file ok=0
  for file in drive_c/windows/system32/kernel32.dll drive_c/windows/system32/user32.dll; do
    if ! [ "$template/$file" -ef "$prefix/$file" ]; then
      echo "$file is a copy, not the template's file"
      ok=1
    fi
  done
  for file in system.reg user.reg drive_c/windows/win.ini; do
    if ! [ -f "$prefix/$file" ] || [ "$template/$file" -ef "$prefix/$file" ]; then
      echo "$file is not a private copy"
      ok=1
    fi
  done
  return $ok
}

# Whether every shared file of the template is as it was made: a test that
# wrote into one would have changed it for all the prefixes after it. Prints
# the changed files.
z4_shared_files_unchanged() {
  local template=$1 changed
  changed=$(find "$template" -type f -newer "$template/.z4-ready" -print)
  [ -z "$changed" ] && return 0
  printf '%s\n' "$changed"
  return 1
}

# Windows version the prefix reports: winxp, win2k, win98, winme, win7...
z4_set_version() {
  WINEPREFIX=$1 wine reg add 'HKCU\Software\Wine' /v Version /d "$2" /f >/dev/null 2>&1 </dev/null
}

z4_start_server() {
  WINEPREFIX=$1 wineserver -p >/dev/null 2>&1 </dev/null
  WINEPREFIX=$1 wine wineboot >/dev/null 2>&1 </dev/null
}

z4_stop_server() {
  WINEPREFIX=$1 wineserver -k >/dev/null 2>&1 </dev/null || true
  WINEPREFIX=$1 wineserver -w >/dev/null 2>&1 </dev/null || true
}

# The Windows name of a Unix path, through Wine's drive Z: (the Unix root).
z4_windows_path() {
  printf 'Z:%s' "${1//\//\\}"
}

# Maps a drive letter of the prefix to a folder (the board's root); unmapping unplugs it.
z4_map_drive() {
  local prefix=$1 letter=$2 folder=$3
  ln -sfn "$folder" "$prefix/dosdevices/${letter,,}:"
}

# Registers the board on the Windows 2000/XP route with a drive letter, as
# Windows does when it is plugged in. The server must be running: its mount
# manager rewrites the mounted-device table when it starts.
z4_register_board_nt() {
  local prefix=$1 letter=${2^^}
  local parent='7&2d5c1e3&0'
  local device="\\??\\STORAGE#RemovableMedia#${parent}&RM#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}"
  local hex
  hex=$(printf '%s' "$device" | iconv -f UTF-8 -t UTF-16LE | od -An -v -tx1 | tr -s ' \n' ',,' |
    sed 's/^,//; s/,$//')
  local reg=$prefix/z4-board.reg
  {
    echo 'Windows Registry Editor Version 5.00'
    echo
    echo '[HKEY_LOCAL_MACHINE\SYSTEM\ControlSet001\Enum\USBSTOR\Disk&Ven_KORA&Prod_Z-4&Rev_1.00\000000000000&0]'
    echo "\"ParentIdPrefix\"=\"$parent\""
    echo
    echo '[HKEY_LOCAL_MACHINE\SYSTEM\MountedDevices]'
    echo "\"\\\\DosDevices\\\\$letter:\"=hex:$hex"
  } >"$reg"
  WINEPREFIX=$prefix wine regedit /S "$(WINEPREFIX=$prefix winepath -w "$reg" 2>/dev/null)" \
    >/dev/null 2>&1 </dev/null
}

# A fresh prefix from the template with Z4Utility.exe and the shipped texts in
# C:\<folder>, reporting Windows XP, and drive E: mapped to the board's folder.
z4_program_prefix() {  # template prefix exe folder board
  local template=$1 prefix=$2 exe=$3 folder=$4 board=$5
  z4_new_prefix "$template" "$prefix"
  mkdir -p "$prefix/drive_c/$folder" "$board"
  cp "$exe" "$z4_root/res/Z4Utility.ini" "$prefix/drive_c/$folder/"
  # Mapped before anything starts the prefix's server: Wine's mount manager
  # gives a drive its type (E: removable) only when the drive is there as the
  # server starts.
  z4_map_drive "$prefix" e "$board"
  z4_set_version "$prefix" winxp
}
