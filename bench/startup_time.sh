#!/usr/bin/env bash
# Time from process start to visible main window of Z4Utility.exe under Wine
# (server already running, board registered so that no message box comes first).
set -uo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-10}
work=$build/wine
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
z4_start_server "$prefix"
z4_register_board_nt "$prefix" E
WINEPREFIX=$prefix wine "$build/wintests/startup_probe.exe" 'C:\Z4Bench\Z4Utility.exe' "$runs" \
  >"$work/bench-startup.log" 2>&1 </dev/null
status=$?
grep -E '^(run|start)' "$work/bench-startup.log"
exit $status
