#!/usr/bin/env bash
# Fuzzes for a while: fuzz/run.sh [minutes] [target...]
# Each target (all by default) runs for the given minutes (default 10) on a
# copy of its corpus, one target per core at a time, then a summary is
# printed: executions, libFuzzer's coverage counters, crashes, and (with
# llvm-cov installed) the lines and branches of the core's functions that the
# grown corpus reaches. fuzz/corpus is left as it is: copy in what is worth
# keeping.
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=${1:-10}
[ $# -gt 0 ] && shift
if ! [[ $minutes =~ ^[0-9]+([.][0-9]+)?$ ]]; then
  echo "usage: fuzz/run.sh [minutes] [target...]" >&2
  exit 2
fi
seconds=$(awk -v m="$minutes" 'BEGIN { s = int(m * 60); print (s < 1 ? 1 : s) }')

all=(fuzz_bridge fuzz_version fuzz_download_name fuzz_property_list fuzz_js_string_literal fuzz_update_manifest
  fuzz_voice_controller)
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=("${all[@]}")
for t in "${targets[@]}"; do
  [ -d "fuzz/corpus/$t" ] || { echo "unknown target: $t (known: ${all[*]})" >&2; exit 2; }
done

build=build/fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DPELKO_LINUX_APP=OFF -DPELKO_FUZZ=ON >/dev/null
cmake --build "$build" --target "${targets[@]}" >/dev/null

work=$PWD/build/fuzz-run/$(date +%Y%m%d-%H%M%S)
jobs=$(nproc)
echo "== fuzzing ${targets[*]} for $seconds s each, $jobs at a time, in $work"

fuzz_one() {
  local t=$1 dir=$work/$1
  mkdir -p "$dir/corpus" "$dir/crashes"
  cp fuzz/corpus/"$t"/* "$dir/corpus/"
  # A crash or broken property ends the run early; its input is kept in crashes/.
  "$build/fuzz/$t" -max_total_time="$seconds" -timeout=30 -print_final_stats=1 \
    -artifact_prefix="$dir/crashes/" "$dir/corpus" >"$dir/log" 2>&1 || true
}

for t in "${targets[@]}"; do
  while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n || true; done
  echo "   started $t"
  fuzz_one "$t" &
done
wait

found=0
printf '\n%-24s %12s %8s %7s %7s %8s %s\n' target executions exec/s cov ft corpus crashes
for t in "${targets[@]}"; do
  dir=$work/$t
  final_stat() { sed -n "s/^stat::$1: *//p" "$dir/log" | tail -1; }
  last=$(grep -aE '^#[0-9]+.*cov: [0-9]+ ft: [0-9]+' "$dir/log" | tail -1 || true)
  cov=$(sed -nE 's/.*cov: ([0-9]+).*/\1/p' <<<"$last")
  ft=$(sed -nE 's/.*ft: ([0-9]+).*/\1/p' <<<"$last")
  crashes=$(find "$dir/crashes" -type f ! -name 'slow-unit-*' | sort)
  count=$(grep -c . <<<"$crashes" || true)
  found=$((found + count))
  printf '%-24s %12s %8s %7s %7s %8s %s\n' "$t" "$(final_stat number_of_executed_units)" \
    "$(final_stat average_exec_per_sec)" "${cov:--}" "${ft:--}" "$(find "$dir/corpus" -type f | wc -l)" "$count"
  [ -n "$crashes" ] && sed 's/^/    reproducer: /' <<<"$crashes"
done
echo "logs and grown corpora: $work"

# Source coverage of the grown corpora, counted over the core functions each
# target reaches at all (a rule file's other functions are other rules).
if command -v llvm-cov >/dev/null && command -v llvm-profdata >/dev/null; then
  coverage=build/fuzz-coverage
  cmake -S . -B "$coverage" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DPELKO_LINUX_APP=OFF -DPELKO_FUZZ=ON -DPELKO_FUZZ_COVERAGE=ON >/dev/null
  cmake --build "$coverage" --target "${targets[@]}" >/dev/null
  printf '\n%-24s %9s %15s %17s\n' target functions "lines covered" "branches covered"
  for t in "${targets[@]}"; do
    dir=$work/$t
    LLVM_PROFILE_FILE=$dir/coverage.profraw "$coverage/fuzz/$t" -runs=0 "$dir/corpus" >/dev/null 2>&1 || true
    llvm-profdata merge -sparse "$dir/coverage.profraw" -o "$dir/coverage.profdata"
    llvm-cov report "$coverage/fuzz/$t" -instr-profile="$dir/coverage.profdata" -show-functions src/ |
      awk -v t="$t" '$1 !~ /^(File|Name|TOTAL|-)/ && NF >= 10 && $2 > 0 && $3 < $2 {
          n++; lines += $5; linesMissed += $6; branches += $8; branchesMissed += $9 }
        END { printf "%-24s %9d %9d of %-4d %9d of %-4d\n", t, n, lines - linesMissed, lines,
              branches - branchesMissed, branches }'
  done
else
  echo "(install llvm for the source coverage of the grown corpora)"
fi
[ "$found" -eq 0 ]
