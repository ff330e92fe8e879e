#!/usr/bin/env bash
# Runs every benchmark program of a Release build (build/ unless given) with
# repeated runs and prints the median of each figure, as the README quotes
# them. The window benchmarks run under a virtual X display.
#   tools/run_benches.sh [BUILD_DIR] [REPETITIONS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
reps=${2:-9}
echo "CPU: $(lscpu | sed -n 's/^Model name: *//p' | head -1), $(nproc) cores"
for b in "$build"/bench/*_bench; do
  name=$(basename "$b")
  echo "== $name =="
  run=("$b")
  if [[ $name == window_* ]]; then run=(xvfb-run -a -s "-screen 0 1280x1024x24" "$b"); fi
  "${run[@]}" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
    --benchmark_display_aggregates_only=true 2>&1 | grep -E '_median|EQU|^N ='
done
