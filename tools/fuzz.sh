#!/usr/bin/env bash
# Runs the fuzz targets under libFuzzer with AddressSanitizer and
# UndefinedBehaviorSanitizer, each for the given number of seconds (default
# 600), one job at a time. Builds with clang into build-fuzz/. New inputs
# collect in build-fuzz/corpus/<target>; a finding is written there as
# crash-* and the run stops: make it a named regression test and copy the
# input into fuzz/corpus/<target>/.
#   tools/fuzz.sh [SECONDS] [TARGET...]   (targets: the names in fuzz/CMakeLists.txt)
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-600}"
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(reply_path sensor_scanner field_entry parameter_file hive_file wandering)

command -v clang++ >/dev/null || { echo "tools/fuzz.sh needs clang++ (Debian: clang libclang-rt-dev)" >&2; exit 1; }
CXX=clang++ cmake -S "$here" -B "$here/build-fuzz" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVOR3_FUZZ=ON -DVOR3_WITH_QT=OFF >/dev/null
cmake --build "$here/build-fuzz" -j2 $(printf -- '--target fuzz-%s ' "${targets[@]}")

for t in "${targets[@]}"; do
  work="$here/build-fuzz/corpus/$t"
  mkdir -p "$work"
  echo "== $t for ${seconds}s"
  (cd "$here/build-fuzz" && "./fuzz/fuzz-$t" -max_total_time="$seconds" -jobs=1 -workers=1 \
      -artifact_prefix="$work/" -print_final_stats=1 "$work" "$here/fuzz/corpus/$t")
done
