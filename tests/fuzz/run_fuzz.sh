#!/usr/bin/env bash
# Builds the geometry-reader fuzz target with clang and the address and
# undefined-behaviour sanitizers in its own build directory (build-fuzz/; the
# normal build is not touched) and runs it for a bounded time, seeded with the
# examples and the kept inputs of tests/data/fuzz/ and tests/data/degenerate/.
#
# Usage: tests/fuzz/run_fuzz.sh [SECONDS]   (default 60)
# Exits non-zero on any crash, sanitizer report, leak or hang (an input that
# runs longer than the per-input timeout); the input that did it is written
# to build-fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
seconds=${1:-60}
# Seconds per input: the largest system (1199 equations) takes about 2 s in
# this build, 8 s with the coefficient listings of IPRINT 6 and 7.
timeout=${SORVANE_FUZZ_TIMEOUT:-30}
build=$root/build-fuzz

cmake -S tests/fuzz -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE= >/dev/null
cmake --build "$build" -j"${SORVANE_FUZZ_BUILD_JOBS:-$(nproc)}"

mkdir -p "$build/corpus" "$build/artifacts"
rm -rf "$build/scratch"
export SORVANE_FUZZ_SCRATCH=$build/scratch
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
seeds=()
for dir in examples tests/data/fuzz tests/data/degenerate; do
  if [ -d "$root/$dir" ]; then seeds+=("$root/$dir"); fi
done
# libFuzzer reports every new input: its log stays in the build directory,
# and only its end (the report and the stack) is shown when the run fails.
status=0
"$build/geometry_reader_fuzz" -max_total_time="$seconds" -timeout="$timeout" \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/artifacts/" \
  -dict="$root/tests/fuzz/geometry.dict" \
  "$build/corpus" "${seeds[@]}" >"$build/fuzz.log" 2>&1 || status=$?
rm -rf "$build/scratch"
if [ "$status" != 0 ]; then
  tail -n 200 "$build/fuzz.log" >&2
  echo "fuzzing the geometry reader failed (status $status); the input is in $build/artifacts/:" >&2
  ls -l "$build/artifacts/" >&2 || true
  echo "fuzzing: 0 passed, 1 failed"
  exit "$status"
fi
grep -E '^(Done|stat::)' "$build/fuzz.log" || true
echo "fuzzing: 1 passed, 0 failed"
