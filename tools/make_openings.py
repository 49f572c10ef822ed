#!/usr/bin/env python3
"""Writes a list of varied, balanced opening lines for tools/match.py --openings.

  tools/make_openings.py --per-line 5 > tools/openings.txt

Each of the referee's built-in lines is extended by two random legal plies (fixed seed);
a line is kept when stockfish, searching it to depth 10, scores it within 60 centipawns.
"""
import argparse
import os
import random
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import chess_rules  # noqa: E402
from match import OPENINGS  # noqa: E402


def score(engine, moves):
    engine.stdin.write(f"position startpos moves {moves}\ngo depth 10\n")
    engine.stdin.flush()
    value = None
    for line in engine.stdout:
        words = line.split()
        if "score" in words:
            at = words.index("score")
            value = int(words[at + 2]) if words[at + 1] == "cp" else 10000
        if words and words[0] == "bestmove":
            return value


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--per-line", type=int, default=5)
    parser.add_argument("--engine", default="/usr/games/stockfish")
    args = parser.parse_args()
    engine = subprocess.Popen([args.engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)
    engine.stdin.write("uci\nsetoption name Threads value 1\nisready\n")
    engine.stdin.flush()
    for line in engine.stdout:
        if line.strip() == "readyok":
            break
    chooser = random.Random(20261210)
    for base in OPENINGS:
        kept, tries = [], 0
        while len(kept) < args.per_line and tries < 200:
            tries += 1
            position = chess_rules.Position()
            for move in base.split():
                position = position.play(position.parse_uci(move))
            extra = []
            for _ in range(2):
                move = chooser.choice(position.legal_moves())
                extra.append(chess_rules.move_text(move))
                position = position.play(move)
            line = base + " " + " ".join(extra)
            if line in kept:
                continue
            value = score(engine, line)
            if value is not None and abs(value) <= 60:
                kept.append(line)
        for line in kept:
            print(line, flush=True)
    engine.stdin.write("quit\n")
    engine.stdin.flush()
    engine.wait()


if __name__ == "__main__":
    main()
