#!/usr/bin/env bash
# Reads the whole device from vor3-sensor-sim with vor3-cli at each baud
# rate and compares the wall time with the time the program's own timers
# allow (block-timer ticks, reply polls and the sensor's replies at line
# speed, from vor3-bench-schedule). Then measures the window idle with the
# port open. Then the same for writes (read, write, read-back). Run
# ./test.sh or tools/setup.sh first to build.
#   tools/bench_read.sh [runs per setting, default 3]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$here/build"
runs="${1:-3}"
for tool in vor3-cli vor3-sensor-sim vor3-bench-schedule vor3-bench-idle; do
  [ -x "$build/$tool" ] || { echo "bench_read: $build/$tool is missing; run ./test.sh first" >&2; exit 1; }
done

printf '%-6s %-6s %4s %9s %12s %7s %8s\n' mode baud run wall_ms schedule_ms ratio cpu_ms
for mode in rtu ascii; do
  for baud in 9600 19200 38400 57600; do
    out="$(mktemp)"
    "$build/vor3-sensor-sim" --mode "$mode" --baud "$baud" > "$out" &
    sim=$!
    for _ in $(seq 50); do [ -s "$out" ] && break; sleep 0.05; done
    device="$(head -n 1 "$out")"
    schedule="$("$build/vor3-bench-schedule" --mode "$mode" --baud "$baud")"
    extra=()
    [ "$mode" = ascii ] && extra=(--data-bits 8)
    for run in $(seq "$runs"); do
      times="$(mktemp)"
      start=$(date +%s%N)
      # bash's time gives the child's user and system CPU seconds
      { TIMEFORMAT='%U %S'; time "$build/vor3-cli" read --port "$device" --baud "$baud" --parity N \
          --mode "$mode" "${extra[@]}" > /dev/null; } 2> "$times"
      end=$(date +%s%N)
      wall=$(( (end - start) / 1000000 ))
      read -r user sys < <(tail -n 1 "$times")
      cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%d", (u + s) * 1000 }')
      ratio=$(awk -v w="$wall" -v s="$schedule" 'BEGIN { printf "%.3f", w / s }')
      printf '%-6s %-6s %4s %9s %12s %7s %8s\n' "$mode" "$baud" "$run" "$wall" "$schedule" "$ratio" "$cpu"
      rm -f "$times"
    done
    kill "$sim"; wait "$sim" 2>/dev/null || true
    rm -f "$out"
  done
done

# Writes: one configuration value, then one value in each part, each with the
# read before it and the read-back after it, as vor3-cli write does. Each
# run writes a value the sensor does not hold yet, so every run writes.
echo
printf '%-6s %-6s %-7s %4s %9s %12s %7s\n' mode baud change run wall_ms schedule_ms ratio
for mode in rtu ascii; do
  for baud in 9600 57600; do
    out="$(mktemp)"
    "$build/vor3-sensor-sim" --mode "$mode" --baud "$baud" > "$out" &
    sim=$!
    for _ in $(seq 50); do [ -s "$out" ] && break; sleep 0.05; done
    device="$(head -n 1 "$out")"
    extra=()
    [ "$mode" = ascii ] && extra=(--data-bits 8)
    for change in config both; do
      values=('txt_data_cfg(4)=901')
      [ "$change" = both ] && values+=('txt_data_in(0)=20.5')
      schedule="$("$build/vor3-bench-schedule" --mode "$mode" --baud "$baud" "${values[@]}")"
      for run in $(seq "$runs"); do
        # Each write changes the value the one before left, whatever the runs.
        [ "$change" = config ] && values=("txt_data_cfg(4)=$((900 + run))") || values=("txt_data_cfg(4)=$((950 + run))")
        [ "$change" = both ] && values+=("txt_data_in(0)=2$run.5")
        start=$(date +%s%N)
        "$build/vor3-cli" write --port "$device" --baud "$baud" --parity N --mode "$mode" "${extra[@]}" \
          "${values[@]}" > /dev/null
        end=$(date +%s%N)
        wall=$(( (end - start) / 1000000 ))
        ratio=$(awk -v w="$wall" -v s="$schedule" 'BEGIN { printf "%.3f", w / s }')
        printf '%-6s %-6s %-7s %4s %9s %12s %7s\n' "$mode" "$baud" "$change" "$run" "$wall" "$schedule" "$ratio"
      done
    done
    kill "$sim"; wait "$sim" 2>/dev/null || true
    rm -f "$out"
  done
done
echo
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" "$build/vor3-bench-idle" 10 2>/dev/null
