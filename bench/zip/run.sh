#!/usr/bin/env bash
# Times the client's zip layer beside Info-ZIP unzip and bsdtar on one archive
# of 1,000 small files and one 200 MB file, all deflated. Reports; never fails
# a build. Usage: bench/zip/run.sh [build-folder] [--write-docs]
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$top/build}
write_docs=${2:-}
bench=$build/bench/zip/zip_bench
if ! cmake --build "$build" --target zip_bench -j 2 >/dev/null 2>&1; then
  [[ -x "$bench" ]] || { echo "zip_bench does not build" >&2; exit 1; }
  echo "zip_bench does not build now; using the one built before" >&2
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/src/small"
for i in $(seq -w 1 1000); do
  printf 'entry %s\r\n%s\r\n' "$i" "$(head -c $((200 + 10#$i % 300)) /dev/urandom | base64 -w 76)" >"$work/src/small/f$i.txt"
done
# Base64 of random bytes: compresses to about three quarters, like real data.
head -c $((150 * 1024 * 1024)) /dev/urandom | base64 -w 76 >"$work/src/large.bin"
truncate -s 200M "$work/src/large.bin"
(cd "$work/src" && zip -q -r -6 "$work/bench.zip" small large.bin)
archive_mb=$(du -m "$work/bench.zip" | cut -f1)

runs=3
best_time() {  # best wall time in seconds of $runs runs of "$@", each into a fresh folder
  local best=""
  for _ in $(seq $runs); do
    rm -rf "$work/out" && mkdir -p "$work/out" && sync
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null
    end=$(date +%s.%N)
    best=$(echo "$start $end $best" | awk '{t=$2-$1; if ($3=="" || t<$3) print t; else print $3}')
  done
  echo "$best"
}

load_before=$(cut -d' ' -f1 /proc/loadavg)
ours=$(best_time "$bench" "$work/bench.zip" "$work/out")
cmp "$work/src/large.bin" "$work/out/large.bin"
unzip_t=$(best_time unzip -q -o "$work/bench.zip" -d "$work/out")
bsdtar_t=$(best_time bsdtar -xf "$work/bench.zip" -C "$work/out")

table=$(awk -v o="$ours" -v u="$unzip_t" -v b="$bsdtar_t" -v mb="$archive_mb" -v runs="$runs" 'BEGIN {
  printf "Archive: 1,000 small files (270-680 bytes of base64 text each) and one 200 MB file, deflated with zip -6 (%d MB). Best of %d runs, fresh output folder each run.\n\n", mb, runs
  printf "| Extractor | Time (s) | Time / ours |\n|---|---|---|\n"
  printf "| client zip layer (zip_bench) | %.2f | 1.00 |\n", o
  printf "| unzip (Info-ZIP) | %.2f | %.2f |\n", u, u / o
  printf "| bsdtar (libarchive) | %.2f | %.2f |\n", b, b / o
}')
echo "$table"

if [[ "$write_docs" == "--write-docs" ]]; then
  section=$(printf '## Zip extraction\n\nMeasured with bench/zip/run.sh on %s (%s cores shared with other work, load average %s when the runs began). Ratios above 1 mean the peer took longer.\n\n%s\n' "$(date -u +%Y-%m-%d)" "$(nproc)" "$load_before" "$table")
  "$top/bench/replace_section.py" "$top/docs/benchmarks.md" "$section"
fi
