#!/usr/bin/env bash
# Builds (installing what is missing) and starts the configuration window.
# Without a serial port, choose "Simulierter Sensor (sim)" in the port list.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/tools/setup.sh" vor3-config vor3-cli vor3-sensor-sim
exec "$here/build/vor3-config" "$@"
