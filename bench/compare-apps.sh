#!/usr/bin/env bash
# Start-up, memory and idle cost of pelko beside MiniBrowser and Chromium in
# app mode, on the demo service: bench/compare-apps.sh [--runs 5] [--idle 30]
# [--json out.json] (bench/compare-apps.py --help lists every option).
# Installs what it needs, then compare-apps.py builds build/perf and measures.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh"
if ! dpkg-query -W -f='${Status}' chromium 2>/dev/null | grep -q 'install ok installed'; then
  if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
  echo "Installing: chromium"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends chromium >/dev/null
fi

exec python3 "$root/bench/compare-apps.py" "$@"
