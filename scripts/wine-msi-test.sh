# shellcheck shell=bash
# The release's Windows Installer packages under Wine, signed with a
# throw-away certificate: installed, replaced and removed with msiexec as an
# administrator deploys them. Sourced by wine-tests.sh, after wine-env.sh;
# msi_install_test PREFIX DIST BUILD prints what it checks and fails at the
# first difference.
# shellcheck disable=SC2154  # z4_root: wine-env.sh

# The files in Program Files\Z4Utility against the archive's (ZIP, unpacked):
# each installed:archived pair byte for byte, and nothing else there.
msi_installed_as() {  # prefix zip pairs...
  local folder="$1/drive_c/Program Files/Z4Utility" zip=$2 pair want=()
  shift 2
  for pair in "$@"; do
    cmp "$folder/${pair%%:*}" "$zip/${pair#*:}" || return 1
    want+=("${pair%%:*}")
  done
  local found
  found=$(cd "$folder" && find . -type f | sed 's|^\./||' | sort)
  [ "$found" = "$(printf '%s\n' "${want[@]}" | sort)" ] ||
    { printf 'installed files:\n%s\n' "$found"; return 1; }
}

# Whether Windows lists exactly the expected one (or none) of the packages' products.
msi_registered_only() {  # expected product code or "", then every product code
  local expected=$1 listed code found=""
  shift
  listed=$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' \
    2>/dev/null </dev/null)
  for code in "$@"; do
    if grep -qF "$code" <<<"$listed"; then found+="$code "; fi
  done
  [ "$found" = "${expected:+$expected }" ] ||
    { echo "installed products: ${found:-none}; expected ${expected:-none}"; return 1; }
}

msi_run() {  # /i or /x, package
  wine msiexec "$1" "$(z4_windows_path "$2")" /qn >/dev/null 2>&1 </dev/null
  local code=$?
  echo "msiexec $1 $(basename "$2"): exit code $code"
  return $code
}

msi_install_test() {  # prefix, folder for the release, build folder
  local prefix=$1 dist=$2 build=$3 version
  version=$(cat "$z4_root/VERSION")
  export WINEPREFIX=$prefix
  rm -rf "$dist"
  mkdir -p "$dist"
  openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj '/CN=Z4Utility test signer' \
    -addext extendedKeyUsage=codeSigning -keyout "$dist/key.pem" -out "$dist/cert.pem" \
    2>/dev/null || return 1
  python3 "$z4_root/scripts/make-dist.py" "$build" --out "$dist" \
    --cert "$dist/cert.pem" --key "$dist/key.pem" || return 1
  python3 -m zipfile -e "$dist/Z4Utility-$version.zip" "$dist/zip" || return 1
  local zip=$dist/zip/Z4Utility-$version ja=$dist/Z4Utility-$version.msi
  local en=$dist/Z4Utility-$version-en.msi later=$dist/later.msi file
  # Valid SHA-256 signatures, the throw-away certificate taken as the root.
  for file in "$zip/Z4Utility.exe" "$ja" "$en"; do
    if ! osslsigncode verify -CAfile "$dist/cert.pem" -in "$file" >"$dist/verify.txt" 2>&1 ||
      ! grep -q 'Message digest algorithm *: SHA256' "$dist/verify.txt"; then
      echo "no valid SHA-256 signature on $file:"
      cat "$dist/verify.txt"
      return 1
    fi
  done
  echo "the program and both packages carry valid SHA-256 signatures"
  # The same files, signed program and all, as a later version.
  python3 - "$z4_root" "$zip" "$later" <<'EOF' || return 1
import os, sys
sys.path.insert(0, os.path.join(sys.argv[1], "scripts"))
import dist_archive, dist_msi
major, minor, patch = dist_archive.read_version(sys.argv[1]).split(".")
later = "%s.%s.%d" % (major, minor, int(patch) + 1)
files = {}
for name in dist_archive.default_inputs(sys.argv[1], "").keys():
    with open(os.path.join(sys.argv[2], name), "rb") as f:
        files[name] = f.read()
with open(sys.argv[3], "wb") as f:
    f.write(dist_msi.build(sys.argv[1], files, later, "ja"))
EOF
  local codes=() package
  for package in "$ja" "$en" "$later"; do
    codes+=("$(msiinfo export "$package" Property | sed -n 's/^ProductCode\t//p')")
  done
  local japanese=(Z4Utility.exe:Z4Utility.exe utility.chm:utility.chm README.txt:README.txt
    Z4Utility.ini:Z4Utility.ini English/Z4Utility.ini:English/Z4Utility.ini)
  local english=("${japanese[@]:0:3}" Z4Utility.ini:English/Z4Utility.ini
    Japanese/Z4Utility.ini:Z4Utility.ini)
  z4_start_server "$prefix"

  msi_run /i "$ja" && msi_installed_as "$prefix" "$zip" "${japanese[@]}" &&
    msi_registered_only "${codes[0]}" "${codes[@]}" || return 1
  local menu
  menu=$(find "$prefix/drive_c" -path '*/Start Menu/Programs/Z4Utility' -type d)
  for file in Z4Utility.exe:Z4Utility utility.chm:'Z4Utility Help'; do
    grep -qaF "C:\\Program Files\\Z4Utility\\${file%%:*}" "$menu/${file#*:}.lnk" ||
      { echo "no Start-menu shortcut ${file#*:} to ${file%%:*} in '$menu'"; return 1; }
  done
  echo "installed: the archive's files in C:\\Program Files\\Z4Utility, two shortcuts in $menu"
  local code
  wine 'C:\Program Files\Z4Utility\Z4Utility.exe' /quiet /bogus >/dev/null 2>&1 </dev/null
  code=$?
  [ $code -eq 1 ] || { echo "the installed program ended with $code, not 1"; return 1; }
  echo "the installed, signed program refuses a malformed option with exit code 1"

  msi_run /i "$en" && msi_installed_as "$prefix" "$zip" "${english[@]}" &&
    msi_registered_only "${codes[1]}" "${codes[@]}" || return 1
  echo "the English package replaced the Japanese one of the same version"
  msi_run /i "$later" && msi_installed_as "$prefix" "$zip" "${japanese[@]}" &&
    msi_registered_only "${codes[2]}" "${codes[@]}" || return 1
  echo "a later version replaced it"
  ! msi_run /i "$en" && msi_registered_only "${codes[2]}" "${codes[@]}" || return 1
  echo "the earlier version is refused while the later one is installed"

  # What users wrote: the data folder and a file in the program folder.
  local data
  data=$(find "$prefix/drive_c/users" -maxdepth 3 -path '*/AppData/Local' ! -path '*/Public/*')
  mkdir -p "$data/Z4Utility"
  echo kept >"$data/Z4Utility/Z4Utility.log"
  echo kept >"$prefix/drive_c/Program Files/Z4Utility/Z4Utility.log"
  msi_run /x "$later" && msi_registered_only "" "${codes[@]}" || return 1
  if ! msi_installed_as "$prefix" "$data/Z4Utility" Z4Utility.log:Z4Utility.log ||
    [ ! -f "$data/Z4Utility/Z4Utility.log" ] || [ -e "$menu" ]; then
    echo "uninstalling left other files or shortcuts, or took the users' files"
    return 1
  fi
  echo "uninstalled: files and shortcuts gone, the users' files kept"
}
