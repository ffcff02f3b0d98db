#!/usr/bin/env bash
# Builds (installing what is missing) and starts the configuration window.
# Without a serial port, choose "Simulierter Sensor (sim)" in the port list.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
# The window needs a display; say so before minutes of building, not after.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "Run it on a desktop, or give it a virtual display: xvfb-run ./run.sh" >&2
  echo "(Debian: sudo apt install xvfb). ./test.sh needs no display." >&2
  exit 1
fi
"$here/tools/setup.sh" vor3-config vor3-cli vor3-sensor-sim
exec "$here/build/vor3-config" "$@"
