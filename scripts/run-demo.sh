#!/usr/bin/env bash
# Builds the Linux app against the local demo service and runs both.
#
# With a display, the app opens on it and the script returns when you quit
# the app. Without one, everything runs under Xvfb: the script waits for the
# page to load, saves a screenshot of the window to build/demo/screenshot.png
# and exits.
#
# The app keeps its settings, cookies and cache under build/demo/profile, so
# the demo never touches a real installation's data.
set -euo pipefail
cd "$(dirname "$0")/.."

port=8421
build=build/demo
profile="$PWD/$build/profile"

if [ "${1:-}" != "--inside-xvfb" ]; then
  scripts/install-deps.sh
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DPELKO_SERVICE_ORIGIN="http://127.0.0.1:$port" >/dev/null
  cmake --build "$build" --target pelko pelko-demo -j "$(nproc)"
  if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1440x1000x24" "$0" --inside-xvfb
  fi
fi

mkdir -p "$profile/config" "$profile/data" "$profile/cache"
export XDG_CONFIG_HOME="$profile/config" XDG_DATA_HOME="$profile/data" XDG_CACHE_HOME="$profile/cache"

service_log="$build/demo-service.log"
service_pid=
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null && wait "$app_pid" 2>/dev/null || true
  [ -n "$service_pid" ] && kill "$service_pid" 2>/dev/null && wait "$service_pid" 2>/dev/null || true
}
trap cleanup EXIT

"$build/demo/pelko-demo" --port "$port" >"$service_log" 2>&1 &
service_pid=$!
for _ in $(seq 100); do
  grep -q "Pelko demo service on" "$service_log" 2>/dev/null && break
  kill -0 "$service_pid" 2>/dev/null || { cat "$service_log" >&2; exit 1; }
  sleep 0.1
done
echo "Demo service: http://127.0.0.1:$port"

if [ "${1:-}" != "--inside-xvfb" ]; then
  "$build/src/gtk/pelko"
  exit 0
fi

# Headless: open the app, wait until its page has asked the service's API
# (the page does so once its script has run), then photograph the window.
"$build/src/gtk/pelko" 2>"$build/app.log" &
app_pid=$!
for _ in $(seq 300); do
  grep -q "^GET /api " "$service_log" && break
  kill -0 "$app_pid" 2>/dev/null || { echo "The app exited early:" >&2; cat "$build/app.log" >&2; exit 1; }
  sleep 0.1
done
grep -q "^GET /api " "$service_log" || { echo "The page did not load." >&2; exit 1; }
# Fonts and the first frames settle.
sleep 2
# Without a window manager the window sits at the top left of a black screen.
import -window root -trim +repage "$build/screenshot.png"
echo "Screenshot: $build/screenshot.png"
