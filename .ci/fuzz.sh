#!/usr/bin/env bash
# Runs every fuzz target of a -DVELARIN_FUZZ=ON build tree for a bounded time, two
# at a time, each from its seed corpus in fuzz/corpus/. Fails on any finding: a
# crash or broken invariant, a sanitizer report, a leak, an input that runs past
# the time-out, or running out of memory. Findings are kept in BUILD/fuzz-findings/
# (replay one with: BUILD/fuzz/fuzz_<target> FILE).
#
# usage: .ci/fuzz.sh BUILD_DIR [SECONDS_PER_TARGET]
set -euo pipefail

cd "$(dirname "$0")/.."
build=${1:?usage: .ci/fuzz.sh BUILD_DIR [SECONDS_PER_TARGET]}
seconds=${2:-30}
findings="$build/fuzz-findings"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$findings"

export ASAN_OPTIONS="detect_leaks=1:quarantine_size_mb=64"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

targets=()
for source in fuzz/*.cpp; do
  targets+=("$(basename "$source" .cpp)")
done

# One target: fuzz into a scratch corpus (the seeds stay as they are).
fuzz_one() {
  local target=$1
  mkdir -p "$work/$target"
  "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/$target-" \
    "$work/$target" "fuzz/corpus/$target" >"$work/$target.log" 2>&1
}

failed=()
start=$SECONDS
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pair=("${targets[@]:i:2}")
  pids=()
  for target in "${pair[@]}"; do
    fuzz_one "$target" &
    pids+=($!)
  done
  for j in "${!pair[@]}"; do
    target=${pair[$j]}
    if wait "${pids[$j]}"; then status=ok; else status=FAILED; failed+=("$target"); fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$target.log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$work/$target.log")
    printf '%-20s %-6s %10s runs %7s exec/s\n' "$target" "$status" "${runs:-?}" "${rate:-?}"
  done
done
echo "fuzzing took $((SECONDS - start)) s"

for target in "${failed[@]}"; do
  echo "== fuzz_$target: finding (kept in $findings)"
  grep -v '^#' "$work/$target.log" | tail -n 60
done
[ ${#failed[@]} -eq 0 ]
