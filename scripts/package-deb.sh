#!/usr/bin/env bash
# Builds the Debian package of the Linux app for the Pelko service:
# build/package/pelko_<version>_<arch>.deb. Prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
build=build/package
# Only the application is built: installing must not wait for the tests.
# Any origin cached by an earlier configure is dropped for the release one.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
  -UPELKO_SERVICE_ORIGIN >/dev/null
cmake --build "$build" --target pelko -j "$(nproc)" >/dev/null
rm -f "$build"/pelko_*.deb
if ! (cd "$build" && cpack -G DEB >cpack.log 2>&1); then
  cat "$build/cpack.log" >&2
  exit 1
fi
ls "$PWD/$build"/pelko_*.deb
