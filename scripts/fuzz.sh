#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs one of them.
#   scripts/fuzz.sh <name>_fuzzer [seconds]     e.g. scripts/fuzz.sh ini_fuzzer 600
# A seed corpus in fuzz/corpus/<name>/ is used when present; findings land in fuzz-build/findings/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
target=${1:?usage: scripts/fuzz.sh <target> [seconds]}
seconds=${2:-60}
"$top/scripts/deps.sh"
build=$top/fuzz-build
CC=clang CXX=clang++ cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DZORV_FUZZ=ON -DBUILD_TESTING=OFF \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link,address,undefined \
  -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link,address,undefined >/dev/null
# The build runs the skin generator under the sanitizers; fontconfig keeps its caches for the process life.
ASAN_OPTIONS=detect_leaks=0 cmake --build "$build" --target "$target"
work=$build/corpus/${target%_fuzzer}
mkdir -p "$work" "$build/findings"
seeds=()
[[ -d "$top/fuzz/corpus/${target%_fuzzer}" ]] && seeds+=("$top/fuzz/corpus/${target%_fuzzer}")
cd "$build/findings"
"$build/fuzz/$target" -max_total_time="$seconds" "$work" "${seeds[@]}"
