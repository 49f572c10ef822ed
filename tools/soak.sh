#!/usr/bin/env bash
# A soak run: GAMES games at 1 s + 0.01 s against gnuchess through the UCI program, with
# pondering on, position learning on and a new Hash size before every game. Prints every
# crash, hang, illegal move and loss on time; exits 1 when kestrane had any.
#   tools/soak.sh GAMES [OPPONENT]
set -euo pipefail
cd "$(dirname "$0")/.."
games=${1:?usage: tools/soak.sh GAMES [OPPONENT]}
opponent=${2:-/usr/games/gnuchess --uci}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The program keeps its learning file in its own directory: run a copy in a scratch one.
cp build/kestrane "$work/"
python3 tools/match.py --engine "$work/kestrane" --opponent "$opponent" --games "$games" \
  --tc 1+0.01 --ponder --learning --hash-cycle 1,16,64,4,32 --log "$work/games.log"
