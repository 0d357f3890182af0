#!/usr/bin/env bash
# Installs what building and testing need on Debian 12. Quiet when all is there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  googletest libgtest-dev libgmock-dev nlohmann-json3-dev libcpp-httplib-dev
  libgtk-4-dev libwebkitgtk-6.0-dev
  libpulse-dev libpocketsphinx-dev pocketsphinx-en-us
  espeak-ng sox pulseaudio pulseaudio-utils
  xvfb xauth dbus-x11 imagemagick
  dbus-daemon libxtst-dev
  clang libclang-rt-dev libplist-dev libxml2-dev
  unicode-data
  desktop-file-utils
  libcurl4-openssl-dev
  # The Mac's toolchain as far as Linux has it: clang and libc++ 16 (the
  # libc++ lane and the Apple-target compile check), and the C library
  # headers of the Mac's other architecture for that check.
  clang-16 libc++-16-dev libc++abi-16-dev
  # Reads the macOS build's generated property lists (tests/mac).
  python3
)
case "$(dpkg --print-architecture)" in
  amd64) packages+=(libc6-dev-arm64-cross) ;;
  arm64) packages+=(libc6-dev-amd64-cross) ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
