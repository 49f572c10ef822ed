#!/usr/bin/env python3
"""Protocol stress test of the kestrane program's UCI mode.

  tests/cli/uci_stress_test.py [build/kestrane] [--rounds N] [--seed S]

Sends commands back to back, the way GUIs do (ponder misses and hits, analysis stepping,
go followed at once by stop, setoption and ucinewgame between searches, commands that
arrive mid-search, bad input), and checks on every go that exactly one bestmove comes back,
legal in the position sent with that go (0000 only where there is no legal move), and that
a readyok sent after stop or after a command that needs an idle engine comes after the
bestmoves before it.  Prints the largest stop-to-bestmove time.  Exit status 1 on failure.
"""
import argparse
import os
import random
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import chess_rules  # noqa: E402

HANG_SECONDS = 20  # no answer for this long counts as a hang
WORK_DIR = tempfile.TemporaryDirectory(prefix="kestrane-stress-")  # the engine's learning file goes here


class Search:
    """One go as sent: its position and what must come back."""

    def __init__(self, fen, moves, held, searchmoves):
        pos = chess_rules.Position(fen)
        for m in moves:
            pos = pos.play(pos.parse_uci(m))
        self.pos = pos
        self.label = f"{fen} moves {' '.join(moves)}"
        self.held = held  # ends only by stop (infinite, or ponder without ponderhit)
        self.searchmoves = searchmoves
        self.stop_sent = None


class Engine:
    def __init__(self, path, env=None):
        self.proc = subprocess.Popen([os.path.abspath(path)], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                     text=True, bufsize=1, env=env, cwd=WORK_DIR.name)
        self.lock = threading.Condition()
        self.pending = []        # gos without their bestmove yet, oldest first
        self.gos = 0
        self.bestmoves = 0
        self.readies = []        # per isready sent: bestmoves that must precede its readyok
        self.answered = 0
        self.must_precede = 0    # gos that a readyok sent now must follow
        self.failures = []
        self.stop_times = []
        self.ended = False
        self.fen, self.moves = chess_rules.START_FEN, []
        threading.Thread(target=self._read, daemon=True).start()

    def fail(self, text):
        self.failures.append(text)
        print("FAIL", text, flush=True)

    def _read(self):
        for line in self.proc.stdout:
            now = time.monotonic()
            line = line.rstrip("\n")
            with self.lock:
                if line.startswith("bestmove"):
                    self._bestmove(line, now)
                elif line == "readyok":
                    self._readyok()
                self.lock.notify_all()
        with self.lock:
            self.ended = True
            self.lock.notify_all()

    def _bestmove(self, line, now):
        self.bestmoves += 1
        if not self.pending:
            self.fail(f"a bestmove with no go waiting for one: {line}")
            return
        search = self.pending.pop(0)
        words = line.split()
        legal = search.pos.legal_moves()
        if len(words) < 2:
            self.fail(f"bestmove without a move: {line}")
        elif words[1] == "0000":
            if legal:
                self.fail(f"bestmove 0000 where moves are legal: {search.label}")
        elif search.pos.parse_uci(words[1]) is None:
            self.fail(f"{line} is not legal in {search.label}")
        elif search.searchmoves and words[1] not in search.searchmoves:
            self.fail(f"{line} is not among searchmoves {search.searchmoves}")
        if search.held and search.stop_sent is not None:
            self.stop_times.append((now - search.stop_sent, search.label))

    def _readyok(self):
        if self.answered >= len(self.readies):
            self.fail("a readyok without an isready")
            return
        needed = self.readies[self.answered]
        self.answered += 1
        if self.bestmoves < needed:
            self.fail(f"readyok came before the bestmove it must follow ({self.bestmoves} of {needed})")

    def send(self, text):
        with self.lock:
            word = text.split()[0] if text.split() else ""
            if word in ("stop", "quit", "position", "go", "setoption", "ucinewgame"):
                now = time.monotonic()
                for search in self.pending:
                    if search.stop_sent is None:
                        search.stop_sent = now
                self.must_precede = self.gos - (word == "go")  # go() counts its go first
            if word == "ponderhit":
                for search in self.pending:
                    search.held = search.held and "infinite" in search.label
            if word == "isready":
                self.readies.append(self.must_precede)
            self.proc.stdin.write(text + "\n")
            self.proc.stdin.flush()

    def position(self, fen=None, moves=()):
        self.fen, self.moves = fen or chess_rules.START_FEN, list(moves)
        base = "position startpos" if fen is None else f"position fen {fen}"
        self.send(base + (" moves " + " ".join(moves) if moves else ""))

    def go(self, params, searchmoves=(), restricted=True):
        """Sends a go; restricted False: the searchmoves words are junk and every move may come back."""
        held = "infinite" in params or "ponder" in params.split()
        search = Search(self.fen, self.moves, held, list(searchmoves) if restricted else [])
        search.label += f" (go {params})"
        with self.lock:
            self.pending.append(search)
            self.gos += 1
        self.send("go " + params + (" searchmoves " + " ".join(searchmoves) if searchmoves else ""))

    def sync(self, what):
        """isready, then wait for every readyok; a missing answer is a hang."""
        self.send("isready")
        deadline = time.monotonic() + HANG_SECONDS
        with self.lock:
            while self.answered < len(self.readies) and not self.ended:
                if not self.lock.wait(timeout=max(deadline - time.monotonic(), 0.01)) and time.monotonic() > deadline:
                    break
            if self.answered < len(self.readies):
                self.fail(f"{what}: no readyok within {HANG_SECONDS} s")
                return False
        return True

    def settle(self, what):
        """Waits until every go has its bestmove (the searches left must end by themselves)."""
        deadline = time.monotonic() + HANG_SECONDS
        with self.lock:
            while self.pending and not self.ended and time.monotonic() < deadline:
                self.lock.wait(timeout=0.05)
            if self.pending:
                self.fail(f"{what}: {len(self.pending)} go(s) without a bestmove after {HANG_SECONDS} s")
                self.pending.clear()


def random_game(rng, plies):
    pos, moves = chess_rules.Position(), []
    for _ in range(plies):
        legal = pos.legal_moves()
        if not legal:
            break
        move = rng.choice(legal)
        moves.append(chess_rules.move_text(move))
        pos = pos.play(move)
    return moves


def pause(rng, most):
    time.sleep(rng.random() * most)


def ponder_miss(e, rng):
    game = random_game(rng, rng.randrange(2, 20))
    e.position(moves=game)
    e.go("ponder wtime 4000 btime 4000 winc 50 binc 50")
    pause(rng, 0.05)
    e.send("stop")
    other = game[:-1] + [m for m in (random_game_from(game[:-1], rng),) if m]
    e.position(moves=other)
    e.go("wtime 300 btime 300 winc 10 binc 10")


def random_game_from(moves, rng):
    pos = chess_rules.Position()
    for m in moves:
        pos = pos.play(pos.parse_uci(m))
    legal = pos.legal_moves()
    return chess_rules.move_text(rng.choice(legal)) if legal else None


def ponder_hit(e, rng):
    e.position(moves=random_game(rng, rng.randrange(1, 20)))
    e.go("ponder wtime 300 btime 300")
    e.send("ponderhit")


def analysis_stepping(e, rng):
    game = random_game(rng, 12)
    e.position()
    e.go("infinite")
    for k in range(1, len(game) + 1):
        e.send("stop")
        e.position(moves=game[:k])
        e.go("infinite")
        pause(rng, 0.02)
    e.send("stop")


def go_then_stop(e, rng):
    e.position(moves=random_game(rng, rng.randrange(0, 30)))
    e.go(rng.choice(["infinite", "depth 30", "wtime 60000 btime 60000", "ponder wtime 5000 btime 5000", "mate 9"]))
    e.send("stop")


def options_between(e, rng):
    e.position(moves=random_game(rng, 6))
    e.go("depth 3")
    e.send("setoption name MultiPV value " + str(rng.choice([1, 2, 3])))
    e.send("ucinewgame")
    e.position(moves=random_game(rng, 8))
    e.go("movetime 30")
    e.send("setoption name Hash value " + str(rng.choice([8, 16, 32])))
    e.send("setoption name Clear Hash")
    e.position(moves=random_game(rng, 4))
    e.go("nodes 3000")
    e.send("setoption name MultiPV value 1")


def mid_search_commands(e, rng):
    e.position(moves=random_game(rng, 5))
    e.go("infinite")
    pause(rng, 0.03)
    e.position(moves=random_game(rng, 7))  # no stop: the running search ends first
    e.go("depth 4")
    e.go("infinite")
    e.send("ucinewgame")
    e.go("movetime 20")


def bad_input(e, rng):
    e.send("stop")
    e.send("ponderhit")
    e.position(moves=random_game(rng, 3))
    e.go("depth 3", searchmoves=["a1a1", "zz", "e9e5"], restricted=False)  # none legal: every move is searched
    e.go("depth 2", searchmoves=[random_game_from(e.moves, rng)])
    for fen in ("7k/6Q1/6K1/8/8/8/8/8 b - - 0 1", "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1"):
        e.position(fen)
        e.go(rng.choice(["infinite", "wtime 1000 btime 1000", "ponder wtime 1000 btime 1000", "depth 5"]))
        e.send("stop")
    e.send("position fen 8/8/8/8/8/8/8/8 w - - 0 1")  # refused: the mated position stays
    e.go("depth 2")
    e.send("ponderhit")
    e.send("frobnicate")
    e.go("wtime abc btime")
    e.position()


SEQUENCES = [ponder_miss, ponder_hit, analysis_stepping, go_then_stop, options_between, mid_search_commands,
             bad_input]


def end_of_input(path, env, closing):
    """A search running when the input ends (or quit arrives) gives its bestmove; the program exits."""
    e = Engine(path, env)
    e.send("uci")
    e.position(moves=["e2e4"])
    e.go("infinite")
    time.sleep(0.2)
    if closing == "quit":
        e.send("quit")
    e.proc.stdin.close()
    try:
        status = e.proc.wait(timeout=HANG_SECONDS)
    except subprocess.TimeoutExpired:
        e.proc.kill()
        status = None
    e.settle(f"end of input ({closing})")
    if status != 0:
        e.fail(f"end of input ({closing}): exit status {status}")
    if e.bestmoves != 1:
        e.fail(f"end of input ({closing}): {e.bestmoves} bestmoves for one go")
    return e.failures


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program", nargs="?", default="build/kestrane")
    parser.add_argument("--rounds", type=int, default=6)
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    env = dict(os.environ)

    e = Engine(args.program, env)
    e.send("uci")
    e.send("setoption name Position Learning value false")
    e.sync("start")
    for round_number in range(args.rounds):
        order = SEQUENCES[:]
        rng.shuffle(order)
        for sequence in order:
            sequence(e, rng)
            if rng.random() < 0.5:
                e.sync(f"round {round_number} {sequence.__name__}")
        e.sync(f"round {round_number}")
        e.settle(f"round {round_number}")
    e.send("quit")
    try:
        e.proc.wait(timeout=HANG_SECONDS)
    except subprocess.TimeoutExpired:
        e.proc.kill()
        e.fail("quit did not end the program")
    failures = e.failures[:]
    if e.gos != e.bestmoves:
        failures.append(f"{e.gos} gos but {e.bestmoves} bestmoves")
        print("FAIL", failures[-1])
    for closing in ("eof", "quit"):
        failures += end_of_input(args.program, env, closing)

    worst, label = max(e.stop_times) if e.stop_times else (0.0, "")
    print(f"{e.gos} searches, {len(e.stop_times)} stopped; largest stop-to-bestmove time {worst * 1000:.1f} ms"
          f" ({label})")
    if worst > HANG_SECONDS:
        failures.append("a stop went unanswered")
    print(f"{len(failures)} failures" if failures else "all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
