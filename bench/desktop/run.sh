#!/usr/bin/env bash
# Desktop benchmark: how long the client takes from its start to the login
# page's first document-complete, and how much memory it holds with the game
# page open, beside a plain WebKit browser (surf) on the same pages. Runs on a
# private Xvfb against the local platform server; prints a markdown table for
# docs/benchmarks.md. It reports, it never fails a build.
# Usage: bench/desktop/run.sh [build folder] [runs]
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build-bench}
runs=${2:-3}
for tool in Xvfb xdotool surf; do
  command -v "$tool" >/dev/null || { echo "bench/desktop: $tool is not installed; nothing measured"; exit 0; }
done
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target zorv_client_exe zorv_platform_server -j 2 >/dev/null
port=$(sed -n 's/^ZORV_SERVER_PORT:STRING=//p' "$build/CMakeCache.txt")
base=http://127.0.0.1:$port
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

exec 5> >(cat >"$work/display")
Xvfb -displayfd 5 -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do [[ -s "$work/display" ]] && break; sleep 0.05; done
export DISPLAY=:$(head -1 "$work/display")

"$build/server/zorv-platform-server" --port "$port" >/dev/null 2>"$work/server.log" &
pids+=($!)
for _ in $(seq 100); do grep -q listening "$work/server.log" 2>/dev/null && break; sleep 0.05; done

now() { date +%s.%N; }
# Seconds from $1 until the server log has a line matching $2 after line $3.
wait_request() {
  local start=$1 pattern=$2 from=$3
  for _ in $(seq 6000); do
    if tail -n +"$from" "$work/server.log" | grep -q "$pattern"; then
      echo "$(now) - $start" | bc
      return
    fi
    sleep 0.01
  done
  echo nan
}
# Proportional set size (MiB) of a process and all its descendants.
tree_pss() {
  local all=($1) i=0
  while ((i < ${#all[@]})); do
    for c in $(cat /proc/"${all[$i]}"/task/*/children 2>/dev/null); do all+=("$c"); done
    i=$((i + 1))
  done
  local kb=0
  for p in "${all[@]}"; do
    v=$(awk '/^Pss:/ {print $2}' /proc/"$p"/smaps_rollup 2>/dev/null || echo 0)
    kb=$((kb + ${v:-0}))
  done
  echo "scale=1; $kb / 1024" | bc
}
sandbox() {
  local home=$work/home-$1
  rm -rf "$home"
  mkdir -p "$home"
  echo "HOME=$home XDG_DATA_HOME=$home/.local/share XDG_CACHE_HOME=$home/.cache XDG_CONFIG_HOME=$home/.config"
}

declare -a c_load c_doc c_pss s_load s_pss
for run in $(seq "$runs"); do
  # The client: a fresh home each run (first start, empty cache).
  from=$(($(wc -l <"$work/server.log") + 1))
  start=$(now)
  env $(sandbox "c$run") "$build/Zedoro_Brix" >/dev/null 2>&1 &
  client=$!
  c_load+=("$(wait_request "$start" 'static/login.js' "$from")")
  # The update check runs on the first document-complete of the login page.
  c_doc+=("$(wait_request "$start" 'getClientVersion' "$from")")
  sleep 1
  # Log in on the page: the login window is centred, its form popup at (365, 73).
  xdotool mousemove 1266 426 click 1
  xdotool type alice
  xdotool key Return
  wait_request "$start" 'static/game.js' "$from" >/dev/null
  sleep 3
  c_pss+=("$(tree_pss "$client")")
  kill "$client"; wait "$client" 2>/dev/null || true

  # surf on the same pages: the login page's load, then the game page.
  from=$(($(wc -l <"$work/server.log") + 1))
  start=$(now)
  env $(sandbox "s$run") surf "$base/games/fwqorn/dlq/" >/dev/null 2>&1 &
  browser=$!
  s_load+=("$(wait_request "$start" 'static/login.js' "$from")")
  kill "$browser"; wait "$browser" 2>/dev/null || true
  from=$(($(wc -l <"$work/server.log") + 1))
  start=$(now)
  env $(sandbox "g$run") surf "$base/games/fwqorn/play_gamecode/?account=alice&server=1" >/dev/null 2>&1 &
  browser=$!
  wait_request "$start" 'static/game.js' "$from" >/dev/null
  sleep 3
  s_pss+=("$(tree_pss "$browser")")
  kill "$browser"; wait "$browser" 2>/dev/null || true
done

median() { printf '%s\n' "$@" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
echo "| measured | client | surf |"
echo "|---|---|---|"
printf '| start to the login page'"'"'s last request (login.js), s | %.2f | %.2f |\n' "$(median "${c_load[@]}")" "$(median "${s_load[@]}")"
printf '| start to the first document-complete (update check request), s | %.2f | - |\n' "$(median "${c_doc[@]}")"
printf '| memory with the game page open (PSS of the process tree), MiB | %.0f | %.0f |\n' "$(median "${c_pss[@]}")" "$(median "${s_pss[@]}")"
echo
echo "Median of $runs runs; samples: client load ${c_load[*]}; client document-complete ${c_doc[*]}; surf load ${s_load[*]}; client PSS ${c_pss[*]}; surf PSS ${s_pss[*]}."
