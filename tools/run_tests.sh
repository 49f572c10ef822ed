#!/usr/bin/env bash
# Checks that includes follow the layers, builds everything and runs every test: the unit
# tests (fast and slow tiers) and the UCI program's protocol tests, the README's tuned build
# (its bench node count against the plain build's), the fast tier and the
# protocol stress test again under AddressSanitizer and UndefinedBehaviorSanitizer and under
# ThreadSanitizer, the export tables of libkestrane.so and kestrane.dll, a GUI-like host
# driving libkestrane.so and, under wine, kestrane.dll, the kestrane program under xboard
# and polyglot (a game and an analysis session, headless under Xvfb), and a short run of
# every fuzz target over its seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."

# wine32 is an i386 package: the architecture is added before the package lists are read.
packages="cmake ninja-build g++ libgtest-dev g++-mingw-w64-i686 binutils-mingw-w64-i686 python3
  xvfb xauth xboard polyglot stockfish wine wine32:i386 clang libclang-rt-14-dev"
missing=""
for package in $packages; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing="$missing $package"
done
if [ -n "$missing" ]; then
  echo "== installing:$missing"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
fi

jobs=2

echo "== layers and header owners"
tools/check_layers.sh
python3 tools/check_header_owners.py

echo "== Release build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j "$jobs"

echo "== the README's tuned build (LTO, and PGO from a bench run): the bench signature"
cmake -S . -B build-tuned -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRANE_TESTS=OFF -DKESTRANE_LTO=ON \
  -DKESTRANE_PGO=ON > /dev/null
cmake --build build-tuned -j "$jobs" --target kestrane
tuned_line=$(build-tuned/kestrane bench | tail -n 1)
plain_line=$(build/kestrane bench | tail -n 1)
echo "bench, tuned build: $tuned_line"
echo "bench, plain build: $plain_line"
tuned=$(echo "$tuned_line" | awk '{print $2}')
plain=$(echo "$plain_line" | awk '{print $2}')
[ "$tuned" = "$plain" ] || { echo "the tuned build searches another tree than the plain one"; exit 1; }

echo "== ASan + UBSan build, fast tier and the UCI protocol stress test"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTRANE_SANITIZE=ON > /dev/null
cmake --build build-asan -j "$jobs" --target kestrane_tests kestrane
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1
build-asan/kestrane_tests --gtest_filter=-Slow* --gtest_brief=1
python3 tests/cli/uci_stress_test.py build-asan/kestrane --rounds 2
unset ASAN_OPTIONS UBSAN_OPTIONS

echo "== ThreadSanitizer build, the tests that stop a search from another thread, the UCI program's threads"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRANE_TSAN=ON > /dev/null
cmake --build build-tsan -j "$jobs" --target kestrane_tests kestrane
TSAN_OPTIONS=halt_on_error=1 build-tsan/kestrane_tests --gtest_filter='Analyse.*:Interpreter.*:TbProbe.*:TbIndexThreads.*:TbCacheThreads.*' --gtest_brief=1
TSAN_OPTIONS=halt_on_error=1 python3 tests/cli/uci_stress_test.py build-tsan/kestrane --rounds 2

echo "== kestrane.dll for 32-bit Windows"
cmake -S . -B build-dll -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRANE_TESTS=OFF -DKESTRANE_LTO=ON \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake > /dev/null
cmake --build build-dll -j "$jobs"

echo "== libkestrane.so driven by a GUI-like host program"
(cd build && ./library_host ./libkestrane.so)

echo "== export tables"
tools/check_exports.sh build/libkestrane.so build-dll/kestrane.dll

echo "== kestrane.dll driven by the same host, built for Win32, under wine"
# No Mono or Gecko: a new wine prefix then starts without asking for them. A kernel built
# without 32-bit support cannot start wine at all: that is said loudly, not passed over.
if wine --version > /dev/null 2>&1; then
  (cd build-dll && WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" timeout 300 wine dll_host.exe)
else
  echo "!! SKIPPED: this machine cannot start wine ($(wine --version 2>&1 | tail -1)); the DLL was built and its exports checked, not run"
fi

echo "== unit tests, fast and slow tiers; the UCI program's protocol tests"
ctest --test-dir build --output-on-failure

echo "== the kestrane program under xboard and polyglot: a game against stockfish, an analysis session"
python3 tests/cli/xboard_test.py build/kestrane --opponent stockfish

echo "== fuzz targets, a short run over their seed corpora"
tools/fuzz.sh --runs 1000
