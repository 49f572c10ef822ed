#!/bin/sh
# Index routine calls and index decodes per second. Builds the engine library in build/
# first (Release), then compiles and runs bench/tb_index_speed.cpp against it.
set -e
cd "$(dirname "$0")/.."
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target kestrane_engine >/dev/null
c++ -std=c++20 -O2 -Isrc bench/tb_index_speed.cpp build/libkestrane_engine.a -o build/tb_index_speed
./build/tb_index_speed
