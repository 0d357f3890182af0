#!/usr/bin/env bash
# Builds everything and runs every test: unit tests (also under ASan and
# UBSan, and built with the Mac's C++ library), the fuzz targets over their
# corpora, page-script tests, end-to-end tests (under Xvfb), the macOS
# sources compiled for the Mac's targets, the macOS build configured with a
# Darwin toolchain and checked, and the Debian package: built, then
# installed, run and removed where CI is set or with --install-package,
# elsewhere unpacked and run from there, so that running the tests never
# installs or removes a system package behind a contributor's back.
#   scripts/test.sh [--install-package]
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j "$jobs"

cmake -S . -B build/sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DPELKO_SANITIZE=ON -DPELKO_LINUX_APP=OFF >/dev/null
cmake --build build/sanitize -j "$jobs" --target pelko_unit_tests

echo "== unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build/sanitize --output-on-failure -j "$jobs" -L unit

echo "== the Mac's C++ library: the core, the helper and the unit tests with clang 16 and libc++"
cmake -S . -B build/libcxx -G Ninja -DCMAKE_BUILD_TYPE= --toolchain cmake/toolchains/libcxx.cmake \
  -DPELKO_LINUX_APP=OFF >/dev/null
cmake --build build/libcxx -j "$jobs" --target pelko_core PelkoHelper pelko_unit_tests
ctest --test-dir build/libcxx --output-on-failure -j "$jobs" -L unit

echo "== the macOS build: configured with a Darwin toolchain, and what it generated checked"
rm -rf build/mac-check
cmake -S . -B build/mac-check -G Ninja -DCMAKE_BUILD_TYPE=Release --toolchain cmake/toolchains/darwin.cmake >/dev/null
tests/mac/check-mac-build.py build/mac-check

echo "== fuzz targets, each over its corpus once (fuzz/run.sh fuzzes for longer)"
cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DPELKO_LINUX_APP=OFF -DPELKO_FUZZ=ON >/dev/null
cmake --build build/fuzz -j "$jobs" --target pelko_fuzz_targets
ctest --test-dir build/fuzz --output-on-failure -j "$jobs" -L fuzz

echo "== all tests"
xvfb-run -a -s "-screen 0 1920x1200x24" ctest --test-dir build/test --output-on-failure -j "$jobs"

echo "== the Debian package"
if [ "${1:-}" = --install-package ]; then
  tests/package/check-deb.sh --install
else
  tests/package/check-deb.sh
fi
