#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded time.
# Usage: tools/fuzz.sh [seconds-per-target] [target-name-pattern]
# Needs: apt-get install -y clang libclang-rt-14-dev
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
pattern=${2:-}
build=build-fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DROVANTA_FUZZ=ON -DROVANTA_TESTS=OFF >/dev/null
targets=$(for f in fuzz/fuzz_*.cpp; do basename "$f" .cpp; done)
# shellcheck disable=SC2086
cmake --build "$build" --target $targets
mkdir -p "$build/findings"
for bin in "$build"/fuzz/fuzz_*; do
  [[ -x "$bin" && -f "$bin" ]] || continue
  name=$(basename "$bin")
  [[ -n "$pattern" && "$name" != *$pattern* ]] && continue
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  # Seeds: the test fixtures that this reader understands, and the regression inputs.
  seeds=("fuzz/seeds/${name#fuzz_}" "fuzz/regressions/${name#fuzz_}")
  dirs=()
  for d in "${seeds[@]}"; do [[ -d "$d" ]] && dirs+=("$d"); done
  log="$build/findings/$name.log"
  if "$bin" -max_total_time="$seconds" -rss_limit_mb=2048 -max_len=65536 -timeout=10 \
       -artifact_prefix="$build/findings/$name-" -print_final_stats=1 "$corpus" "${dirs[@]}" >"$log" 2>&1; then
    runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
    echo "$name: ${runs:-?} executions, no finding"
  else
    echo "$name: FINDING, see $log"
  fi
done
