#!/usr/bin/env bash
# Builds the Debian package in build-deb/ with Debian's usual hardening
# flags and checks it with lintian: any error or warning fails. Prints the
# package's path last.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$here/build-deb"
"$here/tools/need.sh" dpkg-dev lintian

# All of Debian's hardening: fortified functions, stack protection,
# read-only relocations bound at start (bind-now), position-independent
# programs. CMake takes no CPPFLAGS, so they go with the compiler's flags.
export DEB_BUILD_MAINT_OPTIONS="hardening=+all"
cxxflags="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
ldflags="$(dpkg-buildflags --get LDFLAGS)"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# cpack installs without building the tests first: the targets below are all
# the package holds.
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
cmake --build "$build" -j2 --target vor3-config vor3-cli vor3-sensor-sim vor3-assets vor3-package-docs
rm -f "$build"/vor3-config_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/vor3-config_*.deb)"
lintian --fail-on error,warning "$deb"
echo "$deb"
