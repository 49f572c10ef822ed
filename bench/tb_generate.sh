#!/usr/bin/env bash
# Tablebase generation: wall time and peak memory of `kestrane tb gen` (both cores).
#   bench/tb_generate.sh            all 3- and 4-piece tables together, then KQKR alone
#   bench/tb_generate.sh five       KRPKR and KQRKR (five pieces: minutes, a few GB)
#   bench/tb_generate.sh NAME...    the named endgames
# Each run starts in an empty directory, so the tables an endgame needs are generated too.
# Goals: all 3+4-piece tables under a minute (about 100 CPU seconds on two busy cores);
# KQKR under five minutes and 2 GB.
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
  local seconds wall memory cpu
  seconds=$(grep "Elapsed (wall clock)" "$work/log" | awk '{print $NF}')
  wall=$(echo "$seconds" | awk -F: '{s = 0; for (i = 1; i <= NF; i++) s = s * 60 + $i; print s}')
  memory=$(grep "Maximum resident set size" "$work/log" | awk '{print $NF}')
  cpu=$(grep -E "(User|System) time" "$work/log" | awk '{s += $NF} END {printf "%.1f", s}')
  # CPU seconds (user + system) hardly depend on other load; the share says how many
  # cores were busy on average, so cpu / 2 is the wall time on two free cores.
  printf '%-14s wall %-9s cpu %6ss  share %4s cores  peak %6d MB  (%s tables, %s MB of files)\n' "$label" \
    "$seconds" "$cpu" "$(awk -v c="$cpu" -v w="$wall" 'BEGIN {printf "%.2f", (w > 0 ? c / w : 0)}')" \
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
