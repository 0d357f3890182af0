#!/usr/bin/env bash
# Voice latency over the WAV source: bench/voice-latency.sh [runs]
# Builds what it needs in build/bench, then runs the Linux app against the
# demo service under Xvfb with a session bus and a home of its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${1:-9}
build="$root/build/bench"

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" --target pelko-voice-latency pelko_voice_fixtures >/dev/null

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/config" "$home/data" "$home/cache" "$home/runtime"
chmod 700 "$home/runtime"
# With the tests' grammar, then with the full US English language model.
for grammar in "$root/tests/voice/pelko.gram" ""; do
  if [ -n "$grammar" ]; then echo "== grammar $(basename "$grammar")"; else echo "== language model"; fi
  env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" XDG_CACHE_HOME="$home/cache" \
      XDG_RUNTIME_DIR="$home/runtime" NO_AT_BRIDGE=1 GTK_A11Y=none \
    xvfb-run -a -s "-screen 0 1920x1200x24" dbus-run-session -- \
    "$build/bench/pelko-voice-latency" "$runs" "$build/tests/voice/hello-world.wav" "$grammar" "hello world" \
    2>/dev/null
done
