#!/usr/bin/env bash
# Joins COM ports of a wine prefix to Linux pseudo-terminals while a command
# runs; wine opens COMn through the link dosdevices/comN.
#
#   tools/wine_com_pty.sh COM5 COM6 -- CMD...       a pseudo-terminal pair: COM5 at one end,
#                                                  COM6 at the other
#   tools/wine_com_pty.sh COM5 -- CMD...            COM5 at one end; the other end's path is
#                                                  in $VOR3_PTY_PEER for a Linux program
#   tools/wine_com_pty.sh COM5=/dev/pts/7 -- CMD... COM5 at a device that is there already
#                                                  (the simulated sensor's pseudo-terminal)
#
# The prefix is $WINEPREFIX (else ~/.wine). CMD runs with $VOR3_COM_PORTS set to
# the COM names, comma-separated (vor3_win32_tests reads it); the links and
# socat go when it ends, and its exit status is the script's. Pseudo-terminals
# take no parity: use N there.
set -euo pipefail
prefix=${WINEPREFIX:-$HOME/.wine}
names=() targets=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
  case "$1" in
    *=*) names+=("${1%%=*}") targets+=("${1#*=}") ;;
    *) names+=("$1") targets+=("") ;;
  esac
  shift
done
[ "${1:-}" = "--" ] && [ $# -ge 2 ] && [ ${#names[@]} -ge 1 ] || {
  sed -n '2,17s/^# \{0,1\}//p' "$0" >&2
  exit 2
}
shift
if [ ! -d "$prefix/dosdevices" ]; then
  echo "no wine prefix at $prefix (run a wine program there once)" >&2
  exit 2
fi

work=$(mktemp -d)
socat_pid=
links=()
cleanup() {
  set +e
  if [ -n "$socat_pid" ]; then
    # wineserver keeps the far end open for a while and takes it as its
    # terminal: its end would hang it up (wineserver then dumps its objects).
    server=$(command -v wineserver || echo /usr/lib/wine/wineserver)
    WINEPREFIX=$prefix timeout 20 "$server" -w 2>/dev/null
    kill "$socat_pid" 2>/dev/null
    wait "$socat_pid" 2>/dev/null
  fi
  for link in "${links[@]}"; do
    rm -f "$link"
    [ -L "$link.vor3-saved" ] && mv "$link.vor3-saved" "$link"
  done
  rm -rf "$work"
}
trap cleanup EXIT

# The ends a socat pair gives, for the names without a device of their own.
free=0
for t in "${targets[@]}"; do [ -z "$t" ] && free=$((free + 1)); done
if [ "$free" -gt 2 ]; then
  echo "one pseudo-terminal pair joins two COM ports at most" >&2
  exit 2
fi
if [ "$free" -gt 0 ]; then
  command -v socat >/dev/null || { echo "socat is missing (apt-get install socat)" >&2; exit 2; }
  socat pty,raw,echo=0,link="$work/a" pty,raw,echo=0,link="$work/b" 2>"$work/socat.log" &
  socat_pid=$!
  for _ in $(seq 100); do [ -e "$work/a" ] && [ -e "$work/b" ] && break; sleep 0.05; done
  [ -e "$work/a" ] && [ -e "$work/b" ] || { cat "$work/socat.log" >&2; exit 1; }
  ends=("$(readlink -f "$work/a")" "$(readlink -f "$work/b")")
  used=0
  for i in "${!targets[@]}"; do
    if [ -z "${targets[$i]}" ]; then targets[$i]=${ends[$used]}; used=$((used + 1)); fi
  done
  [ "$free" -eq 1 ] && export VOR3_PTY_PEER=${ends[1]}
fi

for i in "${!names[@]}"; do
  name=${names[$i]}
  link="$prefix/dosdevices/$(echo "$name" | tr '[:upper:]' '[:lower:]')"
  [ -L "$link" ] && mv "$link" "$link.vor3-saved"
  ln -s "${targets[$i]}" "$link"
  links+=("$link")
  echo "$name -> ${targets[$i]}" >&2
done
VOR3_COM_PORTS=$(IFS=,; echo "${names[*]}")
export VOR3_COM_PORTS
status=0
"$@" || status=$?
exit "$status"
