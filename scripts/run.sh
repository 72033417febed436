#!/usr/bin/env bash
# The run command: installs what is missing, builds, starts the local platform
# server (unless one already answers on its port) and then the client.
# Extra arguments go to the client (for example: -u to uninstall).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${ZORV_BUILD_DIR:-$top/build}
"$top/scripts/deps.sh"
"$top/scripts/build.sh"

port=$(sed -n 's/^ZORV_SERVER_PORT:STRING=//p' "$build/CMakeCache.txt")
server=$build/server/zorv-platform-server
server_pid=
if [[ -x "$server" ]] && ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then
  "$server" --port "$port" 2>"$build/platform-server.log" &
  server_pid=$!
  trap '[[ -n "$server_pid" ]] && kill "$server_pid" 2>/dev/null || true' EXIT
  for _ in $(seq 50); do (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break; sleep 0.1; done
  echo "run: local platform server on 127.0.0.1:$port (log: $build/platform-server.log)"
fi
"$build/Zedoro_Brix" "$@"
