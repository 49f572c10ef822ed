#!/bin/sh
# Probes per second through TBProbeList on a million random placements of a four-piece
# (kqkr) and a five-piece (krpkr) table, from plain files with the OS cache warm: through a
# warm block cache (1 GB, holding the tables), a cold one (emptied every 1000 probes), and
# with the tables held in memory. Usage: bench/tb_probe.sh [DIR [CACHE_KB]]
# DIR holds kqkr.nbw/.nbb and krpkr.nbw/.nbb (for example from
# `build/kestrane tb gen --out DIR kqkr krpkr`). Without it, build/tb-bench gets a generated
# kqkr (about half a minute) and, unless krpkr files are already there, krpkr files of the
# right sizes holding only draws: the reads and their cost are the same, the values are not.
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target kestrane_engine kestrane >/dev/null
c++ -std=c++20 -O2 -Isrc -Iinclude bench/tb_probe.cpp build/libkestrane_engine.a -lpthread -o build/tb_probe_bench
dir=${1:-}
if [ -z "$dir" ]; then
  dir=build/tb-bench
  mkdir -p "$dir"
  [ -f "$dir/kqkr.nbw" ] || build/kestrane tb gen --out "$dir" kqkr >/dev/null
  if [ ! -f "$dir/krpkr.nbw" ]; then
    echo "krpkr: files of the right sizes holding draws (generate them for real values)"
    build/tb_probe_bench --sizes "$dir" krpkr
  fi
fi
cat "$dir"/kqkr.nb? "$dir"/krpkr.nb? >/dev/null 2>&1 || true
build/tb_probe_bench --cache-kb "${2:-1048576}" "$dir" kqkr krpkr
