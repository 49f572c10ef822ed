#!/usr/bin/env python3
"""The kestrane program driven by a real GUI: xboard with the polyglot adapter, headless
under Xvfb.

  tests/cli/xboard_test.py [build/kestrane] [--opponent stockfish] [--keep DIR]

1. A full game at 10 s + 0.1 s against a Debian engine with pondering on: it must end with
   a result, not by a forfeit (time, illegal move, crash or disconnection).
2. An analysis session: xboard steps through a game's positions ("Analyze File"), which
   polyglot turns into stop, position and go infinite sent back to back.
In both, polyglot's log of the traffic with kestrane must show exactly one bestmove for
every go, legal in the position sent with that go.  Exit status 1 on failure.
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools"))
import chess_rules  # noqa: E402

FAILURES = []
GAME_SECONDS = 240       # a 10 s + 0.1 s game lasts well under this
ANALYSIS_SECONDS = 120
ANALYSIS_DELAY = 0.3     # seconds per position

OPERA_GAME = """[Event "Paris"]
[White "Paul Morphy"]
[Black "Duke Karl / Count Isouard"]
[Result "1-0"]

1. e4 e5 2. Nf3 d6 3. d4 Bg4 4. dxe5 Bxf3 5. Qxf3 dxe5 6. Bc4 Nf6 7. Qb3 Qe7
8. Nc3 c6 9. Bg5 b5 10. Nxb5 cxb5 11. Bxb5+ Nbd7 12. O-O-O Rd8 13. Rxd7 Rxd7
14. Rd1 Qe6 15. Bxd7+ Nxd7 16. Qb8+ Nxb8 17. Rd8# 1-0
"""
OPERA_PLIES = 33


def check(name, ok, detail=""):
    print(f"{'ok  ' if ok else 'FAIL'} {name}{'' if ok or not detail else ': ' + detail}", flush=True)
    if not ok:
        FAILURES.append(name)


def engine_dir(work, name, program):
    path = os.path.join(work, name)
    os.makedirs(path)
    if program:
        shutil.copy(program, path)
    return path


def xboard(work, arguments, seconds, done=None):
    """Runs xboard under Xvfb until it exits, done() holds, or the time is up; its exit status
    or None when it had to be ended."""
    env = dict(os.environ, HOME=work, PATH=os.environ.get("PATH", "") + ":/usr/games")
    adapter = 'polyglot -noini -ec "%fcp" -ed "%fd" -log true -lf "%fd/polyglot.log"'
    command = ["xvfb-run", "-a", "xboard", "-noGUI", "-xexit", "-saveSettingsOnExit", "false",
               "-soundProgram", "true", "-adapterCommand", adapter, "-debug", "-nameOfDebugFile",
               os.path.join(work, "xboard.debug")] + arguments
    with open(os.path.join(work, "xboard.out"), "w") as out:
        proc = subprocess.Popen(command, cwd=work, env=env, stdout=out, stderr=subprocess.STDOUT,
                                start_new_session=True)
        deadline = time.monotonic() + seconds
        while proc.poll() is None and time.monotonic() < deadline and not (done and done()):
            time.sleep(0.2)
        if proc.poll() is not None:
            return proc.returncode
        os.killpg(proc.pid, signal.SIGTERM)
        try:
            proc.wait(timeout=10)
        except subprocess.TimeoutExpired:
            os.killpg(proc.pid, signal.SIGKILL)
            proc.wait()
        return None


def traffic(log_path):
    """(direction, text) of every UCI line in a polyglot log; direction '>' to the engine."""
    lines = []
    if not os.path.exists(log_path):
        return lines
    with open(log_path, errors="replace") as log:
        for line in log:
            m = re.match(r"\S+ (Adapter->Engine|Engine->Adapter): (.*)$", line.rstrip("\n"))
            if m:
                lines.append((">" if m.group(1) == "Adapter->Engine" else "<", m.group(2).strip()))
    return lines


def check_every_go(name, lines, running_at_end):
    """Exactly one legal bestmove per go, in the position sent before it; returns the counts."""
    position = chess_rules.Position()
    label = "startpos"
    pending = []
    problems = []
    gos = bestmoves = 0
    for direction, text in lines:
        words = text.split()
        if not words:
            continue
        if direction == ">" and words[0] == "position":
            position, label = parse_position(words), text
        elif direction == ">" and words[0] == "go":
            gos += 1
            pending.append((position, label, text))
        elif direction == "<" and words[0] == "bestmove":
            bestmoves += 1
            if not pending:
                problems.append(f"{text} answers no go")
                continue
            pos, where, go = pending.pop(0)
            move = words[1] if len(words) > 1 else ""
            if move == "0000" and pos is not None and not pos.legal_moves():
                continue
            if pos is None or pos.parse_uci(move) is None:
                problems.append(f"'{text}' is not legal after '{where}' ({go})")
    if len(pending) > (1 if running_at_end else 0):
        problems.append(f"{len(pending)} go(s) without a bestmove")
    check(f"{name}: one legal bestmove for each of {gos} gos", not problems, "; ".join(problems[:3]))
    return gos, bestmoves


def parse_position(words):
    try:
        if words[1] == "startpos":
            pos, rest = chess_rules.Position(), words[2:]
        else:
            end = words.index("moves") if "moves" in words else len(words)
            pos, rest = chess_rules.Position(" ".join(words[2:end])), words[end:]
        for move in rest[1:] if rest and rest[0] == "moves" else []:
            pos = pos.play(pos.parse_uci(move))
        return pos
    except (IndexError, ValueError, TypeError, KeyError):
        return None


def play_game(work, program, opponent):
    first = engine_dir(work, "kestrane", program)
    second = engine_dir(work, "opponent", None)
    pgn = os.path.join(work, "game.pgn")
    status = xboard(work, ["-fcp", os.path.join(first, os.path.basename(program)), "-fd", first, "-fUCI",
                           "-scp", opponent, "-sd", second, "-sUCI", "-tc", "0:10", "-inc", "0.1", "-mg", "1",
                           "-ponderNextMove", "true", "-autoCallFlag", "true", "-sgf", pgn], GAME_SECONDS)
    check("game: xboard ends the match by itself", status == 0, f"status {status}")
    text = open(pgn).read() if os.path.exists(pgn) else ""
    result = re.search(r'\[Result "([^"]*)"\]', text)
    check("game: a result", result is not None and result.group(1) in ("1-0", "0-1", "1/2-1/2"),
          result.group(1) if result else "no game record")
    ending = re.findall(r"\{([^{}]*)\}\s*(?:1-0|0-1|1/2-1/2|\*)\s*$", text)
    reason = ending[-1] if ending else ""
    bad = [w for w in ("forfeit", "on time", "illegal", "Illegal", "exit", "disconnect", "crash", "abort")
           if w in reason]
    check("game: ended on the board, not by a forfeit", bool(reason) and not bad, reason or "no reason given")
    print(f"     {result.group(1) if result else '?'} {reason}")
    lines = traffic(os.path.join(first, "polyglot.log"))
    check_every_go("game", lines, running_at_end=True)
    ponders = sum(1 for d, t in lines if d == ">" and t.startswith("go") and "ponder" in t.split())
    redirects = sum(1 for d, t in lines if d == ">" and t in ("stop", "ponderhit"))
    check("game: kestrane pondered (go ponder, then ponderhit or stop)", ponders > 0 and redirects > 0,
          f"{ponders} ponder searches, {redirects} stops and ponderhits")


def analyse_game(work, program):
    first = engine_dir(work, "kestrane", program)
    pgn = os.path.join(work, "opera.pgn")
    with open(pgn, "w") as f:
        f.write(OPERA_GAME)
    log = os.path.join(first, "polyglot.log")

    def stepped_through():
        lines = traffic(log)
        gos = sum(1 for d, t in lines if d == ">" and t.startswith("go"))
        return gos >= OPERA_PLIES - 1 and any(d == "<" and t.startswith("bestmove") for d, t in lines[-3:])

    xboard(work, ["-fcp", os.path.join(first, os.path.basename(program)), "-fd", first, "-fUCI",
                  "-mode", "AnalyzeFile", "-lgf", pgn, "-td", str(ANALYSIS_DELAY)], ANALYSIS_SECONDS,
           done=stepped_through)
    lines = traffic(log)
    gos, _ = check_every_go("analysis", lines, running_at_end=True)
    infinite = sum(1 for d, t in lines if d == ">" and t.startswith("go") and "infinite" in t.split())
    check("analysis: every position of the game analysed", infinite >= OPERA_PLIES - 1,
          f"{infinite} go infinite for {OPERA_PLIES} plies")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program", nargs="?", default="build/kestrane")
    parser.add_argument("--opponent", default="stockfish")
    parser.add_argument("--keep", help="leave the logs in this directory")
    args = parser.parse_args()
    program = os.path.abspath(args.program)
    work = args.keep or tempfile.mkdtemp(prefix="kestrane-xboard-")
    os.makedirs(work, exist_ok=True)
    try:
        for name, run in (("game", lambda d: play_game(d, program, args.opponent)),
                          ("analysis", lambda d: analyse_game(d, program))):
            os.makedirs(os.path.join(work, name))
            run(os.path.join(work, name))
    finally:
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)
    print(f"\n{len(FAILURES)} failed" if FAILURES else "\nall checks passed")
    return 1 if FAILURES else 0


if __name__ == "__main__":
    sys.exit(main())
