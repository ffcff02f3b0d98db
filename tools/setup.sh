#!/usr/bin/env bash
# Installs what the build needs from Debian's packages (when something is
# missing) and builds into build/: the targets given, or everything. Used by
# run.sh and test.sh.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$here/tools/need.sh"

# A compiler cache, where the machine has one, makes rebuilds after a pull quick.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$here" -B "$here/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" >/dev/null
targets=()
for t in "$@"; do targets+=(--target "$t"); done
cmake --build "$here/build" -j2 "${targets[@]}"
