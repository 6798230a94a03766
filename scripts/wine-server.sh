#!/usr/bin/env bash
# Sets up Wine's prefix (WINEPREFIX, or ~/.wine) and keeps a server running in it, so that each
# Windows test starts in milliseconds instead of seconds. Wine's helper processes are started
# here, holding no pipe of the caller's: CMake and CTest read a test's output to its end, and
# would wait for them. Stop the server with: /usr/lib/wine/wineserver64 -k
set -euo pipefail
export WINEDEBUG=-all
wine=/usr/lib/wine/wine64
server=/usr/lib/wine/wineserver64

"$wine" wineboot -i </dev/null >/dev/null 2>&1
"$server" -k 2>/dev/null || true
"$server" -w
"$server" -p
"$wine" wineboot </dev/null >/dev/null 2>&1
