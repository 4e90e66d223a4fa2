#!/usr/bin/env bash
# Builds the fuzz targets under tests/fuzz with clang's libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer, runs each for SECONDS (default 60) and ends
# with the line "fuzz: N runs, N crashes". Not part of the normal build or CI.
#   scripts/fuzz.sh [SECONDS]        work folder: $Z4_FUZZ_DIR or build/fuzz
set -uo pipefail

seconds=${1:-60}
case $seconds in '' | *[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;; esac

root=$(cd "$(dirname "$0")/.." && pwd)
work=${Z4_FUZZ_DIR:-$root/build/fuzz}
cxx=${CXX_FUZZ:-clang++}
mkdir -p "$work"

# The core sources the targets reach, and the fakes the port-level checks use.
sources=(core/decimal.cpp core/program_folder.cpp core/utf8_check.cpp device/file_exchange.cpp
  imaging/image_header.cpp
  settings/settings_file.cpp viewers/level_data.cpp viewers/level_labels.cpp
  viewers/level_curve.cpp viewers/captured_image.cpp viewers/error_log.cpp
  tests/fakes/fake_file_system.cpp tests/fakes/fake_registry.cpp
  tests/fakes/fake_system.cpp tests/fakes/virtual_clock.cpp)
flags=(-std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
  -I"$root" -I"$root/tests")

# Starting points: the file the program writes from nothing and a board's file.
seed() {
  local dir=$work/corpus/$1
  mkdir -p "$dir"
  [ -n "$(ls -A "$dir")" ] && return
  case $1 in
    settings_file_fuzz)
      printf '\x05Density:75\r\nCCFLOffTim:030\r\nCCFLStabTim:020\r\nFileFormat:T\r\nSetting:H\r\nFileDate:2004/01/01 00:00:00\r\nImageMove:N\r\n' >"$dir/seven"
      # Longer than a thousand lines, with keys after the thousandth.
      { printf '\x11'; for i in $(seq 1100); do printf ';\n'; done; printf 'Density:80\nImageMove:Y'; } >"$dir/long"
      printf '\x2a; Z-4\n  Density:95 ; dark\nDensity:80\nCCFLOffTim:0045\nVendor:KORA\nCCFLStabTim: 20\nFileFormat:p\n;ImageMove:Y\nFileDate:2004/02/29 12:00:00' >"$dir/board"
      ;;
    decimal_fuzz) printf '0045' >"$dir/a"; printf '4294967376' >"$dir/b" ;;
    level_data_fuzz)
      printf 'BlackLevel:,012\r\nMaxLevel:,255\r\nWhiteLevel:12,1,2,3,4,5,6,7,8,9,10\r\n,11,x,\r\n;\r\n' >"$dir/board"
      { printf 'WhiteLevel:2100'; for i in $(seq 2100); do printf ',%d' $((i % 256)); [ $((i % 10)) -eq 0 ] && printf '\r\n'; done; printf '\r\n  ;\r\n'; } >"$dir/long"
      ;;
    captured_image_fuzz)
      printf 'MB000120.tif\0mb000121.TIF\0MBX00122.tif\0MB0001200.tif' >"$dir/names"
      printf 'Lamp error\r\nCF card missing\r\nlast' >"$dir/log"
      printf '\x80\x83\x89\x83\x93\x83\x76\r\n\xEF\xBB\xBFok\0\xE3\x83' >"$dir/code-page-log"
      printf '\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x20\0\0\0\x20\x01\x08\x02\0\0\0' >"$dir/png-header"
      printf 'MM\0*\0\0\0\x08\0\x02\x01\0\0\x03\0\0\0\x01\x02\x80\0\0\x01\x01\0\x04\0\0\0\x01\0\x01\0\0' >"$dir/tiff-header"
      ;;
    file_date_fuzz) printf '2004/02/29 12:00:00' >"$dir/a"; printf '\x01\x02\x00\x00\x04\xfa\x00\x02\xfa\x02\x09\xfa\x01\x02\xfa\x00\x00\xfa\x00\x00' >"$dir/b" ;;
  esac
}

total_runs=0
total_crashes=0
for src in "$root"/tests/fuzz/*_fuzz.cpp; do
  name=$(basename "$src" .cpp)
  exe=$work/$name
  echo "== $name: building" >&2
  if ! (cd "$root" && "$cxx" "${flags[@]}" "$src" "${sources[@]}" -o "$exe") >"$work/$name.build.log" 2>&1; then
    cat "$work/$name.build.log" >&2
    echo "fuzz: build of $name failed" >&2
    exit 1
  fi
  seed "$name"
  mkdir -p "$work/artifacts/$name"
  echo "== $name: running ${seconds}s" >&2
  "$exe" "$work/corpus/$name" -max_total_time="$seconds" -max_len=16384 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$work/artifacts/$name/" >"$work/$name.log" 2>&1
  status=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/$name.log" | grep -o '[0-9]*$' | tail -1)
  runs=${runs:-0}
  crashes=0
  if [ $status -ne 0 ]; then
    crashes=1
    grep -E 'ERROR|SUMMARY|runtime error|deadly signal' "$work/$name.log" | head -5 >&2
  fi
  echo "== $name: $runs runs, exit $status" >&2
  total_runs=$((total_runs + runs))
  total_crashes=$((total_crashes + crashes))
done

echo "fuzz: $total_runs runs, $total_crashes crashes"
[ $total_crashes -eq 0 ]
