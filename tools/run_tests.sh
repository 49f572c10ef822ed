#!/usr/bin/env bash
# Checks that includes follow the layers, builds everything and runs every test: the unit
# tests (fast and slow tiers), the fast tier again under AddressSanitizer and
# UndefinedBehaviorSanitizer, the cross-thread tests under ThreadSanitizer, the export tables of libkestrane.so and kestrane.dll, one search
# through libkestrane.so and, when wine is present, one through the DLL.
set -euo pipefail
cd "$(dirname "$0")/.."

packages="cmake ninja-build g++ libgtest-dev g++-mingw-w64-i686 binutils-mingw-w64-i686"
missing=""
for package in $packages; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing="$missing $package"
done
if [ -n "$missing" ]; then
  echo "== installing:$missing"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
fi

jobs=2

echo "== layers"
tools/check_layers.sh

echo "== Release build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j "$jobs"

echo "== ASan + UBSan build, fast tier"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTRANE_SANITIZE=ON > /dev/null
cmake --build build-asan -j "$jobs" --target kestrane_tests
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1 \
  build-asan/kestrane_tests --gtest_filter=-Slow* --gtest_brief=1

echo "== ThreadSanitizer build, the tests that stop a search from another thread"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKESTRANE_TSAN=ON > /dev/null
cmake --build build-tsan -j "$jobs" --target kestrane_tests
TSAN_OPTIONS=halt_on_error=1 build-tsan/kestrane_tests --gtest_filter='Analyse.*:Interpreter.*' --gtest_brief=1

echo "== kestrane.dll for 32-bit Windows"
cmake -S . -B build-dll -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRANE_TESTS=OFF \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake > /dev/null
cmake --build build-dll -j "$jobs"

echo "== libkestrane.so loaded by a host program"
(cd build && ./library_host ./libkestrane.so)

echo "== export tables"
tools/check_exports.sh build/libkestrane.so build-dll/kestrane.dll

echo "== the DLL under wine"
if command -v wine > /dev/null; then
  # No Mono or Gecko: a new wine prefix then starts without asking for them.
  (cd build-dll && WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" timeout 300 wine dll_host.exe)
else
  echo "wine is not installed: the DLL load test is skipped"
fi

echo "== unit tests, fast and slow tiers"
ctest --test-dir build --output-on-failure
