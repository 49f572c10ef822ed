#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, with AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs each over its seed corpus in tests/fuzz/corpus/.
#   tools/fuzz.sh MINUTES   each target for MINUTES minutes, new inputs kept in build-fuzz/corpus/
#   tools/fuzz.sh --runs N  each target for N inputs (the test command's short check)
# A crash stops the script; its input is saved as build-fuzz/crash-<target>-*.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
targets="command fen moves setparam learning uci datacomp_header datacomp_block"

if [ "${1:-}" = "--runs" ]; then runs=${2:?}; else minutes=${1:?usage: tools/fuzz.sh MINUTES | --runs N}; fi

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKESTRANE_FUZZ=ON -DKESTRANE_TESTS=OFF > /dev/null
cmake --build build-fuzz -j2 --target $(for t in $targets; do printf '%s_fuzz ' "$t"; done)

for target in $targets; do
  if [ -n "${runs:-}" ]; then
    # The UCI target starts the whole program for every input: a tenth of the runs.
    limit="-runs=$( [ "$target" = uci ] && echo $(( runs / 10 )) || echo "$runs" )"
  else
    limit="-max_total_time=$(( minutes * 60 ))"
  fi
  found="$root/build-fuzz/corpus/$target"
  mkdir -p "$found"
  echo "== fuzzing $target ($limit)"
  # The engine changes its working directory at start-up, so every path is absolute. An input
  # may set Hash to its 4 GB maximum, which the memory limit leaves room for.
  "$root/build-fuzz/${target}_fuzz" "$limit" -max_len=4096 -timeout=20 -rss_limit_mb=8192 -close_fd_mask=1 \
    -artifact_prefix="$root/build-fuzz/crash-$target-" -print_final_stats=0 \
    "$found" "$root/tests/fuzz/corpus/$target" 2>&1 | grep -E "^(#[0-9]+ +DONE|Done|==[0-9]+==ERROR|SUMMARY)|runtime error|abort" || true
  # libFuzzer also saves inputs that merely ran slowly ("slow-unit-"): those are not failures.
  failing=$(ls "$root"/build-fuzz/crash-"$target"-* 2>/dev/null | grep -v -- "-slow-unit-" || true)
  if [ -n "$failing" ]; then
    echo "fuzz target $target found a failing input:"; echo "$failing"; exit 1
  fi
done
