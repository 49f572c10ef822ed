#!/bin/sh
# Probes per second through TBProbeList on a million random placements of a four-piece
# (kqkr) and a five-piece (krpkr) table, from plain files with the OS cache warm, and with
# the tables held in memory. Usage: bench/tb_probe.sh [DIR]
# DIR holds the tables (kqkr.nbw, kqkr.nbb, krpkr.nbw, krpkr.nbb); without it they are
# generated into build/tb-bench with `kestrane tb gen` when this build has the generator,
# and otherwise written as files of the right sizes holding only draws (the read path and
# its cost are the same; the values are not meaningful).
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target kestrane_engine kestrane >/dev/null
c++ -std=c++20 -O2 -Isrc -Iinclude bench/tb_probe.cpp build/libkestrane_engine.a -lpthread -o build/tb_probe_bench
dir=${1:-}
if [ -z "$dir" ]; then
  dir=build/tb-bench
  mkdir -p "$dir"
  if ! build/kestrane tb gen --out "$dir" kqkr krpkr >/dev/null 2>&1; then
    echo "no generator in this build: tables of the right sizes holding draws"
    build/tb_probe_bench --sizes "$dir" kqkr krpkr
  fi
fi
cat "$dir"/kqkr.nb? "$dir"/krpkr.nb? >/dev/null 2>&1 || true
build/tb_probe_bench "$dir" kqkr krpkr
