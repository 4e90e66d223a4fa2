#!/usr/bin/env bash
# Builds the fuzz targets under tests/fuzz with clang's libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer, runs each for SECONDS (default 60) and ends
# with the line "fuzz: N runs, N crashes". The targets are built by the
# project's own CMakeLists.txt (option Z4_FUZZ), from the same lists of
# sources as every other build. `make test` runs it for a few seconds.
#   scripts/fuzz.sh [SECONDS]        work folder: $Z4_FUZZ_DIR or build/fuzz
set -uo pipefail

seconds=${1:-60}
case $seconds in '' | *[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;; esac

root=$(cd "$(dirname "$0")/.." && pwd)
work=${Z4_FUZZ_DIR:-$root/build/fuzz}
mkdir -p "$work"
generator=$(command -v ninja >/dev/null 2>&1 && echo Ninja || echo "Unix Makefiles")
echo "== building the fuzz targets" >&2
if ! { cmake -S "$root" -B "$work/build" -G "$generator" -DCMAKE_BUILD_TYPE=Debug -DZ4_FUZZ=ON \
  -DCMAKE_C_COMPILER="${CC_FUZZ:-clang}" -DCMAKE_CXX_COMPILER="${CXX_FUZZ:-clang++}" &&
  cmake --build "$work/build"; } >"$work/build.log" 2>&1; then
  tail -30 "$work/build.log" >&2
  echo "fuzz: build failed (see $work/build.log)" >&2
  exit 1
fi

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
    text_table_fuzz) cp "$root/res/Z4Utility.ini" "$dir/english"; cp "$root/res/ja/Z4Utility.ini" "$dir/japanese" ;;
    settings_file_check_fuzz)
      printf 'Density:75\r\nCCFLOffTim:045\r\nCCFLStabTim:020\r\nFileFormat:T\r\nSetting:H\r\nFileDate:2004/01/01 00:00:00\r\nImageMove:N\r\n' >"$dir/seven"
      printf 'Density:95\nDensity:80\nCCFLOffTim:040\nCCFLStabTim:025\nFileFormat:x\nFileDate:2004/02/30 00:00:00' >"$dir/problems"
      ;;
    drive_discovery_fuzz)
      # The board as each Windows records it (see device/drive_discovery.cpp).
      local scsi='KORA____Z-4_____________1' usb='Disk&Ven_KORA&Prod_Z-4&Rev_1.00'
      printf '5.1 0\nL|S|SYSTEM\\ControlSet001\\Enum\\USBSTOR\\%s\\000000000000&0|ParentIdPrefix|7&2d5c1e3&0\nL|W|SYSTEM\\MountedDevices|\\DosDevices\\E:|\\??\\STORAGE#RemovableMedia#7&2d5c1e3&0&RM#{53f5630d-b6bf-11d0-94f2-00a0c91efb8b}\n' "$usb" >"$dir/xp"
      printf '10.0 1\nL|W|SYSTEM\\MountedDevices|\\DosDevices\\D:|_??_USBSTOR#%s#000000000000&0#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}\nL|W|SYSTEM\\MountedDevices|\\DosDevices\\F:|_??_USBSTOR#%s#000000000000&1#{53f56307-b6bf-11d0-94f2-00a0c91efb8b}\n' "$usb" "$usb" >"$dir/win10"
      for variant in '4.10 0|QXR4&DISK&0000USB&VID_4F2A&PID_0C07&0000000000000' '4.90 1|USBSTOR&DISK&VEN_KORA&PROD_Z-4&REV_1.00&000000000000&'; do
        local id=${variant#*|} file=$dir/${variant%% *} letters=EF
        printf '%s\n' "${variant%%|*}" >"$file"
        for unit in 0 1; do
          local tail=$unit; [ "${variant%% *}" = 4.90 ] && tail=${unit}00
          printf 'D|S|Config Manager\\Enum\\C29A1B4%s|HardWareKey|SCSI\\%s\\%s%s\n' "$unit" "$scsi" "$id" "$tail" >>"$file"
          printf 'L|S|enum\\scsi\\%s\\%s%s\\|%s\n' "$scsi" "$id" "$tail" "SCSILUN|$unit" >>"$file"
          printf 'L|S|enum\\scsi\\%s\\%s%s\\|%s\n' "$scsi" "$id" "$tail" "CurrentDriveLetterAssignment|${letters:unit:1}" >>"$file"
        done
      done
      ;;
    file_date_fuzz) printf '2004/02/29 12:00:00' >"$dir/a"; printf '\x01\x02\x00\x00\x04\xfa\x00\x02\xfa\x02\x09\xfa\x01\x02\xfa\x00\x00\xfa\x00\x00' >"$dir/b" ;;
  esac
}

total_runs=0
total_crashes=0
for src in "$root"/tests/fuzz/*_fuzz.cpp; do
  name=$(basename "$src" .cpp)
  exe=$work/build/$name
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
