#!/usr/bin/env bash
# Settings read and Set round trips under Wine, each next to the floor the
# program's timers and pauses impose, and the idle CPU while the board is only
# watched.
set -uo pipefail
build=$(cd "${1:-build}" && pwd)
runs=${2:-5}
work=$build/wine
mkdir -p "$work"
# shellcheck source=scripts/wine-env.sh
source "$(dirname "$0")/../scripts/wine-env.sh"
z4_use_wine32 || exit 1

z4_start_display || exit 1
prefix=$work/bench-round-trip
board=$work/bench-round-trip-board
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null
  z4_stop_server "$prefix"
  z4_stop_display
}
trap cleanup EXIT
z4_template_prefix "$work/template"
rm -rf "$board" "$board.state"
z4_program_prefix "$work/template" "$prefix" "$build/win/Z4Utility.exe" Z4Bench "$board"
# The board answers at once: it looks for work every 5 ms.
"$build/native/z4sim" --root "$board" --state "$board.state" --poll 5 >"$work/bench-sim.log" 2>&1 &
sim_pid=$!
z4_start_server "$prefix"
z4_register_board_nt "$prefix" E

# The floor, from the program's own timers and pauses, with a board that has
# finished the job by the first end-marker check:
#   watch tick 1 finds the drive                                100
#   watch tick 2 probes it and starts the read job              100
#     five presence tests of old exchange files (150 each)      750
#   job timer's first tick opens the status window              100
#   status window: first 500 ms tick finds the marker           500
#     marker test, held open 300 ms                              450
#     deletions: Z4.JOB 150, Z4JOB.END 450, Z4Dummy.TXT 150      750
#   settings fetched (presence test 150), shown, Z4.INI deleted  300
floor=$((100 + 100 + 5 * 150 + 100 + 500 + 450 + 150 + 450 + 150 + 150 + 150))
# The Set: the write, then the read that checks it.
#   Set: the board's settings file looked for (150)             150
#   write job: four presence tests of old exchange files        600
#   job timer's first tick, status window's first 500 ms tick   600
#     marker test 450, deletions 750                            1200
#   the written Z4.INI deleted                                   150
#   read-back job: five presence tests                          750
#   job timer's tick, status window's tick, marker, deletions  1800
#   settings fetched, shown, Z4.INI deleted                      300
set_floor=$((150 + 4 * 150 + 100 + 500 + 450 + 750 + 150 + 5 * 150 + 100 + 500 + 450 + 750 + 300))
log=$work/bench-round-trip.log
WINEPREFIX=$prefix wine "$build/wintests/round_trip_probe.exe" 'C:\Z4Bench\Z4Utility.exe' "$runs" 10 \
  >"$log" 2>&1 </dev/null &
probe=$!

# CPU time (user + system, clock ticks) of the host processes whose command
# line matches, summed.
cpu_ticks() {
  local total=0 pid fields
  for pid in $(pgrep -f "$1"); do
    read -r -a fields <"/proc/$pid/stat" 2>/dev/null || continue
    # Fields after the command name: utime is the 14th, stime the 15th field.
    total=$((total + fields[13] + fields[14]))
  done
  echo $total
}
while kill -0 $probe 2>/dev/null && ! grep -q '^idle-start' "$log"; do sleep 0.05; done
utility0=$(cpu_ticks 'Z4Bench.Z4Utility.exe')
server0=$(cpu_ticks wineserver)
t0=$(date +%s%N)
while kill -0 $probe 2>/dev/null && ! grep -q '^idle-end' "$log"; do sleep 0.05; done
utility1=$(cpu_ticks 'Z4Bench.Z4Utility.exe')
server1=$(cpu_ticks wineserver)
t1=$(date +%s%N)
wait $probe
status=$?
grep -E '^(run|settings)' "$log"
hz=$(getconf CLK_TCK)
awk -v u=$((utility1 - utility0)) -v s=$((server1 - server0)) -v hz="$hz" \
  -v ns=$((t1 - t0)) 'BEGIN {
    wall = ns / 1e9
    printf "idle CPU of Z4Utility.exe while watching the board: %.2f %% of one core (%.2f s CPU in %.1f s)\n", 100 * u / hz / wall, u / hz, wall
    printf "wineserver meanwhile: %.2f %% of one core\n", 100 * s / hz / wall
  }'
median=$(sed -n 's/^settings read round trip: median \([0-9]*\) ms.*/\1/p' "$log")
set_median=$(sed -n 's/^settings Set round trip: median \([0-9]*\) ms.*/\1/p' "$log")
echo "floor set by the timers and pauses: $floor ms (read), $set_floor ms (Set)"
if [ -n "$median" ]; then
  awk -v m="$median" -v f="$floor" 'BEGIN { printf "round trip / floor: %.2f\n", m / f }'
fi
if [ -n "$set_median" ]; then
  awk -v m="$set_median" -v f="$set_floor" 'BEGIN { printf "set round trip / floor: %.2f\n", m / f }'
fi
exit $status
