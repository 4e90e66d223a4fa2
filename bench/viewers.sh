#!/usr/bin/env bash
# The result windows of test/adjust mode under Wine: Level.bmp saved per pixel
# against the program's one-step capture, the graph's repaint, and the board
# inspection from end marker to visible image against its floor.
set -uo pipefail
build=$(cd "${1:-build}" && pwd)
work=$build/wine
mkdir -p "$work"
# shellcheck source=scripts/wine-env.sh
source "$(dirname "$0")/../scripts/wine-env.sh"
z4_use_wine32 || exit 1

z4_start_display || exit 1
z4_template_prefix "$work/template"
status=0
for mode in ${Z4_BENCH_MODES:-graph inspection}; do
  prefix=$work/bench-$mode
  board=$work/bench-$mode-board
  rm -rf "$board" "$board.state"
  z4_program_prefix "$work/template" "$prefix" "$build/win/Z4Utility.exe" Z4Bench "$board"
  printf 'FileFormat=P\n' >"$board.state"
  # The board answers at once: it looks for work every 5 ms.
  "$build/native/z4sim" --root "$board" --state "$board.state" --poll 5 \
    >"$work/bench-$mode-sim.log" 2>&1 &
  sim_pid=$!
  z4_start_server "$prefix"
  z4_register_board_nt "$prefix" E
  WINEPREFIX=$prefix wine "$build/wintests/viewer_probe.exe" 'C:\Z4Bench\Z4Utility.exe' "$mode" \
    >"$work/bench-$mode.log" 2>&1 </dev/null || status=1
  kill "$sim_pid" 2>/dev/null
  z4_stop_server "$prefix"
  grep -E '^(ours|of a|level.bmp|same bytes|graph repaint|inspection image|no |the )' "$work/bench-$mode.log"
done
z4_stop_display
exit $status
