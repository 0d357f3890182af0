#!/usr/bin/env bash
# Soaks the voice controller's model test: fuzz/voice-soak.sh [steps] [seeds] [first-seed]
# Runs `seeds` seeds (default 10) counting up from `first-seed` (default 1),
# `steps` random events each (default 10000), the seeds spread over the
# cores, in an optimised build of the unit tests of its own; SANITIZE=1
# builds and runs them under ASan and UBSan instead. Prints the total steps,
# the time taken and every failing seed with the command that replays it.
# The invariants look at every recording so far after each step, so a step
# costs more the longer its seed has run: many seeds of 10,000 to 100,000
# steps cover more ground per minute than one very long seed.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() { echo "usage: [SANITIZE=1] fuzz/voice-soak.sh [steps] [seeds] [first-seed]" >&2; exit 2; }
steps=${1:-10000}
seeds=${2:-10}
first=${3:-1}
for n in "$steps" "$seeds" "$first"; do [[ $n =~ ^[0-9]+$ ]] || usage; done
[ "$steps" -gt 0 ] && [ "$seeds" -gt 0 ] || usage
# The model's coverage checks ask for so much per 3000 steps; a short run's
# few rare events can fall under them without anything being wrong.
[ "$steps" -lt 3000 ] && echo "note: under 3000 steps a seed may fail the coverage checks by chance" >&2

if [ "${SANITIZE:-0}" = 1 ]; then
  build=build/voice-soak-sanitize
  options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DPELKO_SANITIZE=ON)
else
  build=build/voice-soak
  options=(-DCMAKE_BUILD_TYPE=Release)
fi
cmake -S . -B "$build" -G Ninja -DPELKO_LINUX_APP=OFF "${options[@]}" >/dev/null
if ! built=$(cmake --build "$build" --target pelko_unit_tests 2>&1); then
  echo "$built" >&2
  exit 1
fi

jobs=$(nproc)
[ "$jobs" -gt "$seeds" ] && jobs=$seeds
logs=$build/voice-soak-logs
rm -rf "$logs" && mkdir -p "$logs"
echo "== $seeds seeds from $first, $steps steps each, $jobs at a time"

start=$(date +%s.%N)
for ((shard = 0; shard < jobs; shard++)); do
  PELKO_VOICE_SOAK_STEPS=$steps PELKO_VOICE_SOAK_SEEDS=$seeds PELKO_VOICE_SOAK_FIRST_SEED=$first \
    GTEST_TOTAL_SHARDS=$jobs GTEST_SHARD_INDEX=$shard ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$build/tests/pelko_unit_tests" --gtest_filter='Seeds/VoiceModelRun.*' --gtest_brief=1 \
    >"$logs/shard-$shard" 2>&1 &
done
status=0
for ((shard = 0; shard < jobs; shard++)); do wait -n || status=1; done
elapsed=$(awk -v s="$start" -v e="$(date +%s.%N)" 'BEGIN { printf "%.1f", e - s }')

ran=$(sed -nE 's/^\[==========\] ([0-9]+) tests? from .* ran.*/\1/p' "$logs"/shard-* | awk '{ n += $1 } END { print n + 0 }')
failed=$(sed -nE 's/^\[  FAILED  \] Seeds\/VoiceModelRun\.InvariantsHoldAfterEveryStep\/seed([0-9]+),.*/\1/p' \
  "$logs"/shard-* | sort -nu)
# Every failure's own report: the invariant, the seed, the last events.
[ -n "$failed" ] && grep -vhE '^\[(==========|----------|  PASSED  )\]|^(Running main|Note: )|^$' "$logs"/shard-* | sed 's/^/  /'

echo "== $ran seeds of $steps steps: $((ran * steps)) steps in $elapsed s"
if [ -n "$failed" ]; then
  for seed in $failed; do echo "   seed $seed failed; replay: fuzz/voice-soak.sh $steps 1 $seed"; done
  exit 1
fi
if [ "$status" -ne 0 ] || [ "$ran" -ne "$seeds" ]; then
  echo "   the test binary stopped early; logs in $logs" >&2
  exit 1
fi
echo "   no invariant violated"
