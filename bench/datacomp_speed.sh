#!/bin/sh
# Compression ratio, writing time and block decoding speed (MB/s) of compressed tablebase
# files, for the plain table files of a directory. Usage: bench/datacomp_speed.sh [DIR]
# Without DIR, build/tb-bench gets generated kqkr and krpk files (about a minute).
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target kestrane_engine kestrane >/dev/null
c++ -std=c++20 -O2 -Isrc -Iinclude bench/datacomp_speed.cpp build/libkestrane_engine.a -lpthread -o build/datacomp_speed_bench
dir=${1:-}
if [ -z "$dir" ]; then
  dir=build/tb-bench
  mkdir -p "$dir"
  [ -f "$dir/kqkr.nbw" ] || build/kestrane tb gen --out "$dir" kqkr >/dev/null
  [ -f "$dir/krpk.nbw" ] || build/kestrane tb gen --out "$dir" krpk >/dev/null
fi
build/datacomp_speed_bench "$dir"/*.nbw "$dir"/*.nbb
