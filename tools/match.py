#!/usr/bin/env python3
"""Plays a match between two UCI engines, one game at a time, and refers every move.

  tools/match.py --engine build/kestrane --opponent "/usr/games/gnuchess --uci" \
      --games 40 --tc 10+0.1
  tools/match.py ... --tc 40/20          (40 moves in 20 seconds, repeating)
  tools/match.py ... --openings tools/openings.txt
                                        (100 balanced lines instead of the 20 built in)
  tools/match.py ... --ponder --hash-cycle 1,16,64 --learning
                                        (kestrane ponders on the expected reply, gets a new
                                         Hash size before every game and learns positions)

Each opening line is played twice with colours exchanged.  An illegal move, a crash, a
silence or an empty clock loses the game; every such event is listed at the end.  The
result is given as a score, an Elo difference and its 95% error margin.
"""
import argparse
import math
import os
import queue
import shlex
import subprocess
import sys
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import chess_rules  # noqa: E402

# Short, sound opening lines (UCI moves); each gives two games.
OPENINGS = [
    "e2e4 e7e5 g1f3 b8c6 f1b5 a7a6",
    "e2e4 c7c5 g1f3 d7d6 d2d4 c5d4 f3d4 g8f6",
    "d2d4 d7d5 c2c4 e7e6 b1c3 g8f6",
    "d2d4 g8f6 c2c4 g7g6 b1c3 f8g7 e2e4 d7d6",
    "e2e4 e7e6 d2d4 d7d5 b1c3 f8b4",
    "e2e4 c7c6 d2d4 d7d5 e4e5 c8f5",
    "c2c4 e7e5 b1c3 g8f6 g1f3 b8c6",
    "g1f3 d7d5 g2g3 g8f6 f1g2 c7c6",
    "e2e4 e7e5 g1f3 g8f6 f3e5 d7d6 e5f3 f6e4",
    "d2d4 g8f6 c2c4 e7e6 g1f3 b7b6",
    "e2e4 c7c5 b1c3 b8c6 g2g3 g7g6",
    "d2d4 d7d5 c2c4 c7c6 g1f3 g8f6 b1c3 d5c4",
    "e2e4 d7d5 e4d5 d8d5 b1c3 d5a5",
    "e2e4 e7e5 f1c4 g8f6 d2d3 c7c6",
    "d2d4 f7f5 g2g3 g8f6 f1g2 g7g6",
    "c2c4 c7c5 g1f3 g8f6 b1c3 b8c6",
    "e2e4 g7g6 d2d4 f8g7 b1c3 d7d6",
    "d2d4 g8f6 g1f3 e7e6 c1g5 c7c5",
    "e2e4 c7c5 g1f3 e7e6 d2d4 c5d4 f3d4 a7a6",
    "b2b3 e7e5 c1b2 b8c6 e2e3 g8f6",
]

MAX_PLIES = 400  # a game this long is scored as a draw


class EngineFailure(Exception):
    pass


class Engine:
    def __init__(self, command, name, options):
        self.command = command
        self.name = name
        self.options = options
        self.proc = None
        self.lines = queue.Queue()

    def start(self):
        self.proc = subprocess.Popen(shlex.split(self.command), stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     stderr=subprocess.DEVNULL, text=True, bufsize=1,
                                     cwd=os.path.dirname(shlex.split(self.command)[0]) or None)
        threading.Thread(target=self._read, daemon=True).start()
        self.send("uci")
        self.wait_for("uciok", 10)
        for name, value in self.options:
            self.send(f"setoption name {name} value {value}")
        self.ready()

    def _read(self):
        for line in self.proc.stdout:
            self.lines.put(line.rstrip("\r\n"))
        self.lines.put(None)

    def send(self, text):
        try:
            self.proc.stdin.write(text + "\n")
            self.proc.stdin.flush()
        except (BrokenPipeError, OSError):
            raise EngineFailure(f"{self.name} closed its input")

    def wait_for(self, prefix, timeout):
        deadline = time.monotonic() + timeout
        while True:
            left = deadline - time.monotonic()
            if left <= 0:
                raise EngineFailure(f"{self.name} sent no '{prefix}' within {timeout:.1f} s")
            try:
                line = self.lines.get(timeout=left)
            except queue.Empty:
                continue
            if line is None:
                raise EngineFailure(f"{self.name} ended (exit status {self.proc.poll()})")
            if line.startswith(prefix):
                return line

    def ready(self):
        self.send("isready")
        self.wait_for("readyok", 10)

    def stop(self):
        if self.proc and self.proc.poll() is None:
            try:
                self.send("quit")
                self.proc.wait(timeout=3)
            except (EngineFailure, subprocess.TimeoutExpired):
                self.proc.kill()


class Clock:
    """Remaining milliseconds per side; moves-in-time controls refill after each period."""

    def __init__(self, control):
        if "/" in control:
            moves, seconds = control.split("/")
            self.period, self.base, self.increment = int(moves), float(seconds) * 1000, 0.0
        else:
            base, _, inc = control.partition("+")
            self.period, self.base, self.increment = 0, float(base) * 1000, float(inc or 0) * 1000
        self.left = {"w": self.base, "b": self.base}
        self.moves = {"w": 0, "b": 0}

    def go_command(self, side):
        text = f"go wtime {int(self.left['w'])} btime {int(self.left['b'])}"
        if self.increment:
            text += f" winc {int(self.increment)} binc {int(self.increment)}"
        if self.period:
            # The count of the side to move (the engine reads it for itself only).
            text += f" movestogo {self.period - self.moves[side] % self.period}"
        return text

    def spend(self, side, ms):
        """Charges a move; returns by how many ms the clock was overstepped (0 when it was not)."""
        self.left[side] -= ms
        overstep = max(-self.left[side], 0)
        self.left[side] += self.increment
        self.moves[side] += 1
        if self.period and self.moves[side] % self.period == 0:
            self.left[side] += self.base
        return overstep


def finish_ponder(pondering):
    """Stops a ponder search that the game no longer needs and takes its bestmove."""
    if pondering:
        engine = pondering[0]
        engine.send("stop")
        engine.wait_for("bestmove", 5)


def play_game(white, black, opening, tc, log, ponderer=None):
    """Returns (result for White: 1, 0.5, 0), reason, notes. `ponderer` (one of the two
    engines or None) ponders on its expected reply while the other side thinks."""
    pos = chess_rules.Position()
    moves = []
    seen = {}
    for text in opening.split():
        move = pos.parse_uci(text)
        assert move, f"opening move {text} is illegal"
        pos = pos.play(move)
        moves.append(text)
    seen[pos.repetition_key()] = 1
    clock = Clock(tc)
    engines = {"w": white, "b": black}
    for engine in engines.values():
        engine.send("ucinewgame")
        engine.ready()
    notes = []
    pondering = None  # (engine, the reply it ponders on)
    while True:
        outcome = None
        legal = pos.legal_moves()
        if not legal:
            if pos.in_check():
                outcome = (0 if pos.side == "w" else 1), "checkmate"
            else:
                outcome = 0.5, "stalemate"
        elif pos.halfmove >= 100:
            outcome = 0.5, "fifty moves"
        elif pos.insufficient_material():
            outcome = 0.5, "insufficient material"
        elif seen.get(pos.repetition_key(), 0) >= 3:
            outcome = 0.5, "threefold repetition"
        elif len(moves) >= MAX_PLIES:
            outcome = 0.5, "move limit"
        side = pos.side
        engine = engines[side]
        loss = 0 if side == "w" else 1
        try:
            if outcome:
                finish_ponder(pondering)
                return outcome[0], outcome[1], notes
            if pondering and pondering[0] is engine and pondering[1] == moves[-1]:
                start = time.monotonic()
                engine.send("ponderhit")
            else:
                if pondering and pondering[0] is engine:
                    finish_ponder(pondering)
                engine.send("position startpos moves " + " ".join(moves))
                start = time.monotonic()
                engine.send(clock.go_command(side))
            if pondering and pondering[0] is engine:
                pondering = None
            line = engine.wait_for("bestmove", clock.left[side] / 1000 + 5)
        except EngineFailure as failure:
            notes.append(str(failure))
            return loss, f"{engine.name} failed", notes
        used = (time.monotonic() - start) * 1000
        words = line.split()
        text = words[1] if len(words) > 1 else ""
        move = pos.parse_uci(text)
        if move is None:
            notes.append(f"{engine.name} played illegal move '{text}' after: {' '.join(moves)}")
            return loss, f"{engine.name} illegal move", notes
        overstep = clock.spend(side, used)
        if overstep > 0:
            notes.append(f"{engine.name} overstepped its clock by {overstep:.0f} ms "
                         f"(move {len(moves) // 2 + 1}, used {used:.0f} ms)")
            return loss, f"{engine.name} lost on time", notes
        log.write(f"{text} ")
        pos = pos.play(move)
        moves.append(text)
        key = pos.repetition_key()
        seen[key] = seen.get(key, 0) + 1
        if engine is ponderer and len(words) >= 4 and words[2] == "ponder" and pos.parse_uci(words[3]):
            try:
                engine.send("position startpos moves " + " ".join(moves + [words[3]]))
                engine.send("go ponder" + clock.go_command(side)[2:])
            except EngineFailure as failure:
                notes.append(str(failure))
                return loss, f"{engine.name} failed", notes
            pondering = (engine, words[3])


def elo(score, games):
    """Elo difference and its 95% margin from a score fraction."""
    p = min(max(score / games, 1e-3), 1 - 1e-3)
    diff = -400 * math.log10(1 / p - 1)
    return diff, p


def margin(results):
    n = len(results)
    mean = sum(results) / n
    var = sum((r - mean) ** 2 for r in results) / max(n - 1, 1)
    se = math.sqrt(var / n)
    clamp = lambda p: min(max(p, 1e-3), 1 - 1e-3)  # noqa: E731
    low, high = clamp(mean - 1.96 * se), clamp(mean + 1.96 * se)
    to_elo = lambda p: -400 * math.log10(1 / p - 1)  # noqa: E731
    return (to_elo(high) - to_elo(low)) / 2


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--engine", default="build/kestrane")
    parser.add_argument("--opponent", required=True)
    parser.add_argument("--games", type=int, default=40)
    parser.add_argument("--tc", default="10+0.1", help="BASE+INC seconds or MOVES/SECONDS")
    parser.add_argument("--hash", type=int, default=32)
    parser.add_argument("--log", default=None, help="file for the moves of every game")
    parser.add_argument("--ponder", action="store_true", help="kestrane ponders on the expected reply")
    parser.add_argument("--hash-cycle", default=None, help="Hash sizes (MB) given to kestrane in turn before each game")
    parser.add_argument("--learning", action="store_true", help="kestrane's Position Learning on")
    parser.add_argument("--opponent-option", action="append", default=[], metavar="NAME=VALUE",
                        help="a UCI option for the opponent, e.g. Threads=1 (may be repeated)")
    parser.add_argument("--openings", default=None,
                        help="file of opening lines, one line of UCI moves each (tools/openings.txt)")
    args = parser.parse_args()
    openings = OPENINGS
    if args.openings:
        with open(args.openings) as lines:
            openings = [line.strip() for line in lines if line.strip() and not line.startswith("#")]

    options = [("Hash", args.hash), ("Ponder", "true" if args.ponder else "false")]
    if args.learning:
        options.append(("Position Learning", "true"))
    hash_cycle = [int(h) for h in args.hash_cycle.split(",")] if args.hash_cycle else []
    ours = Engine(os.path.abspath(args.engine) if os.path.exists(args.engine) else args.engine, "kestrane", options)
    theirs = Engine(args.opponent, os.path.basename(shlex.split(args.opponent)[0]),
                    [("Hash", args.hash), ("Ponder", "false")] +
                    [tuple(option.split("=", 1)) for option in args.opponent_option])
    log = open(args.log, "w") if args.log else open(os.devnull, "w")
    results, events = [], []
    try:
        ours.start()
        theirs.start()
        for game in range(args.games):
            opening = openings[(game // 2) % len(openings)]
            ours_white = game % 2 == 0
            white, black = (ours, theirs) if ours_white else (theirs, ours)
            if hash_cycle:
                ours.send(f"setoption name Hash value {hash_cycle[game % len(hash_cycle)]}")
            log.write(f"[game {game + 1}] {opening} | ")
            result, reason, notes = play_game(white, black, opening, args.tc, log, ours if args.ponder else None)
            log.write(f"| {result} {reason}\n")
            log.flush()
            score = result if ours_white else 1 - result
            results.append(score)
            events += [f"game {game + 1}: {n}" for n in notes]
            print(f"game {game + 1:3d}: kestrane {'white' if ours_white else 'black'} "
                  f"{ {1: 'wins', 0.5: 'draws', 0: 'loses'}[score]} ({reason})", flush=True)
            for engine in (ours, theirs):
                if engine.proc.poll() is not None:
                    events.append(f"game {game + 1}: {engine.name} restarted")
                    engine.start()
    finally:
        ours.stop()
        theirs.stop()
    total = sum(results)
    n = len(results)
    wins, draws = results.count(1), results.count(0.5)
    diff, _ = elo(total, n)
    print(f"\nkestrane vs {theirs.name} at {args.tc}: {total:g}/{n} "
          f"(+{wins} ={draws} -{n - wins - draws}), Elo {diff:+.0f} +/- {margin(results):.0f}")
    print("events:" if events else "events: none (no illegal move, crash or loss on time)")
    for event in events:
        print("  " + event)
    return 1 if any("kestrane" in e for e in events) else 0


if __name__ == "__main__":
    sys.exit(main())
