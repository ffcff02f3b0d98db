#!/usr/bin/env bash
# Installs what the build needs from Debian's packages (when something is
# missing) and builds into build/: the targets given, or everything. Used by
# run.sh and test.sh.
set -euo pipefail

# Qt Charts' CMake files look for Qt OpenGL's, which its package does not pull in.
# libclang-rt-dev brings the header the fuzz targets read their input with;
# qt6-translations-l10n the German texts of Qt's own dialogs (file dialogs).
packages=(cmake g++ make pkg-config qt6-base-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev qt6-qpa-plugins
          libgtest-dev libclang-rt-dev qt6-translations-l10n)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing build dependencies: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
# A compiler cache, where the machine has one, makes rebuilds after a pull quick.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$here/build" -j2 "${targets[@]}"
