#!/usr/bin/env bash
# Installs what the build needs from Debian's packages, and the packages
# named, where missing (with sudo when not root); quiet when all are there.
#   tools/need.sh [PACKAGE...]
set -euo pipefail
# Qt Charts' CMake files look for Qt OpenGL's, which its package does not pull in.
# qt6-translations-l10n the German texts of Qt's own dialogs (file dialogs).
packages=(cmake g++ make pkg-config qt6-base-dev qt6-serialport-dev qt6-charts-dev libqt6opengl6-dev qt6-qpa-plugins
          libgtest-dev qt6-translations-l10n "$@")
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
