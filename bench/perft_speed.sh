#!/usr/bin/env bash
# Perft speed: nodes per second of `kestrane perft DEPTH` and of stockfish's `go perft DEPTH`
# on the start position, measured in the same run on the same machine, with their ratio.
# Usage: bench/perft_speed.sh [DEPTH]   (KESTRANE=path/to/kestrane, STOCKFISH=path/to/stockfish)
set -euo pipefail

depth=${1:-6}
here=$(cd "$(dirname "$0")/.." && pwd)
kestrane=${KESTRANE:-$here/build/kestrane}
stockfish=${STOCKFISH:-$(command -v stockfish || echo /usr/games/stockfish)}

[ -x "$kestrane" ] || { echo "no kestrane binary at $kestrane (build it first)" >&2; exit 2; }
[ -x "$stockfish" ] || { echo "no stockfish at $stockfish" >&2; exit 2; }

now() { date +%s.%N; }

start=$(now)
k_nodes=$("$kestrane" perft "$depth" | sed -n 's/^Nodes searched: //p')
k_time=$(echo "$(now) - $start" | bc -l)

start=$(now)
s_nodes=$(printf 'position startpos\ngo perft %s\nquit\n' "$depth" | "$stockfish" | sed -n 's/^Nodes searched: //p')
s_time=$(echo "$(now) - $start" | bc -l)

[ -n "$k_nodes" ] && [ -n "$s_nodes" ] || { echo "a run printed no node count" >&2; exit 1; }
[ "$k_nodes" = "$s_nodes" ] || echo "warning: node counts differ: kestrane $k_nodes, stockfish $s_nodes" >&2

k_nps=$(echo "$k_nodes / $k_time" | bc)
s_nps=$(echo "$s_nodes / $s_time" | bc)
printf 'kestrane  perft %d: %s nodes in %.2f s = %s nodes/s\n' "$depth" "$k_nodes" "$k_time" "$k_nps"
printf 'stockfish perft %d: %s nodes in %.2f s = %s nodes/s\n' "$depth" "$s_nodes" "$s_time" "$s_nps"
printf 'ratio kestrane/stockfish: %.3f\n' "$(echo "$k_nps / $s_nps" | bc -l)"
