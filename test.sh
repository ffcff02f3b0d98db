#!/usr/bin/env bash
# Builds (installing what is missing, for the build and for the tests) and
# runs every test.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/tools/test_needs.sh"
"$here/tools/setup.sh"
cd "$here/build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2 --timeout 300
