#!/bin/sh
# Nodes per second of searches on endgame roots of 5 and 6 men whose captures lead into the
# 3-4 piece tablebases, each searched for a fixed time without and then with the tables
# (`kestrane analyse --movetime MS [--path DIR]`), with the tablebase hits per second.
# Usage: bench/tb_search.sh [DIR] [MS]
# DIR holds every 3-4 piece table (`build/kestrane tb gen --out DIR --all 3 --all 4`, a few
# minutes); without it they are generated into build/tb-all. MS defaults to 5000.
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target kestrane >/dev/null
dir=${1:-build/tb-all}
ms=${2:-5000}
if [ ! -f "$dir/kqkr.nbw" ]; then
  mkdir -p "$dir"
  build/kestrane tb gen --out "$dir" --all 3 --all 4 >/dev/null
fi
cat "$dir"/*.nb? >/dev/null
printf '%-44s %-8s %10s %9s %10s %8s\n' root tables nodes nps tbhits tbhits/s
for fen in "1K1k4/1P6/8/8/8/8/r7/2R5 w - - 0 1" \
           "8/5k2/8/3p4/3P1P2/8/8/4K3 w - - 0 1" \
           "8/1p6/2k5/8/3K4/8/1P3R2/5r2 w - - 0 1" \
           "8/8/3k4/3p4/2pP4/2P2N2/4K3/8 w - - 0 1"; do
  for tables in no yes; do
    if [ "$tables" = yes ]; then
      out=$(build/kestrane analyse --fen "$fen" --movetime "$ms" --path "$dir")
    else
      out=$(build/kestrane analyse --fen "$fen" --movetime "$ms")
    fi
    echo "$out" | grep '^info nps' | tail -1 | awk -v fen="$fen" -v tables="$tables" -v ms="$ms" '{
      nodes = 0; nps = 0; hits = 0
      for (i = 1; i < NF; i++) {
        if ($i == "nodes") nodes = $(i + 1)
        if ($i == "nps") nps = $(i + 1)
        if ($i == "tbhits") hits = $(i + 1)
      }
      printf "%-44s %-8s %10d %9d %10d %8d\n", fen, tables, nodes, nps, hits, hits * 1000 / ms
    }'
  done
done
