#!/usr/bin/env bash
# Builds everything and runs every test: the unit tests (fast and slow tiers), the fast
# tier again under AddressSanitizer and UndefinedBehaviorSanitizer, the export tables of
# libkestrane.so and kestrane.dll, and, when wine is present, one search through the DLL.
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

echo "== Release build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release > /dev/null
cmake --build build -j "$jobs"

echo "== ASan + UBSan build, fast tier"
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTRANE_SANITIZE=ON > /dev/null
cmake --build build-asan -j "$jobs" --target kestrane_tests
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1 \
  build-asan/kestrane_tests --gtest_filter=-Slow* --gtest_brief=1

echo "== kestrane.dll for 32-bit Windows"
cmake -S . -B build-dll -G Ninja -DCMAKE_BUILD_TYPE=Release -DKESTRANE_TESTS=OFF \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake > /dev/null
cmake --build build-dll -j "$jobs"

echo "== export tables"
tools/check_exports.sh build/libkestrane.so build-dll/kestrane.dll

echo "== the DLL under wine"
if command -v wine > /dev/null; then
  (cd build-dll && WINEDEBUG=-all timeout 300 wine dll_host.exe)
else
  echo "wine is not installed: the DLL load test is skipped"
fi

echo "== unit tests, fast and slow tiers"
ctest --test-dir build --output-on-failure
