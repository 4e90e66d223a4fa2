#!/usr/bin/env bash
# Runs Z4Utility.exe under Wine against the emulated board. With a display the
# program stays up until you close it; without one it runs in Xvfb, a
# screenshot goes to build/demo.png and the demo ends by itself.
set -uo pipefail
build=$(cd "${1:-build}" && pwd)
work=$build/wine
mkdir -p "$work"
# shellcheck source=scripts/wine-env.sh
source "$(dirname "$0")/wine-env.sh"
z4_use_wine32 || exit 1

interactive=0
if [ -n "${DISPLAY:-}" ]; then interactive=1; else z4_start_display || exit 1; fi

prefix=$work/demo
board=$build/demo-board
z4_template_prefix "$work/template"
rm -rf "$board" "$board.state" "$board.journal"
z4_program_prefix "$work/template" "$prefix" "$build/win/Z4Utility.exe" Z4Demo "$board"

# The board starts with settings of its own, so that what the window shows
# visibly comes from the board.
printf '%s\n' '; Z-4 board state (demo)' 'Density=85' 'CCFLOffTim=060' 'CCFLStabTim=030' \
  'FileFormat=P' 'Setting=V' 'FileDate=2026/12/07 00:00:00' 'ImageMove=Y' >"$board.state"

sim_pid=
if [ -x "$build/native/z4sim" ]; then
  "$build/native/z4sim" --root "$board" --state "$board.state" --journal "$board.journal" \
    >"$work/demo-sim.log" 2>&1 &
  sim_pid=$!
else
  echo "demo: no emulator built; the utility will find no board"
fi

cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  z4_stop_server "$prefix"
  z4_stop_display
}
trap cleanup EXIT

z4_start_server "$prefix"
[ -n "$sim_pid" ] && z4_register_board_nt "$prefix" E

# Test/adjust mode: the CCD level graph of the waveform job and the board
# inspection with the board's captured image, driven by their end-to-end tests,
# which take the screenshots; and the main window at 150 %, from the layout
# test at 144 dpi.
adjust_screenshots() {
  if Z4_ONLY="adjust-graph kiban-png layout-144" bash "$(dirname "$0")/wine-tests.sh" "$build" \
    >"$work/demo-adjust.log" 2>&1; then
    cp "$work/adjust-graph.png" "$build/demo-graph.png"
    cp "$work/kiban-png.png" "$build/demo-inspection.png"
    cp "$work/layout-150-user.png" "$build/demo-150.png"
    echo "demo: the graph window in $build/demo-graph.png, the board inspection in $build/demo-inspection.png"
    echo "demo: the main window at 150 % in $build/demo-150.png"
  else
    echo "demo: test/adjust mode did not run through; see $work/demo-adjust.log" >&2
    return 1
  fi
}

if [ $interactive -eq 1 ]; then
  echo "demo: the emulated board's folder is $board (drive E: inside Wine)"
  WINEPREFIX=$prefix wine explorer /desktop=Z4Demo,800x600 'C:\Z4Demo\Z4Utility.exe' \
    >"$work/demo.log" 2>&1 </dev/null
  cleanup
  trap - EXIT
  adjust_screenshots
  exit $?
fi

# The window opens at once; the board's settings arrive after the read job,
# while the status window shows. Like the end-to-end tests, the screenshot
# waits until they are shown (the Set button enabled): the probe of the
# round-trip benchmark starts the program in the demo's desktop, prints
# "idle-start" a second after that, and leaves it open for a minute.
probe=$(z4_windows_path "$build/wintests/round_trip_probe.exe")
WINEPREFIX=$prefix wine explorer /desktop=Z4Demo,800x600 "$probe" 'C:\Z4Demo\Z4Utility.exe' 1 60 \
  >"$work/demo.log" 2>&1 </dev/null &
waited=0
until grep -q '^idle-start' "$work/demo.log" 2>/dev/null; do
  if [ $waited -ge $((${Z4_DEMO_SECONDS:-120} * 10)) ]; then
    echo "demo: the settings were not shown within ${Z4_DEMO_SECONDS:-120} s; see $work/demo.log" >&2
    exit 1
  fi
  sleep 0.1
  waited=$((waited + 1))
done
if xwd -root -silent | /usr/bin/convert xwd:- -crop 800x600+0+0 +repage "$build/demo.png"; then
  echo "demo: screenshot in $build/demo.png"
else
  echo "demo: could not take the screenshot" >&2
  exit 1
fi
cleanup
trap - EXIT
adjust_screenshots
