#!/usr/bin/env bash
# The layers point one way: each folder includes only the folders below it,
# as the table says (tests may include anything). src/model/ and src/form/
# include besides only the C++ standard library (whose headers have no dot
# and no capital, so Qt's, POSIX's and GoogleTest's are refused too). Prints
# each include that breaks the rule and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."

core="model form link ops reply store ui"
# folder          may include (besides itself)
layers=(
  "src/model      "
  "src/form       model"
  "src/link       form model"
  "src/ops        link form model"
  "src/reply      ops link form model"
  "src/store      model"
  "src/ui         $core"
  "src/app        $core sim"
  "src/qt         $core app sim"
  "src/win32      $core app sim"
  "sim            link form model"
  "tools          $core app sim qt win32"
)

status=0
for row in "${layers[@]}"; do
  read -r dir allowed <<<"$row"
  name=${dir#src/}
  alternatives=$(echo "$name $allowed" | tr ' ' '|')
  bad=$(grep -HnE '^\s*#\s*include\s*"' "$dir"/* |
    grep -vE "#\s*include\s*\"($alternatives)/[a-z0-9_]+\.h\"" || true)
  if [ -n "$bad" ]; then
    echo "$dir/ may include only ${allowed:-nothing} besides itself:" >&2
    echo "$bad" >&2
    status=1
  fi
done

bad=$(grep -HnE '^\s*#\s*include\s*<' src/model/* src/form/* | grep -vE '#\s*include\s*<[a-z_]+>' || true)
if [ -n "$bad" ]; then
  echo "src/model/ and src/form/ may include only the standard library besides the core:" >&2
  echo "$bad" >&2
  status=1
fi
exit $status
