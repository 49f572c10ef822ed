#!/usr/bin/env bash
# Checks that the shared library and the DLL export exactly the engine's and the tablebase functions,
# under their plain names, and that the DLL needs no MinGW runtime DLL. Usage: tools/check_exports.sh [libkestrane.so] [kestrane.dll]
set -euo pipefail

expected="KestraneAnalyse
KestraneClearHashtable
KestraneEnterMove
KestraneGetAuthor
KestraneGetParamList
KestraneGetVersion
KestraneInit
KestraneNextBest
KestranePonderingOff
KestraneQuit
KestraneSetBlitz
KestraneSetDepth
KestraneSetInfinite
KestraneSetParam
KestraneSetPosition
KestraneSetStartPosition
KestraneSetTime
KestraneStopAnalyse
TBExit
TBGetDecompressTableSize
TBHasEndgames
TBInit
TBInitExtern
TBMaxPiece
TBNewGame
TBProbeList"
expected=$(printf '%s\n' "$expected" | LC_ALL=C sort)

status=0
compare() {  # name, actual list
  local diff
  if diff=$(diff <(printf '%s\n' "$expected") <(printf '%s\n' "$2" | LC_ALL=C sort)); then
    echo "exports of $1: the $(printf '%s\n' "$expected" | wc -l) exported functions, nothing else"
  else
    echo "exports of $1 differ (< missing, > unexpected):"
    printf '%s\n' "$diff" | grep '^[<>]'
    status=1
  fi
}

so=${1:-build/libkestrane.so}
dll=${2:-build-dll/kestrane.dll}

compare "$so" "$(nm -D --defined-only "$so" | awk '{print $NF}')"

if [ -f "$dll" ]; then
  objdump=i686-w64-mingw32-objdump
  names=$("$objdump" -p "$dll" | awk '/\[Ordinal\/Name Pointer\] Table/ {on = 1; next} on && NF == 0 {on = 0} on {print $NF}')
  compare "$dll" "$names"
  # The runtime is linked in: a host needs no MinGW DLL beside kestrane.dll.
  runtime=$("$objdump" -p "$dll" | awk '/DLL Name:/ {print $3}' | grep -iE 'libstdc|libgcc|winpthread' || true)
  if [ -n "$runtime" ]; then
    echo "$dll needs MinGW runtime DLLs: $runtime"
    status=1
  else
    echo "$dll imports only system DLLs: $("$objdump" -p "$dll" | awk '/DLL Name:/ {print $3}' | tr '\n' ' ')"
  fi
else
  echo "no $dll: DLL exports not checked"
  status=1
fi
exit $status
