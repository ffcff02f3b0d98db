#!/usr/bin/env bash
# The bottom layers know nothing above them: src/model/ and src/form/ include
# only each other and the C++ standard library (whose headers have no dot and
# no capital, so Qt's, POSIX's and GoogleTest's are refused too). Prints each
# include that breaks the rule and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
bad=$(grep -HnE '^\s*#\s*include' src/model/* src/form/* |
  grep -vE '#\s*include\s*("(model|form)/[a-z_]+\.h"|<[a-z_]+>)' || true)
if [ -n "$bad" ]; then
  echo "src/model/ and src/form/ may include only model/, form/ and the standard library:" >&2
  echo "$bad" >&2
  exit 1
fi
