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
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
