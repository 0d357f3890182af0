#!/usr/bin/env bash
# Builds the Debian package and checks it the way a user meets it: its files
# and fields, then apt-get install, pelko --version from the installed path,
# the desktop entry, and apt-get remove leaving nothing behind.
#
# Installing touches the system, so it is done only where CI is set (a fresh
# machine) or when asked with --install. Elsewhere, on a contributor's own
# machine, the package is unpacked with dpkg-deb into a temporary folder and
# its binary and desktop entry are checked there. A machine that already has
# pelko installed is never touched (CI, which never has, fails instead).
#   tests/package/check-deb.sh [--install]
set -euo pipefail
cd "$(dirname "$0")/../.."

fail() { echo "package check: $*" >&2; exit 1; }
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi

deb=$(scripts/package-deb.sh | tail -1)
[ -f "$deb" ] || fail "scripts/package-deb.sh made no package"
version=$(sed -nE 's/^project\(Pelko VERSION ([0-9.]+) .*/\1/p' CMakeLists.txt)
echo "   $(basename "$deb"): $(du -k "$deb" | cut -f1) KiB"

# Exactly these files, nothing of the demo, the tests or the helper.
expected="./usr/bin/pelko
./usr/share/applications/ai.pelko.Desktop.desktop
./usr/share/doc/pelko/copyright
./usr/share/icons/hicolor/scalable/apps/ai.pelko.Desktop.svg"
files=$(dpkg-deb --contents "$deb" | awk '$1 !~ /^d/ { print $NF }' | sort)
[ "$files" = "$expected" ] || fail "the package holds
$files
instead of
$expected"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = pelko ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version $(field Version), the project's is $version"
depends=$(field Depends)
# The model by hand, the libraries from the binary.
for d in pocketsphinx-en-us libwebkitgtk-6.0-4 libgtk-4-1 libpulse0 libpocketsphinx3; do
  grep -qE "(^|, )$d( |,|$)" <<<"$depends" || fail "Depends lacks $d: $depends"
done
echo "   Depends: $depends"

install=
case "${CI:-}" in "" | false | 0) ;; *) install=1 ;; esac
[ "${1:-}" = --install ] && install=1

# The binary and the desktop entry as a package puts them, under `root`.
check_files() {
  local root=$1 where=$2
  printed=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/bin/pelko" --version) || fail "$where: pelko --version failed"
  [ "$printed" = "$version" ] || fail "$where: pelko --version printed \"$printed\", not $version"
  missing=$(ldd "$root/usr/bin/pelko" | grep 'not found' || true)
  [ -z "$missing" ] || fail "$where: the binary lacks libraries: $missing"
  desktop-file-validate "$root/usr/share/applications/ai.pelko.Desktop.desktop" || fail "$where: the desktop entry is not valid"
  echo "   $where: pelko --version prints $printed; the desktop entry is valid"
}

if [ -z "$install" ]; then
  echo "   not installed, as CI is not set: checked unpacked with dpkg-deb (tests/package/check-deb.sh --install installs, runs and removes it)"
  unpacked=$(mktemp -d)
  trap 'rm -rf "$unpacked"' EXIT
  dpkg-deb -x "$deb" "$unpacked"
  check_files "$unpacked" unpacked
  exit 0
fi
echo "   installing it with apt-get, running it and removing it again"

if dpkg-query -W -f='${Status}' pelko 2>/dev/null | grep -q 'install ok installed'; then
  [ "${CI:-}" = true ] && fail "pelko is installed before the check"
  echo "   pelko is installed on this machine: install and removal not checked, to leave it as it is"
  exit 0
fi

cleanup() { $SUDO apt-get remove -y -qq pelko >/dev/null 2>&1 || true; }
trap cleanup EXIT
if ! out=$(DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$(realpath "$deb")" 2>&1); then
  echo "$out" >&2
  fail "apt-get install $(basename "$deb") failed"
fi
installed=$(dpkg-query -L pelko)

# Without a display: printing the version must not need one.
check_files "" installed

DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y -qq pelko >/dev/null
trap - EXIT
status=$(dpkg-query -W -f='${Status}' pelko 2>/dev/null || true)
case "$status" in "" | "unknown ok not-installed" | "deinstall ok not-installed") ;;
  *) fail "after apt-get remove the package is \"$status\"" ;; esac
# Every file it brought and its own folders are gone; shared folders stay.
left=$(while read -r path; do
  case "$path" in /usr/share/doc/pelko | /usr/share/doc/pelko/* | /usr/bin/pelko | *ai.pelko.Desktop*) ;; *) continue ;; esac
  if [ -e "$path" ]; then echo "$path"; fi
done <<<"$installed")
[ -z "$left" ] || fail "apt-get remove left $left"
echo "   removed: nothing of it is left"
