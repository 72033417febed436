#!/bin/sh
# Builds and runs the updater benchmark once; prints a markdown table for
# docs/benchmarks.md. Usage: bench/update/run.sh [build folder]
set -e
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build-bench}
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target update_bench -j 2 >/dev/null
work=$(mktemp -d)
"$build/bench/update/update_bench" "$work/update-bench"
rmdir "$work"
