#!/usr/bin/env bash
# The test command: installs what is missing, builds, runs every test through CTest.
# Extra arguments go to ctest (for example: -L desktop, -R Zip).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh"
"$top/scripts/build.sh"
cd "${ZORV_BUILD_DIR:-$top/build}"
ctest --output-on-failure -j2 "$@"
