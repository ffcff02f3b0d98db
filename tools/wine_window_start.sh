#!/usr/bin/env bash
# How long vor3-config.exe takes under wine until its window is on the
# display: starts it three times (the wine server kept running, as on a
# desktop) and prints the time from the start to the window being mapped,
# (viewable, as xwininfo sees it). Run under a display (xvfb-run -a tools/wine_window_start.sh).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEDEBUG=-all WINEPREFIX="${WINEPREFIX:-$HOME/.wine-vor3}" PATH="$PATH:/usr/lib/wine"
cd "$here/build-win"
wineserver --persistent=30 </dev/null >/dev/null 2>&1 || true
wine64 cmd /c exit >/dev/null 2>&1 || true
for run in 1 2 3; do
  start=$(date +%s%N)
  wine64 vor3-config.exe >/dev/null 2>&1 &
  pid=$!
  shown=""
  for _ in $(seq 1 500); do
    if xwininfo -name 'ROZ3 RS485 Modbus CO2 V1.0' 2>/dev/null | grep -q 'Map State: IsViewable'; then
      shown=$(( ($(date +%s%N) - start) / 1000000 ))
      break
    fi
    sleep 0.01
  done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  echo "vor3-config.exe start $run: window shown after ${shown:-no window in 5000} ms"
  # The next start is timed only once this window is gone.
  for _ in $(seq 1 200); do
    xwininfo -name 'ROZ3 RS485 Modbus CO2 V1.0' >/dev/null 2>&1 || break
    sleep 0.01
  done
done
