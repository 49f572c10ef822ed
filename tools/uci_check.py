#!/usr/bin/env python3
"""Checks the kestrane program's UCI behaviour from the outside.

  tools/uci_check.py [build/kestrane]

Runs the program, drives it through the protocol (searches that are stopped, pondered,
interrupted by junk), and checks every bestmove with the referee's rules.  Prints one line
per check and exits 1 when any check fails.
"""
import os
import queue
import resource
import shutil
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import chess_rules  # noqa: E402

FAILURES = []


class Program:
    def __init__(self, path, memory_limit=None):
        def limit():
            resource.setrlimit(resource.RLIMIT_AS, (memory_limit, memory_limit))
        self.proc = subprocess.Popen([path], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1,
                                     preexec_fn=limit if memory_limit else None)
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.proc.stdout:
            self.lines.put((time.monotonic(), line.rstrip("\n")))
        self.lines.put((time.monotonic(), None))

    def send(self, text):
        self.proc.stdin.write(text + "\n")
        self.proc.stdin.flush()
        return time.monotonic()

    def collect(self, prefix, timeout):
        """Lines up to and including the first that starts with prefix; (lines, time) or (lines, None)."""
        seen = []
        deadline = time.monotonic() + timeout
        while True:
            try:
                at, line = self.lines.get(timeout=max(deadline - time.monotonic(), 0.001))
            except queue.Empty:
                return seen, None
            if line is None:
                return seen, None
            seen.append(line)
            if line.startswith(prefix):
                return seen, at

    def quiet_for(self, prefix, seconds):
        lines, at = self.collect(prefix, seconds)
        return at is None, lines


def check(name, ok, detail=""):
    print(f"{'ok  ' if ok else 'FAIL'} {name}{'' if ok or not detail else ': ' + detail}", flush=True)
    if not ok:
        FAILURES.append(name)


def legal_in(fen, moves, bestmove_line):
    pos = chess_rules.Position(fen)
    for m in moves:
        pos = pos.play(pos.parse_uci(m))
    words = bestmove_line.split()
    if len(words) < 2:
        return False
    if words[1] == "0000":
        return not pos.legal_moves()
    move = pos.parse_uci(words[1])
    if move is None:
        return False
    if len(words) >= 4 and words[2] == "ponder":
        return pos.play(move).parse_uci(words[3]) is not None
    return True


KQKR_WIN = "8/8/8/8/3k4/8/4r3/K6Q w - - 0 1"  # White mates in 34


def tablebase_answer(p, command, timeout=60):
    p.send(command)
    lines, at = p.collect("info string Nalimov", timeout)
    return lines[-1] if at is not None else "(no answer)"


def check_tablebases(p, path):
    """NalimovPath and NalimovCache register KQKR tables written by `kestrane tb gen`."""
    tables = tempfile.mkdtemp(prefix="kestrane_uci_tables_")
    try:
        made = subprocess.run([path, "tb", "gen", "--out", tables, "kqkr"], capture_output=True, text=True,
                              timeout=600)
        check("kestrane tb gen writes the KQKR tables", made.returncode == 0, made.stderr[-300:])
        four = "tablebases of up to 4 pieces available"
        answer = tablebase_answer(p, f"setoption name NalimovPath value {tables}")
        check("NalimovPath registers the tables and says how many pieces they cover",
              answer == f"info string NalimovPath: {four}", answer)

        p.send("ucinewgame")
        p.send(f"position fen {KQKR_WIN}")
        p.send("go depth 10")
        lines, at = p.collect("bestmove", 60)
        check("a KQKR search names the table's result in an info string",
              "info string tablebase: +M34" in lines, " | ".join(lines[:3]))
        check("its lines report the table's mate with tbhits", at is not None
              and any(" score mate 34 " in l and " tbhits " in l for l in lines if l.startswith("info depth"))
              and legal_in(KQKR_WIN, [], lines[-1]), lines[-2] if len(lines) > 1 else "")
        # The closing line is the one before bestmove; it leaves out nps when the search took 0 ms.
        closing = lines[-2] if len(lines) > 1 else ""
        check("the search's closing line counts the tbhits",
              closing.startswith("info ") and " hashfull " in closing and " tbhits " in closing, closing)

        # Every accepted setting registers the files again; bad values change nothing.
        cases = [("NalimovPath value <empty>", "NalimovPath: no tablebases available"),
                 (f"NalimovPath value /no/such/dir;{tables}", f"NalimovPath: {four}"),
                 ("nalimovcache value 64", f"NalimovCache: {four}"),
                 ("NalimovCache value 0", "NalimovCache: '0' is not a size from 1 to 1024 MB; nothing changed"),
                 ("NalimovCache value 2000", "NalimovCache: '2000' is not a size from 1 to 1024 MB; nothing changed"),
                 ("NalimovCache value lots", "NalimovCache: 'lots' is not a size from 1 to 1024 MB; nothing changed"),
                 ("NalimovPath value " + "x" * 600,
                  "NalimovPath: a path list of 600 characters is longer than 511; nothing changed"),
                 ("NalimovPath value", "NalimovPath: no tablebases available"),
                 (f"NalimovPath value {tables}", f"NalimovPath: {four}")]
        for setting, expected in cases:
            answer = tablebase_answer(p, f"setoption name {setting}")
            check(f"setoption name {setting[:40]} is answered", answer == f"info string {expected}", answer)
        p.send(f"position fen {KQKR_WIN}")
        p.send("go depth 6")
        lines, at = p.collect("bestmove", 60)
        check("after the bad settings the tables are still probed", any(" tbhits " in l for l in lines))

        run = subprocess.run([path, "analyse", "--fen", KQKR_WIN, "--depth", "6", "--path", tables],
                             capture_output=True, text=True, timeout=60)
        check("kestrane analyse --path probes the tables", run.returncode == 0
              and "info string tablebase: +M34" in run.stdout and " score mate 34 " in run.stdout, run.stdout[-300:])
    finally:
        shutil.rmtree(tables, ignore_errors=True)


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "build/kestrane"
    p = Program(path)

    p.send("uci")
    lines, at = p.collect("uciok", 10)
    check("uci answers id, options and uciok", at is not None and "id name Kestrane 9" in lines
          and any(l.startswith("option name Hash") for l in lines)
          and any(l.startswith("option name MultiPV") for l in lines)
          and "option name NalimovPath type string default <empty>" in lines
          and "option name NalimovCache type spin default 32 min 1 max 1024" in lines
          and sum(l.startswith("option name") for l in lines) == 36, f"{len(lines)} lines")
    p.send("isready")
    check("isready", p.collect("readyok", 5)[1] is not None)

    start = chess_rules.START_FEN
    p.send("position startpos")
    p.send("go infinite")
    quiet, lines = p.quiet_for("bestmove", 2.0)
    check("go infinite does not end by itself", quiet)
    sent = p.send("isready")
    _, at = p.collect("readyok", 2)
    check("isready is answered during a search", at is not None and at - sent < 0.1)
    p.send("go infinite")
    lines, at = p.collect("bestmove", 2)
    check("go while searching stops that search first, naming it in an info string",
          at is not None and any("stopped first" in l for l in lines if "info string" in l)
          and legal_in(start, [], lines[-1]), lines[-1] if lines else "")
    quiet, lines = p.quiet_for("bestmove", 1.0)
    check("the new go infinite runs", quiet)
    sent = p.send("stop")
    lines, at = p.collect("bestmove", 2)
    check("bestmove follows stop within 100 ms", at is not None and at - sent < 0.1,
          f"{(at - sent) * 1000:.0f} ms" if at else "no bestmove")
    check("that bestmove is legal", at is not None and legal_in(start, [], lines[-1]), lines[-1] if lines else "")

    p.send("position startpos moves e2e4")
    p.send("go ponder wtime 5000 btime 5000")
    quiet, _ = p.quiet_for("bestmove", 1.5)
    check("go ponder does not end by itself", quiet)
    sent = p.send("ponderhit")
    lines, at = p.collect("bestmove", 6)
    check("ponderhit turns pondering into a timed search", at is not None and at - sent < 5.0,
          f"{(at - sent) * 1000:.0f} ms" if at else "no bestmove")
    check("the pondered bestmove is legal", at is not None and legal_in(start, ["e2e4"], lines[-1]))

    p.send("go ponder wtime 5000 btime 5000")
    time.sleep(0.3)
    sent = p.send("stop")
    lines, at = p.collect("bestmove", 2)
    check("stop ends a ponder search at once", at is not None and at - sent < 0.1)

    # A stop sent right after go must not be lost.
    p.send("position startpos")
    p.send("go infinite")
    sent = p.send("stop")
    lines, at = p.collect("bestmove", 2)
    check("stop at once after go", at is not None and at - sent < 0.2 and legal_in(start, [], lines[-1]))

    p.send("stop")
    p.send("ponderhit")
    p.send("isready")
    lines, at = p.collect("readyok", 2)
    check("stop and ponderhit without a search change nothing and are named", at is not None
          and not any(l.startswith("bestmove") for l in lines)
          and sum(l.startswith("info string") and "no search" in l for l in lines) == 2, " | ".join(lines))

    junk = ["frobnicate", "go wtime abc btime", "position fen xyz", "position fen 8/8/8/8/8/8/8/8 w - -",
            "setoption name NoSuchOption value 3", "setoption name Hash value banana", "setoption",
            "position startpos moves e2e4 e7e5 zz99 g1f3 " + "a" * 100000, "go searchmoves", "debug maybe",
            "\t  \t", "x" * 200000]
    for line in junk:
        p.send(line)
    p.send("isready")
    lines, at = p.collect("readyok", 10)
    strings = [l for l in lines if l.startswith("info string")]
    check("junk commands are answered with info strings", at is not None and len(strings) >= 7,
          f"{len(strings)} info strings")
    p.send("go depth 3")
    lines, at = p.collect("bestmove", 10)
    check("after the junk the game continues", at is not None
          and legal_in(start, ["e2e4", "e7e5", "g1f3"], lines[-1]), lines[-1] if lines else "")

    p.send("position startpos moves e2e4")
    p.send("go depth 4 searchmoves d7d5 e2e4 zz")
    lines, at = p.collect("bestmove", 10)
    check("searchmoves restricts the root", at is not None and lines[-1].split()[1] == "d7d5", lines[-1] if lines else "")
    check("an illegal searchmoves word is named", any("searchmoves" in l for l in lines if "info string" in l))

    for name, fen in (("mated", "7k/6Q1/6K1/8/8/8/8/8 b - - 0 1"), ("stalemated", "7k/5Q2/6K1/8/8/8/8/8 b - - 0 1")):
        p.send(f"position fen {fen}")
        sent = p.send("go wtime 10000 btime 10000")
        lines, at = p.collect("bestmove", 5)
        check(f"a {name} root ends at once with bestmove 0000", at is not None and at - sent < 0.5
              and lines[-1].split()[:2] == ["bestmove", "0000"], lines[-1] if lines else "")

    mates = [("mate in 1", "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1", 1, "d1d8"),
             ("mate in 2", "r2qkb1r/pp2nppp/3p4/2pNN1B1/2BnP3/3P4/PPP2PPP/R2bK2R w KQkq - 1 1", 2, "d5f6"),
             ("mate in 3", "r5rk/5p1p/5R2/4B3/8/8/7P/7K w - - 0 1", 3, None)]
    for name, fen, k, mating in mates:
        p.send("ucinewgame")
        p.send(f"position fen {fen}")
        p.send(f"go depth {2 * k + 1}")
        lines, at = p.collect("bestmove", 60)
        scores = [l for l in lines if f"score mate {k} " in l and "bound" not in l]
        ok = at is not None and scores and legal_in(fen, [], lines[-1])
        if ok and mating:
            ok = lines[-1].split()[1] == mating
        if ok:
            pos = chess_rules.Position(fen)
            after = pos.play(pos.parse_uci(lines[-1].split()[1]))
            ok = k > 1 or (not after.legal_moves() and after.in_check())
        check(f"{name}: score mate {k} by depth {2 * k + 1} and the mating move", bool(ok),
              lines[-1] if lines else "")

    # go mate N ends at the first exact mate score of N moves or fewer: no deeper line follows it.
    for name, fen, k, _ in mates:
        p.send("ucinewgame")
        p.send(f"position fen {fen}")
        p.send(f"go mate {k}")
        lines, at = p.collect("bestmove", 60)
        proof = next((i for i, l in enumerate(lines) if f"score mate {k} " in l and "bound" not in l
                      and l.startswith("info depth")), None)
        deeper = [l for l in lines[proof + 1:] if proof is not None and l.startswith("info depth")
                  and int(l.split()[2]) > int(lines[proof].split()[2])]
        check(f"go mate {k} ends at the proof of the {name}", at is not None and proof is not None and not deeper
              and legal_in(fen, [], lines[-1]), (deeper or lines[-1:] or [""])[0])

    # The depths at which the search first sees the mate (the rook mate's quiet king move
    # is pruned below depth 9).
    for fen, k, depth in (("7k/8/6KQ/8/8/8/8/8 b - - 0 1", 1, 4), ("6k1/8/6K1/8/8/8/8/R7 b - - 0 1", 2, 10)):
        p.send(f"position fen {fen}")
        p.send(f"go depth {depth}")
        lines, at = p.collect("bestmove", 10)
        check(f"the side mated in {k} reports mate -{k}", at is not None
              and any(f"score mate -{k} " in l and "bound" not in l for l in lines), lines[-2] if len(lines) > 1 else "")

    check_tablebases(p, path)

    p.send("setoption name Hash value 64")
    lines, at = p.collect("info string Hash", 10)
    check("a Hash change is answered with the sizes in force", at is not None
          and lines[-1] == "info string Hash: transposition table 52429 KB, evaluation cache 13107 KB",
          lines[-1] if lines else "")

    p.send("quit")
    try:
        status = p.proc.wait(timeout=5)
    except subprocess.TimeoutExpired:
        status = None
    check("quit ends the program", status == 0, f"status {status}")

    # 4096 MB cannot be had in 512 MB of address space: both tables fall back to smaller
    # ones, the program says so, and it still plays.
    small = Program(path, memory_limit=512 * 1024 * 1024)
    small.send("setoption name Hash value 4096")
    lines, at = small.collect("info string Hash", 30)
    check("short of memory, the Hash answer names the smaller tables in force", at is not None
          and lines[-1] == "info string Hash: transposition table 3072 KB, evaluation cache 1024 KB",
          lines[-1] if lines else "")
    small.send("position startpos")
    small.send("go depth 4")
    lines, at = small.collect("bestmove", 30)
    check("with the smaller tables the search still plays", at is not None and legal_in(start, [], lines[-1]),
          lines[-1] if lines else "")
    small.send("quit")
    try:
        small.proc.wait(timeout=5)
    except subprocess.TimeoutExpired:
        small.proc.kill()
    print(f"\n{len(FAILURES)} failed" if FAILURES else "\nall checks passed")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
