#!/usr/bin/env bash
# Start-up (cold and warm), memory, idle cost and a long chat of pelko beside
# MiniBrowser and Chromium in app mode, on the demo service, every app with its
# sandbox: bench/compare-apps.sh [--runs 5] [--idle 30] [--chat 200]
# [--json out.json] (bench/compare-apps.py --help lists every option).
# Installs what it needs, then compare-apps.py builds build/perf and measures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh"
# Chromium; what a desktop session has running (the accessibility bus) and the
# bench's D-Bus client; setpriv and useradd, to run the apps as a user.
packages=(chromium at-spi2-core dbus-bin util-linux passwd)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

exec python3 "$root/bench/compare-apps.py" "$@"
