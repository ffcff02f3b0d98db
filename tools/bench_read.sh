#!/usr/bin/env bash
# Reads the whole device from vor3-sensor-sim with vor3-cli at each baud
# rate and compares the wall time with the time the program's own timers
# allow (block-timer ticks, reply polls and the sensor's replies at line
# speed, from vor3-bench-schedule). Then the same for writes (read, write,
# read-back). Then a write of Min-Response-Time 3000 ms with its read-back,
# once per setting on a fresh sensor, which --quick leaves out. Then whole
# lines: 3 and 30 sensors read with --addresses against the sum of their
# reads' schedules, and 30 commissioned with one parameter file (--quick:
# 3 only), scheduled and answer-paced (--pace answer); three such lines read
# alone and then together with --line. The whole reads answer-paced on a line
# and over the network, against the exchanges' own time. Last, the window idle
# with the port open. Run ./test.sh or tools/setup.sh first to
# build. --windows times the whole reads alone, with vor3-cli.exe under wine
# (tools/windows.sh --build first) on a COM port wine maps to the
# simulated sensor's pseudo-terminal.
#   tools/bench_read.sh [--quick] [--windows] [runs per setting, default 3]
#
# Answer-paced, measured on a loaded 2-core machine (runs of 2): a whole read
# keeps within 1.13 of its exchanges' time (span/exch) at every baud rate
# and framing (RTU 9600 1.10, 57600 1.05; ASCII 1.00 to 1.01) and over the
# network (tcp:// RTU 1.13, ASCII 1.00, modbus-tcp:// 1.12); the wall time
# is 267 to 432 ms against 907 to 1114 scheduled (net/exch 0.9 to 1.7: the
# start-up measured leaves out opening the port and ending, some 60 to 100
# ms whichever the pace). vor3-bench-schedule's virtual answer-paced read:
# RTU 1.18 (9600) to 1.09 (57600) of its wire time, ASCII 1.06 to 1.03; in
# RTU most of what is over is the 3.5 characters of silence before each
# request. 30 sensors commissioned with one file at 57600: 12.4 s
# answer-paced against 48.3 s scheduled (0.26); at 9600 19.3 s against
# 61.2 s (0.32).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="$here/build"
quick=0
[ "${1:-}" = --quick ] && { quick=1; shift; }
windows=0
[ "${1:-}" = --windows ] && { windows=1; shift; }
runs="${1:-3}"
cli=("$build/vor3-cli")
if [ "$windows" = 1 ]; then
  export WINEDEBUG=-all WINEPREFIX="${WINEPREFIX:-$HOME/.wine-vor3}" PATH="$PATH:/usr/lib/wine"
  cli=(wine64 "$here/build-win/vor3-cli.exe")
  # A desktop keeps its wine server: starts are then as quick as they get.
  wineserver --kill >/dev/null 2>&1 || true
  wineserver --persistent=30 </dev/null >/dev/null 2>&1 || true
  trap 'rm -f "$WINEPREFIX/dosdevices/com8"' EXIT
fi
for tool in vor3-cli vor3-sensor-sim vor3-bench-schedule vor3-bench-idle; do
  [ -x "$build/$tool" ] || { echo "bench_read: $build/$tool is missing; run ./test.sh first" >&2; exit 1; }
done

# Starts vor3-sensor-sim for MODE and BAUD (and ADDRESSES, default 1): sets
# sim (its pid), device, and link (vor3-cli's link options for it).
start_sensor() {
  local out
  out="$(mktemp)"
  "$build/vor3-sensor-sim" --mode "$1" --baud "$2" --address "${3:-1}" > "$out" &
  sim=$!
  for _ in $(seq 50); do [ -s "$out" ] && break; sleep 0.05; done
  device="$(head -n 1 "$out")"
  rm -f "$out"
  link=(--port "$device" --baud "$2" --parity N --mode "$1")
  if [ "$windows" = 1 ]; then
    ln -sfn "$device" "$WINEPREFIX/dosdevices/com8"
    link=(--port COM8 --baud "$2" --parity N --mode "$1")
  fi
  [ "$1" = ascii ] && link+=(--data-bits 8)
  return 0
}
stop_sensor() { kill "$sim"; wait "$sim" 2>/dev/null || true; }

# Runs vor3-cli with the arguments given; sets wall (ms) and cpu (ms of user
# and system time).
timed_cli() {
  local times start end user sys
  times="$(mktemp)"
  start=$(date +%s%N)
  # bash's time gives the child's user and system CPU seconds
  { TIMEFORMAT='%U %S'; time "${cli[@]}" "$@" > /dev/null; } 2> "$times"
  end=$(date +%s%N)
  wall=$(( (end - start) / 1000000 ))
  read -r user sys < <(tail -n 1 "$times")
  cpu=$(awk -v u="$user" -v s="$sys" 'BEGIN { printf "%d", (u + s) * 1000 }')
  rm -f "$times"
}
ratio() { awk -v w="$1" -v s="$2" 'BEGIN { printf "%.3f", w / s }'; }

# What starting vor3-cli costs before its first request (Qt, settings, the
# port): a run that finds no port. The net ratio leaves it out, so it says
# how closely the transfer keeps to its timers.
startup=1000000
for _ in 1 2 3; do
  timed_cli read --port "$([ "$windows" = 1 ] && echo COM63 || echo /dev/vor3-bench-no-port)" || true
  [ "$wall" -lt "$startup" ] && startup=$wall
done
net() { ratio "$(( $1 - startup ))" "$2"; }
echo "vor3-cli start-up: $startup ms"

printf '%-6s %-6s %4s %9s %12s %7s %7s %8s\n' mode baud run wall_ms schedule_ms ratio net cpu_ms
for mode in rtu ascii; do
  for baud in 9600 19200 38400 57600; do
    start_sensor "$mode" "$baud"
    schedule="$("$build/vor3-bench-schedule" --mode "$mode" --baud "$baud")"
    for run in $(seq "$runs"); do
      timed_cli read "${link[@]}"
      printf '%-6s %-6s %4s %9s %12s %7s %7s %8s\n' "$mode" "$baud" "$run" "$wall" "$schedule" \
        "$(ratio "$wall" "$schedule")" "$(net "$wall" "$schedule")" "$cpu"
    done
    stop_sensor
  done
done
[ "$windows" = 1 ] && exit 0

# The same whole reads answer-paced (--pace answer): each request as soon as
# the answer before is in and the line has been silent for 3.5 characters.
# exchange_ms sums each request's time to its answer in --trace, span_ms runs
# from the first request to the last answer; span/exch says how closely the
# transfer keeps to the wire (at most 1.2), net/exch the same for the whole
# run less the start-up. virtual_ms and wire_ms are vor3-bench-schedule's
# answer-paced read and its exchanges, on a line whose requests take no time.
echo
printf '%-6s %-6s %4s %9s %12s %8s %9s %7s %7s %10s %8s\n' mode baud run wall_ms schedule_ms span_ms \
  exchange_ms span/exch net/exch virtual_ms wire_ms
# From --trace of a run with the arguments given: exchange and span.
trace_times() {
  "${cli[@]}" "$@" --trace 2>&1 >/dev/null |
    awk 'BEGIN { first = -1; sent = -1 }
         $2 == "ms" && $3 == "TX" { if (first < 0) first = $1; sent = $1 }
         $2 == "ms" && $3 == "RX" && sent >= 0 { sum += $1 - sent; sent = -1; last = $1 }
         END { print sum + 0, last - first }'
}
for mode in rtu ascii; do
  for baud in 9600 19200 38400 57600; do
    start_sensor "$mode" "$baud"
    schedule="$("$build/vor3-bench-schedule" --mode "$mode" --baud "$baud")"
    read -r virtual wire < <("$build/vor3-bench-schedule" --mode "$mode" --baud "$baud" --pace answer --wire)
    for run in $(seq "$runs"); do
      timed_cli read "${link[@]}" --pace answer
      read -r exchange span < <(trace_times read "${link[@]}" --pace answer)
      printf '%-6s %-6s %4s %9s %12s %8s %9s %7s %7s %10s %8s\n' "$mode" "$baud" "$run" "$wall" "$schedule" "$span" \
        "$exchange" "$(ratio "$span" "$exchange")" "$(ratio "$((wall - startup))" "$exchange")" "$virtual" "$wire"
    done
    stop_sensor
  done
done

# Writes: one configuration value, then one value in each part, each with the
# read before it and the read-back after it, as vor3-cli write does. Each
# run writes a value the sensor does not hold yet, so every run writes.
echo
printf '%-6s %-6s %-7s %4s %9s %12s %7s %7s\n' mode baud change run wall_ms schedule_ms ratio net
for mode in rtu ascii; do
  for baud in 9600 57600; do
    start_sensor "$mode" "$baud"
    for change in config both; do
      values=('txt_data_cfg(4)=901')
      [ "$change" = both ] && values+=('txt_data_in(0)=20.5')
      schedule="$("$build/vor3-bench-schedule" --mode "$mode" --baud "$baud" "${values[@]}")"
      for run in $(seq "$runs"); do
        # Each write changes the value the one before left, whatever the runs.
        [ "$change" = config ] && values=("txt_data_cfg(4)=$((900 + run))") || values=("txt_data_cfg(4)=$((950 + run))")
        [ "$change" = both ] && values+=("txt_data_in(0)=2$run.5")
        timed_cli write "${link[@]}" "${values[@]}"
        printf '%-6s %-6s %-7s %4s %9s %12s %7s %7s\n' "$mode" "$baud" "$change" "$run" "$wall" "$schedule" \
          "$(ratio "$wall" "$schedule")" "$(net "$wall" "$schedule")"
      done
    done
    stop_sensor
  done
done

# The slowest answer a sensor can be set to: after the write every answer of
# the read-back comes 3 s after its request. A fresh sensor each time, so the
# read before the write runs at the usual pace.
if [ "$quick" = 0 ]; then
  echo
  printf '%-6s %-6s %-7s %4s %9s %12s %7s %7s\n' mode baud change run wall_ms schedule_ms ratio net
  for mode in rtu ascii; do
    for baud in 9600 57600; do
      start_sensor "$mode" "$baud"
      schedule="$("$build/vor3-bench-schedule" --mode "$mode" --baud "$baud" 'txt_data_cfg(7)=3000')"
      timed_cli write "${link[@]}" 'txt_data_cfg(7)=3000'
      printf '%-6s %-6s %-7s %4s %9s %12s %7s %7s\n' "$mode" "$baud" mrt3000 1 "$wall" "$schedule" \
        "$(ratio "$wall" "$schedule")" "$(net "$wall" "$schedule")"
      stop_sensor
    done
  done
fi
# Whole lines, RTU: N whole reads should take N reads' schedules and no more;
# a parameter file written to each sensor, with its read and read-back.
echo
printf '%-6s %-6s %-9s %4s %9s %12s %7s\n' mode baud job sensors wall_ms schedule_ms ratio
lines=(3 30)
[ "$quick" = 1 ] && lines=(3)
file="$(mktemp)"
for baud in 9600 57600; do
  for n in "${lines[@]}"; do
    start_sensor rtu "$baud" "1-$n"
    one="$("$build/vor3-bench-schedule" --mode rtu --baud "$baud")"
    timed_cli read "${link[@]}" --addresses "1-$n"
    printf '%-6s %-6s %-9s %4s %9s %12s %7s\n' rtu "$baud" read "$n" "$wall" "$((n * one))" \
      "$(ratio "$wall" "$((n * one))")"
    if [ "$n" = "${lines[-1]}" ]; then
      # A file saved from the first sensor with one value changed.
      "$build/vor3-cli" save "${link[@]}" "$file" > /dev/null
      sed -i 's/;800\r$/;950\r/' "$file"
      one="$("$build/vor3-bench-schedule" --mode rtu --baud "$baud" 'txt_data_cfg(4)=950')"
      timed_cli write "${link[@]}" --addresses "1-$n" --file "$file"
      printf '%-6s %-6s %-9s %4s %9s %12s %7s\n' rtu "$baud" file "$n" "$wall" "$((n * one))" \
        "$(ratio "$wall" "$((n * one))")"
      # The same commissioning answer-paced, with another value so that every
      # sensor is written again; its schedule column is the scheduled run's wall.
      scheduled=$wall
      sed -i 's/;950\r$/;960\r/' "$file"
      timed_cli write "${link[@]}" --addresses "1-$n" --file "$file" --pace answer
      printf '%-6s %-6s %-9s %4s %9s %12s %7s\n' rtu "$baud" file-fast "$n" "$wall" "$scheduled" \
        "$(ratio "$wall" "$scheduled")"
    fi
    stop_sensor
  done
done
rm -f "$file"
# Several lines at once, RTU at 9600 baud: three lines of N sensors each
# read alone (--line), then together in one run, which should take no
# longer than the slowest alone (ratio) at a CPU share (cpu_pct) of one core.
# Measured on a loaded 2-core machine, 30 sensors a line: alone 27.8 to
# 28.2 s, together 28.3 s (1.005 of the slowest), 3 % of a core.
echo
printf '%-9s %4s %9s %9s %7s %8s\n' lines sensors wall_ms slowest ratio cpu_pct
n=30
[ "$quick" = 1 ] && n=3
line_args=() sims=()
for _ in 1 2 3; do
  start_sensor rtu 9600 "1-$n"
  sims+=("$sim")
  line_args+=(--line "$device baud=9600 parity=N mode=rtu addresses=1-$n")
done
slowest=0
for i in 0 1 2; do
  timed_cli read "${line_args[@]:$((2 * i)):2}"
  printf '%-9s %4s %9s %9s %7s %8s\n' "alone" "$n" "$wall" - - "$(awk -v c="$cpu" -v w="$wall" 'BEGIN { printf "%.1f", 100 * c / w }')"
  [ "$wall" -gt "$slowest" ] && slowest=$wall
done
timed_cli read "${line_args[@]}"
printf '%-9s %4s %9s %9s %7s %8s\n' "together" "$n" "$wall" "$slowest" "$(ratio "$wall" "$slowest")" \
  "$(awk -v c="$cpu" -v w="$wall" 'BEGIN { printf "%.1f", 100 * c / w }')"
for sim in "${sims[@]}"; do stop_sensor; done
# Whole reads over the loopback network: through a serial device server in
# both framings and through a Modbus TCP gateway, against the schedule of the
# same read on a line at 9600 baud (the simulated sensor paces its replies
# so). exchange_ms sums each request's time to its answer in --trace: what
# the sensor itself took; faster is how many times the schedule that is.
# Starts vor3-sensor-sim on the loopback network for FRAMING: sets sim,
# port and mode (vor3-cli's --mode for it).
start_network_sensor() {
  local out
  out="$(mktemp)"
  "$build/vor3-sensor-sim" --tcp 0 --framing "$1" > "$out" &
  sim=$!
  for _ in $(seq 50); do [ -s "$out" ] && break; sleep 0.05; done
  port="$(head -n 1 "$out")"
  rm -f "$out"
  mode=rtu
  [ "$1" = ascii ] && mode=ascii
  return 0
}
echo
printf '%-11s %4s %9s %12s %7s %7s %12s %7s\n' port run wall_ms schedule_ms ratio net exchange_ms faster
for framing in rtu ascii modbus-tcp; do
  start_network_sensor "$framing"
  schedule="$("$build/vor3-bench-schedule" --mode "$mode" --baud 9600)"
  for run in $(seq "$runs"); do
    timed_cli read --port "$port" --mode "$mode"
    read -r exchange _ < <(trace_times read --port "$port" --mode "$mode")
    printf '%-11s %4s %9s %12s %7s %7s %12s %7s\n' "$framing" "$run" "$wall" "$schedule" "$(ratio "$wall" "$schedule")" \
      "$(net "$wall" "$schedule")" "$exchange" "$(awk -v s="$schedule" -v e="$exchange" 'BEGIN { printf "%.1f", (e > 0 ? s / e : 0) }')"
  done
  stop_sensor
done

# The same reads over the network answer-paced: span/exch and net/exch as
# for the answer-paced reads on a line above.
echo
printf '%-11s %4s %9s %8s %12s %9s %8s\n' port run wall_ms span_ms exchange_ms span/exch net/exch
for framing in rtu ascii modbus-tcp; do
  start_network_sensor "$framing"
  for run in $(seq "$runs"); do
    timed_cli read --port "$port" --mode "$mode" --pace answer
    read -r exchange span < <(trace_times read --port "$port" --mode "$mode" --pace answer)
    printf '%-11s %4s %9s %8s %12s %9s %8s\n' "$framing" "$run" "$wall" "$span" "$exchange" \
      "$(ratio "$span" "$exchange")" "$(ratio "$((wall - startup))" "$exchange")"
  done
  stop_sensor
done

echo
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" "$build/vor3-bench-idle" 10 2>/dev/null
