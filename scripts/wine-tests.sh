#!/usr/bin/env bash
# Runs the Windows programs under the private 32-bit Wine in Xvfb: the unit
# tests again (with the tests of the Win32 ports), then the shipped
# build/win/Z4Utility.exe driven from outside in one fresh Wine prefix per
# scenario. A test's prefix goes when it passes and stays when it fails.
set -uo pipefail
build=$(cd "${1:-build}" && pwd)
shipped=$build/win
tests=$build/wintests
work=$build/wine
mkdir -p "$work"
# shellcheck source=scripts/wine-env.sh
source "$(dirname "$0")/wine-env.sh"
# shellcheck source=scripts/wine-msi-test.sh
source "$(dirname "$0")/wine-msi-test.sh"
z4_use_wine32 || exit 1

passed=0
failures=0
# The shipped help file, which the help-button test opens.
if ! python3 "$z4_root/scripts/check-help.py" "$shipped/utility.chm"; then
  echo "wine: help file $shipped/utility.chm missing or broken"
  failures=$((failures + 1))
fi
z4_start_display || exit 1
trap 'z4_stop_display' EXIT
z4_template_prefix "$work/template"

# Each prefix holds a few MB of its own; Wine's DLLs come from the template.
z4_new_prefix "$work/template" "$work/sharing"
if ! why=$(z4_prefix_shares_dlls "$work/template" "$work/sharing"); then
  echo "wine: a test's prefix does not share Wine's DLLs with the template as it should:"
  printf '%s\n' "$why" | sed 's/^/    /'
  failures=$((failures + 1))
fi
rm -rf "$work/sharing"

# What a kept file or folder is, for the failure report.
what_it_is() {
  case $1 in
    *-board) echo "the board's folder (drive E:)" ;;
    *-fixed) echo "the fixed disk's folder (drive F:)" ;;
    *-dist) echo "the signed release, its throw-away certificate and the unpacked archive" ;;
    *.ps) echo "the printed page (PostScript)" ;;
    *.png) echo "screenshot" ;;
    *) echo "the Wine prefix (C: is its drive_c, the registry its *.reg files)" ;;
  esac
}

report() {  # name, status, log, seconds, then the test's prefix and other leftovers
  local name=$1 status=$2 log=$3 seconds=$4
  shift 4
  if [ "$status" -eq 0 ]; then
    printf 'wine: %-28s passed (%ss)\n' "$name" "$seconds"
    rm -rf "$@"
    passed=$((passed + 1))
  else
    printf 'wine: %-28s FAILED (%ss), log %s\n' "$name" "$seconds" "$log"
    tail -n 40 "$log" | sed 's/^/    /'
    local kept
    for kept in "$@" "$work/$name".png; do
      if [ -e "$kept" ]; then printf '    kept %s: %s\n' "$kept" "$(what_it_is "$kept")"; fi
    done
    failures=$((failures + 1))
  fi
}

# Z4_ONLY="unit name..." runs only those parts (while working on one of them).
wanted() { [ -z "${Z4_ONLY:-}" ] || [[ " $Z4_ONLY " == *" $1 "* ]]; }

# The unit tests and the Win32 port tests.
if wanted unit; then
prefix=$work/unit
z4_new_prefix "$work/template" "$prefix"
z4_start_server "$prefix"
start=$SECONDS
WINEPREFIX=$prefix wine "$tests/z4_win_tests.exe" --gtest_brief=1 >"$work/unit.log" 2>&1 </dev/null
status=$?
z4_stop_server "$prefix"
report "unit tests (z4_win_tests)" $status "$work/unit.log" $((SECONDS - start)) "$prefix"
fi

# One scenario: a prefix with the program and its help file in C:\Z4Test, the
# Windows version, the board's folder mapped as E: (or not), and a suite of
# z4_e2e.exe. Further arguments are files to put beside the program. With
# Z4_READONLY=1 the program's folder is read-only, as Program Files is for a
# standard user (a read-only bind mount: root only; skipped otherwise).
scenario() {  # name, windows version, map|nomap, gtest filter, [files...]
  local name=$1 version=$2 map=$3 filter=$4
  shift 4
  wanted "$name" || return 0
  local ro_folder=${Z4_READONLY:-0}
  if [ "$ro_folder" = 1 ] && [ "$(id -u)" -ne 0 ]; then
    printf 'wine: %-28s skipped: a read-only folder needs a bind mount, which needs root\n' "$name"
    return 0
  fi
  local prefix=$work/$name log=$work/$name.log
  : >"$log"
  z4_new_prefix "$work/template" "$prefix"
  mkdir -p "$prefix/drive_c/Z4Test"
  cp "$shipped/Z4Utility.exe" "$prefix/drive_c/Z4Test/"
  [ -f "$shipped/utility.chm" ] && cp "$shipped/utility.chm" "$prefix/drive_c/Z4Test/"
  [ $# -gt 0 ] && cp "$@" "$prefix/drive_c/Z4Test/"
  local board=$work/$name-board
  rm -rf "$board"
  mkdir -p "$board"
  if [ "$map" = map ]; then z4_map_drive "$prefix" e "$board"; fi
  # A second mapped folder, F:, a fixed disk that is not the board.
  local fixed=$work/$name-fixed
  rm -rf "$fixed"
  mkdir -p "$fixed"
  z4_map_drive "$prefix" f "$fixed"
  z4_set_version "$prefix" "$version"
  # With Z4_DPI the screen's scale: Wine 8 takes the system DPI from this value
  # when a program starts (HKEY_CURRENT_CONFIG\Software\Fonts is only read
  # when it is missing).
  if [ -n "${Z4_DPI:-}" ]; then
    WINEPREFIX=$prefix wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
      /d "$Z4_DPI" /f >/dev/null 2>&1 </dev/null
  fi
  # The printer's output goes to this file (LPT1: is sent there).
  local print_file=$work/$name.ps shot=$work/$name.shot
  rm -f "$print_file" "$shot"
  WINEPREFIX=$prefix wine reg add 'HKCU\Software\Wine\Printing\Spooler' /v LPT1: \
    /d "$print_file" /f >/dev/null 2>&1 </dev/null
  z4_start_server "$prefix"
  # The test's own files (the board's state and journal), outside the program's folder.
  mkdir -p "$prefix/drive_c/Z4Work"
  local program_dir=$prefix/drive_c/Z4Test
  if [ "$ro_folder" = 1 ]; then
    mount --bind "$program_dir" "$program_dir" && mount -o remount,ro,bind "$program_dir" ||
      echo "wine: $name: the read-only bind mount failed" >>"$log"
  fi
  # The test asks for the board to be unplugged by creating this file, and
  # for a screenshot by creating another.
  local request=$work/$name.unplug
  rm -f "$request" "$work/$name.done"
  (
    while [ -d "$prefix" ] && [ ! -e "$work/$name.done" ]; do
      if [ -e "$request" ]; then
        rm -f "$prefix/dosdevices/e:" "$request"
      fi
      if [ -s "$shot" ]; then
        # A request "NAME WxH+X+Y" keeps that part of the screen as NAME.png;
        # any other keeps the whole screen as the scenario's picture. (An
        # empty file is a request still being written.)
        picture='' geometry=''
        read -r picture geometry <"$shot"
        if [ -n "$geometry" ]; then
          xwd -root -silent | convert xwd:- -crop "$geometry" +repage "$work/$picture.png" 2>/dev/null
        else
          xwd -root -silent | convert xwd:- "$work/$name.png" 2>/dev/null
        fi
        rm -f "$shot"
      fi
      sleep 0.05
    done
  ) &
  local watcher=$!
  local start=$SECONDS
  WINEPREFIX=$prefix Z4_E2E_PROGRAM='C:\Z4Test\Z4Utility.exe' \
    Z4_E2E_SIM="$(z4_windows_path "$tests/z4sim.exe")" \
    Z4_E2E_UNPLUG="$(z4_windows_path "$request")" \
    Z4_E2E_PRINT="$(z4_windows_path "$print_file")" Z4_E2E_SHOT="$(z4_windows_path "$shot")" \
    Z4_E2E_WORK='C:\Z4Work' Z4_E2E_READONLY="$ro_folder" Z4_E2E_DPI="${Z4_DPI:-96}" \
    wine "$tests/z4_e2e.exe" --gtest_filter="$filter" >>"$log" 2>&1 </dev/null
  local status=$?
  touch "$work/$name.done"
  wait "$watcher" 2>/dev/null
  if ! grep -q '\[  PASSED  \]' "$log"; then status=1; fi
  # What was printed, read back as text.
  if [ -s "$print_file" ] && ! printed_texts_ok "$print_file" >>"$log" 2>&1; then status=1; fi
  z4_stop_server "$prefix"
  if [ "$ro_folder" = 1 ]; then umount -l "$program_dir" 2>/dev/null; fi
  rm -f "$work/$name.done" "$request" "$shot"
  report "$name" $status "$log" $((SECONDS - start)) "$prefix" "$board" "$fixed" "$print_file"
}

# The printed graph: its title, black-level caption and axis texts.
printed_texts_ok() {
  local text missing=0
  text=$(gs -q -dNOPAUSE -dBATCH -sDEVICE=txtwrite -sOutputFile=- "$1" 2>&1)
  for want in Level.bmp BlackLevel:012 255.0 229.5 0.0 1728 172; do
    if ! grep -qF -- "$want" <<<"$text"; then
      echo "printed page lacks \"$want\""
      missing=1
    fi
  done
  [ $missing -eq 0 ] && echo "printed page holds the title, the black level and the axis texts"
  return $missing
}

scenario no-board winxp nomap 'NoBoard.*'
scenario board-xp winxp map 'BoardXp.*'
scenario board-2000 win2k map 'Board2000.*'
scenario board-98 win98 map 'Board98.*'
scenario board-me winme map 'BoardMe.*'
scenario no-text-table winxp map 'NoTextTable.*'
scenario utf8-text-table winxp map 'Utf8TextTable.*'
scenario settings-xp winxp map 'SettingsXp.*'
scenario settings-2000 win2k map 'Settings2000.*'
scenario settings-98 win98 map 'Settings98.*'
scenario win10-no-option win10 map 'Win10NoOption.*'
scenario win10-drive-option win10 map 'SettingsWin10.*'
scenario win10-volume win10 map 'SettingsWin10Volume.*'
scenario malformed-option winxp map 'MalformedOption*'
scenario shipped-texts winxp map 'ShippedTexts.*' "$z4_root/res/Z4Utility.ini"
scenario shipped-texts-japanese winxp map 'ShippedTexts.*' "$z4_root/res/ja/Z4Utility.ini"
scenario help-button winxp map 'HelpButton.*'
scenario startup-trace winxp map 'StartupTrace.*'
scenario adjust-mode winxp map 'AdjustMode.*'
scenario adjust-graph winxp map 'AdjustGraph.*'
scenario adjust-feed winxp map 'AdjustFeed.*'
scenario adjust-japanese winxp map 'AdjustJapanese.*'
scenario kiban-png winxp map 'KibanPng.*'
scenario kiban-tiff winxp map 'KibanTiff.*'
scenario kiban-log winxp map 'KibanLog.*'
scenario kiban-japanese winxp map 'KibanJapanese.*'
scenario kiban-after-job winxp map 'KibanAfterJob.*'
scenario kiban-long-log winxp map 'KibanLongLog.*'
LANG=ja_JP.UTF-8 scenario kiban-sjis-log winxp map 'KibanShiftJis.*'
scenario batch-settings winxp map 'BatchSettings.*'
Z4_READONLY=1 scenario read-only-folder win10 map 'DataFolder.*:History.*' "$z4_root/res/Z4Utility.ini"
scenario writable-folder win10 map 'DataFolder.*:CheckedSet.*:SecondCopy.*' "$z4_root/res/Z4Utility.ini"
# Every window laid out at 100, 125, 150 and 200 %, in English and in Japanese.
# These checks only wait on the program's own timers and measure what its
# windows hold, so they run four at a time, each in its own prefix and on a
# screen of its own (an Xvfb started here, one after the other so that no
# two take the same number), which its screenshots show alone; the reports
# follow in order.
running() {  # how many of these processes are still running
  local pid count=0
  for pid in "$@"; do kill -0 "$pid" 2>/dev/null && count=$((count + 1)); done
  echo $count
}
layout_dir=$work/layout-runs
rm -rf "$layout_dir"
mkdir -p "$layout_dir"
layouts=()
layout_jobs=()
layout_screens=()
trap 'z4_stop_display; kill "${layout_screens[@]}" 2>/dev/null' EXIT
main_display=$DISPLAY main_screen=${z4_xvfb_pid:-}
for dpi in 96 120 144 192; do
  for texts in english japanese; do
    name=layout-$dpi${texts/english/}
    name=${name/japanese/-japanese}
    wanted "$name" || continue
    layouts+=("$name")
    z4_start_display || { echo "wine: $name: no screen of its own" >"$layout_dir/$name.out"; continue; }
    layout_screens+=("$z4_xvfb_pid")
    (
      passed=0
      failures=0
      if [ "$texts" = japanese ]; then
        LANG=ja_JP.UTF-8 Z4_DPI=$dpi scenario "$name" winxp map 'Layout.*' \
          "$z4_root/res/ja/Z4Utility.ini"
      else
        Z4_DPI=$dpi scenario "$name" winxp map 'Layout.*' "$z4_root/res/Z4Utility.ini"
      fi
      echo "$passed $failures" >"$layout_dir/$name.count"
    ) >"$layout_dir/$name.out" 2>&1 &
    layout_jobs+=($!)
    export DISPLAY=$main_display
    z4_xvfb_pid=$main_screen
    while [ "$(running "${layout_jobs[@]}")" -ge 4 ]; do sleep 0.2; done
  done
done
# (A bare wait would wait for the display server too.)
[ ${#layout_jobs[@]} -eq 0 ] || wait "${layout_jobs[@]}"
[ ${#layout_screens[@]} -eq 0 ] || kill "${layout_screens[@]}" 2>/dev/null
for name in "${layouts[@]}"; do
  cat "$layout_dir/$name.out"
  read -r p f <"$layout_dir/$name.count" 2>/dev/null || { p=0; f=1; }
  passed=$((passed + p))
  failures=$((failures + f))
done
rm -rf "$layout_dir"

# The release's packages: signed, installed, replaced and removed with msiexec.
if wanted msi-install; then
  prefix=$work/msi-install
  z4_new_prefix "$work/template" "$prefix"
  start=$SECONDS
  (msi_install_test "$prefix" "$work/msi-install-dist" "$build") >"$work/msi-install.log" \
    2>&1 </dev/null
  status=$?
  z4_stop_server "$prefix"
  report msi-install $status "$work/msi-install.log" $((SECONDS - start)) "$prefix" \
    "$work/msi-install-dist"
fi

# A test that wrote into a file its prefix shares with the template would
# have changed every prefix after it.
if ! changed=$(z4_shared_files_unchanged "$work/template"); then
  echo "wine: files shared with the template were written by a test:"
  printf '%s\n' "$changed" | sed 's/^/    /'
  failures=$((failures + 1))
fi

# What a passing run leaves: the template, logs and screenshots.
left=$(du -sm "$work" | cut -f1)
if [ $failures -eq 0 ] && [ "$left" -gt 1024 ]; then
  echo "wine: $work holds $left MB after a passing run, more than 1 GB"
  failures=$((failures + 1))
fi

echo "wine: $passed passed, $failures failed"
[ $failures -eq 0 ] || exit 1
