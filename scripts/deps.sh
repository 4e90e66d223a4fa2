#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when they are missing.
# The 32-bit Wine that runs the shipped program is not among them:
# scripts/wine32.sh sets it up privately, with the wineserver of wine64 and
# the i386 program loader of libc6-i386 (an amd64 package).
set -euo pipefail
# shellcheck source=scripts/apt_lists.sh
source "$(dirname "$0")/apt_lists.sh"

packages=(cmake ninja-build g++ make g++-mingw-w64-i686 wine wine64 libc6-i386 xvfb x11-apps
  googletest libgtest-dev libgmock-dev libbenchmark-dev imagemagick fonts-ipafont-gothic
  fonts-wine ghostscript fp-utils python3 file libxml2-utils locales libchm-bin clang
  libclang-rt-14-dev wixl msitools osslsigncode openssl librapidcheck-dev python3-pefile)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

# The Japanese locale: Wine takes the system code page (Shift-JIS) from it.
japanese_locale() {
  locale -a 2>/dev/null | grep -qix 'ja_JP.utf8' && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing the ja_JP.UTF-8 locale. Make it as root with:" >&2
    echo "  localedef -i ja_JP -c -f UTF-8 ja_JP.UTF-8" >&2
    return 1
  fi
  localedef -i ja_JP -c -f UTF-8 ja_JP.UTF-8
}

if [ ${#missing[@]} -eq 0 ]; then
  japanese_locale
  exit
fi

line="apt-get install -y --no-install-recommends ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Install them as root with:" >&2
  echo "  apt-get update && $line" >&2
  exit 1
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
log=$(mktemp)
apt_update "$log"
apt_require "${missing[@]}"
apt_retry "$log" apt-get install -y -q --no-install-recommends "${missing[@]}" || {
  cat "$log" >&2
  exit 1
}
rm -f "$log"
japanese_locale
