#!/usr/bin/env bash
# Configures and builds the whole tree into build/ (or $ZORV_BUILD_DIR).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${ZORV_BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${ZORV_BUILD_TYPE:-RelWithDebInfo} "$@" >/dev/null
cmake --build "$build"
