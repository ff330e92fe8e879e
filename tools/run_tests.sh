#!/usr/bin/env bash
# Builds the project twice (optimised in build/, AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan/) and runs the whole test suite in
# each, under a virtual X display for the window tests.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSORVANE_SANITIZE=ON
cmake --build build-asan -j"$jobs"

export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
for dir in build build-asan; do
  echo "== tests in $dir =="
  xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$dir" --output-on-failure -j"$jobs" || status=1
done
exit $status
