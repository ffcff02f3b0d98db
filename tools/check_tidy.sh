#!/usr/bin/env bash
# clang-tidy with .clang-tidy's checks over every translation unit of src/,
# sim/ and tools/ in build/compile_commands.json (so build/ must be
# configured and built: the Qt parts need their generated headers). Not
# tests/ and fuzz/, and not src/win32/, which only mingw compiles. Runs two
# at a time and fails on any warning.
#   tools/check_tidy.sh [BUILD_DIR]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build}"
"$here/tools/need.sh" clang-tidy
if [ ! -f "$build/compile_commands.json" ]; then
  echo "no $build/compile_commands.json: configure and build first (tools/setup.sh)" >&2
  exit 1
fi
files="^$here/(src/(app|form|link|model|ops|qt|reply|store|ui)|sim|tools)/[a-z0-9_]+\.cpp\$"
runner=$(command -v run-clang-tidy-14 || command -v run-clang-tidy || true)
if [ -n "$runner" ]; then
  "$runner" -p "$build" -j2 -quiet "$files"
else
  # Without the runner: one clang-tidy per file, two at a time. A file built
  # into several targets is checked once.
  python3 -c 'import json,sys; print("\n".join(sorted({e["file"] for e in json.load(open(sys.argv[1]))})))' \
    "$build/compile_commands.json" | grep -E "$files" | xargs -P2 -n1 clang-tidy -p "$build" --quiet
fi
