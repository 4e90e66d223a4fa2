#!/usr/bin/env bash
# Start-up of Z4Utility.exe under Wine next to a plain dialog program built the
# same way (build/win/bench/minimal_dialog.exe): both run alternately in one
# prefix with the server already running and the board registered, so that no
# message box comes first; then the program's own start-up trace.
#   startup_time.sh [BUILD] [RUNS] [TRACED_RUNS]
set -uo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-20}
traced=${3:-5}
work=$build/wine
minimal=$build/win/bench/minimal_dialog.exe
if [ ! -f "$minimal" ]; then
  echo "startup: $minimal is missing (cmake --build $build/win --target minimal_dialog)" >&2
  exit 1
fi
mkdir -p "$work"
# shellcheck source=scripts/wine-env.sh
source "$(dirname "$0")/../scripts/wine-env.sh"
z4_use_wine32 || exit 1

z4_start_display || exit 1
prefix=$work/bench-startup
board=$work/bench-startup-board
trap 'z4_stop_server "$prefix"; z4_stop_display' EXIT
z4_template_prefix "$work/template"
rm -rf "$board"
z4_program_prefix "$work/template" "$prefix" "$build/win/Z4Utility.exe" Z4Bench "$board"
mkdir -p "$prefix/drive_c/Z4Minimal"
cp "$minimal" "$prefix/drive_c/Z4Minimal/"
z4_start_server "$prefix"
z4_register_board_nt "$prefix" E
WINEPREFIX=$prefix wine "$build/wintests/startup_probe.exe" 'C:\Z4Bench\Z4Utility.exe' \
  'C:\Z4Minimal\minimal_dialog.exe' "$runs" "$traced" >"$work/bench-startup.log" 2>&1 </dev/null
status=$?
grep -E '^(ours|minimal|ratio|start-up|trace)' "$work/bench-startup.log"
exit $status
