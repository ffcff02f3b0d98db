#!/usr/bin/env bash
# Installs what the tests need beyond the build, so that ./test.sh runs on a
# fresh machine the suite CI runs, with nothing skipped: a German locale for
# the tests of numbers under it, and Debian's python3-pymodbus, a Modbus
# implementation that is not ours, which serves sensors over TCP to the tests
# of the command line. Quiet when both are there.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
  "$here/tools/need.sh" locales
  $sudo sed -i 's/^# *\(de_DE\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^de_DE\.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen
fi

# Its server module imports pyserial, and pyserial-asyncio, which the package only recommends.
"$here/tools/need.sh" python3-pymodbus python3-serial python3-serial-asyncio
