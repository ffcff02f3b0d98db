#!/usr/bin/env bash
# The Windows programs: installs mingw-w64, wine and NSIS where missing,
# cross-builds vor3-cli.exe, vor3-sensor-sim.exe and the suite into
# build-win/, with the installer vor3-config-<version>-setup.exe (the
# register descriptions come from the Linux build), and tests them under
# wine: the suite (each test through wine, by ctest), then vor3-cli.exe end
# to end beside the Linux build's (tests/windows/cli_under_wine.py: the same
# output and exit statuses over a COM port, tcp:// and modbus-tcp://,
# against our simulated sensor and Debian's python3-pymodbus), then the
# installer: install, upgrade, uninstall (tests/windows/installer_under_wine.py),
# and last the window's binding test on a virtual display (pictures of each
# window in build-win/screenshots/, and how soon the window shows), and the
# window's timings (vor3-bench-window.exe).
# The wine prefix is $WINEPREFIX, else ~/.wine-vor3.
#   tools/windows.sh            build and test
#   tools/windows.sh --build    build only
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/tools/need.sh" g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 wine python3-pymodbus python3-serial \
  python3-serial-asyncio nsis
export WINEDEBUG=-all WINEPREFIX="${WINEPREFIX:-$HOME/.wine-vor3}" PATH="$PATH:/usr/lib/wine"

# The installer ships the register descriptions and the window has the
# icon, which the Linux build writes.
"$here/tools/setup.sh" vor3-assets
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$here/build-win" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
cmake --build "$here/build-win" -j2
cmake --build "$here/build-win" -j2 --target setup
[ "${1:-}" = "--build" ] && exit 0

# What ships is stripped: it must stay small enough to mail.
x86_64-w64-mingw32-strip -o "$here/build-win/vor3-cli-stripped.exe" "$here/build-win/vor3-cli.exe"
size=$(stat -c %s "$here/build-win/vor3-cli-stripped.exe")
echo "vor3-cli.exe stripped: $size bytes"
[ "$size" -lt $((5 * 1024 * 1024)) ] || { echo "vor3-cli.exe is 5 MB or more stripped" >&2; exit 1; }

# One wine server for every test, kept until the end: each start is then quick.
# (A server of the prefix still running takes no new persistence: it goes first.)
# One that another user of the prefix starts meanwhile is stopped again.
wineserver --kill >/dev/null 2>&1 || true
wineserver --persistent=60 </dev/null >/dev/null 2>&1 ||
  { wineserver --kill >/dev/null 2>&1 || true; sleep 1; wineserver --persistent=60 </dev/null >/dev/null 2>&1; }
wineboot --init >/dev/null 2>&1 || true
trap 'wineserver --kill || true' EXIT

echo "== the suite under wine"
ctest --test-dir "$here/build-win" --output-on-failure -j2 --timeout 300

echo "== vor3-cli.exe beside the Linux vor3-cli"
"$here/tools/setup.sh" vor3-cli vor3-sensor-sim
/usr/bin/python3 "$here/tests/windows/cli_under_wine.py" "$here/build" "$here/build-win"

echo "== the installer"
/usr/bin/python3 "$here/tests/windows/installer_under_wine.py" "$here/build-win"

echo "== the window under wine, on a virtual display"
"$here/tools/need.sh" xvfb xauth imagemagick x11-utils
# Wine draws the title bars itself where no window manager does: the
# pictures show them.
wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
# A wine server started without a display would give the window none.
wineserver --kill >/dev/null 2>&1 || true
(cd "$here/build-win" && xvfb-run -a -s "-screen 0 1920x1080x24" wine64 ./vor3_win32_view_tests.exe)
for picture in "$here"/build-win/screenshots/*.bmp; do convert "$picture" "${picture%.bmp}.png" && rm "$picture"; done
echo "pictures of each window in build-win/screenshots/"
xvfb-run -a "$here/tools/wine_window_start.sh"
# The window's timings on the real clock: whole reads against their schedule,
# the message loop's longest stall, the time to the window shown. Figures
# only: a slow one does not fail the script, a crash does.
wineserver --kill >/dev/null 2>&1 || true
(cd "$here/build-win" && xvfb-run -a -s "-screen 0 1920x1080x24" sh -c \
  'wineserver --persistent=30 </dev/null >/dev/null 2>&1; wine64 cmd /c exit >/dev/null 2>&1; wine64 ./vor3-bench-window.exe')
