#!/usr/bin/env bash
# Tablebase generation: wall time and peak memory of `kestrane tb gen` (both cores).
#   bench/tb_generate.sh            all 3- and 4-piece tables together, then KQKR alone
#   bench/tb_generate.sh five       KRPKR and KQRKR (five pieces: minutes, a few GB)
#   bench/tb_generate.sh NAME...    the named endgames
# Each run starts in an empty directory, so the tables an endgame needs are generated too.
# Goals: all 3+4-piece tables under a minute; KQKR under five minutes and 2 GB.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target kestrane > /dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

measure() {  # label, then the arguments of `kestrane tb gen`
  local label=$1
  shift
  mkdir -p "$work/$label"
  /usr/bin/time -v build/kestrane tb gen --out "$work/$label" "$@" 2> "$work/log" || { cat "$work/log"; exit 1; }
  local seconds memory cpu
  seconds=$(grep "Elapsed (wall clock)" "$work/log" | awk '{print $NF}')
  memory=$(grep "Maximum resident set size" "$work/log" | awk '{print $NF}')
  cpu=$(grep -E "(User|System) time" "$work/log" | awk '{s += $NF} END {printf "%.0f", s}')
  printf '%-14s wall %-9s cpu %5ss  peak %6d MB  (%s tables, %s MB of files)\n' "$label" "$seconds" "$cpu" \
    $((memory / 1024)) "$(grep -c '^k' "$work/log")" "$(du -sm "$work/$label" | cut -f1)"
  grep '^k' "$work/log" | sed 's/^/    /'
  rm -rf "${work:?}/$label"
}

echo "== kestrane tb gen on $(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg)"
case "${1:-}" in
  "")
    measure "3+4 pieces" --all 3 --all 4
    measure "kqkr" kqkr
    ;;
  five)
    measure "krpkr" krpkr
    measure "kqrkr" kqrkr
    ;;
  *)
    for name in "$@"; do measure "$name" "$name"; done
    ;;
esac
