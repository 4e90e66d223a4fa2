# Reading Debian's package lists when an archive is briefly inconsistent.
# Sourced by the scripts that run apt-get.
#
# A mirror in the middle of a sync serves an index whose size or hash does not
# match its Release file ("File has unexpected size ... Mirror sync in
# progress?"). apt-get update then fails as a whole, although it read every
# other list. Such a failure is tried again after a pause, and when it stays,
# the run goes on with the lists apt has: only a package that cannot be found
# in them stops it, and the error names that package.

# apt_update LOG [TRIES] [PAUSE_SECONDS]
apt_update() {
  local log=$1 tries=${2:-3} pause=${3:-10} try status
  for ((try = 1; try <= tries; try++)); do
    status=0
    apt-get update -q >"$log" 2>&1 || status=$?
    [ "$status" -eq 0 ] && return 0
    # Anything but index files that could not be fetched is a real failure.
    if grep -E '^E: ' "$log" | grep -vqE '^E: (Failed to fetch |Some index files failed to download)'; then
      [ "$try" -lt "$tries" ] && { sleep "$pause"; continue; }
      echo "apt-get update failed (see $log):" >&2
      grep -E '^E: ' "$log" | head -5 >&2
      return "$status"
    fi
    [ "$try" -lt "$tries" ] && sleep "$pause"
  done
  echo "apt-get update could not read some index files (see $log); going on with the lists it has:" >&2
  grep -E '^E: Failed to fetch ' "$log" | sed 's/  .*//; s/^E: Failed to fetch /  /' | head -5 >&2
  return 0
}

# apt_require PACKAGE... : every package (NAME, NAME:ARCH, NAME=VERSION or
# NAME:ARCH=VERSION) can be found in the lists; otherwise the first that
# cannot is named and the status is 1.
apt_require() {
  local p
  for p in "$@"; do
    if ! apt-cache show "$p" >/dev/null 2>&1; then
      echo "package $p cannot be found in the package lists of the system's sources" >&2
      return 1
    fi
  done
}

# apt_retry LOG COMMAND...: the command (apt-get download or install), tried
# again after a pause when it fails, up to three times in all.
apt_retry() {
  local log=$1 try
  shift
  for try in 1 2 3; do
    "$@" >"$log" 2>&1 && return 0
    [ "$try" -lt 3 ] && sleep 10
  done
  return 1
}
