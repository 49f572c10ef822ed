#!/usr/bin/env bash
# Search and perft speed against peer engines, measured in one run on one core.
#
# Search: kestrane and toga2 search the same position at the same time, pinned to the same
# core (so whatever else loads the machine slows both alike), one thread and 32 MB of hash
# each, `go movetime` SECONDS. Nodes per second is the last reported node count over the
# process's own CPU time (user + system), so time slices lost to the other engine or to
# other load do not count. Printed per position: both rates and kestrane/toga2.
#
# Perft: `kestrane perft DEPTH` and stockfish's `go perft DEPTH` on the start position, one
# after the other on the same core, nodes over CPU time (less each program's start-up, the
# CPU time of a perft 1 run), and their ratio.
#
# Usage: bench/speed.sh [SECONDS] [PERFT_DEPTH]     (defaults 3 and 6)
# Environment: KESTRANE, TOGA2, STOCKFISH (programs), CORE (default 1).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
export SPEED_SECONDS=${1:-3}
export SPEED_PERFT_DEPTH=${2:-6}
export KESTRANE=${KESTRANE:-$here/build/kestrane}
export TOGA2=${TOGA2:-$(command -v toga2 || echo /usr/games/toga2)}
export STOCKFISH=${STOCKFISH:-$(command -v stockfish || echo /usr/games/stockfish)}
export CORE=${CORE:-1}

for program in "$KESTRANE" "$TOGA2" "$STOCKFISH"; do
  [ -x "$program" ] || { echo "speed.sh: no program at $program" >&2; exit 2; }
done
command -v taskset >/dev/null || { echo "speed.sh: taskset (util-linux) is needed" >&2; exit 2; }

exec python3 - <<'EOF'
import os, re, subprocess, sys, threading

seconds = float(os.environ["SPEED_SECONDS"])
depth = int(os.environ["SPEED_PERFT_DEPTH"])
core = os.environ["CORE"]
kestrane, toga2, stockfish = os.environ["KESTRANE"], os.environ["TOGA2"], os.environ["STOCKFISH"]

positions = [
    ("start position", "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1"),
    ("Kiwipete", "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1"),
    ("endgame", "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1"),
]

setup = {
    kestrane: ["setoption name Hash value 32", "setoption name Ponder value false",
               "setoption name Position Learning value false"],
    toga2: ["setoption name Hash value 32", "setoption name Ponder value false",
            "setoption name OwnBook value false", "setoption name Number of Threads value 1"],
}


def cpu_seconds(pid):
    # utime + stime of a live process, in clock ticks (fields 14 and 15 of /proc/PID/stat).
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def search(program, fen, result):
    p = subprocess.Popen(["taskset", "-c", core, program], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                         text=True, bufsize=1)
    def send(line):
        p.stdin.write(line + "\n")
        p.stdin.flush()
    def wait_for(word):
        for line in p.stdout:
            if line.startswith(word):
                return line
            m = re.search(r"\bnodes (\d+)", line)
            if m:
                result["nodes"] = int(m.group(1))
        raise RuntimeError(f"{program} ended before '{word}'")
    send("uci")
    wait_for("uciok")
    for line in setup[program]:
        send(line)
    send("isready")
    wait_for("readyok")
    send("position fen " + fen)
    send("isready")
    wait_for("readyok")
    start = cpu_seconds(p.pid)
    send(f"go movetime {int(seconds * 1000)}")
    wait_for("bestmove")
    result["cpu"] = cpu_seconds(p.pid) - start
    send("quit")
    p.wait()


print(f"search, {seconds:g} s per position, kestrane and toga2 side by side on core {core}")
ratios = []
for name, fen in positions:
    results = {kestrane: {}, toga2: {}}
    threads = [threading.Thread(target=search, args=(prog, fen, results[prog])) for prog in (kestrane, toga2)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    k, t = results[kestrane], results[toga2]
    if "cpu" not in k or "cpu" not in t or not k.get("nodes") or not t.get("nodes"):
        sys.exit(f"speed.sh: a search on {name} reported no nodes or did not finish")
    knps, tnps = k["nodes"] / k["cpu"], t["nodes"] / t["cpu"]
    ratios.append(knps / tnps)
    print(f"  {name:15s} kestrane {knps / 1e6:5.2f} Mnps  toga2 {tnps / 1e6:5.2f} Mnps  ratio {knps / tnps:.2f}")
print("  search ratios kestrane/toga2: " + " ".join(f"{r:.2f}" for r in ratios))


def timed(command, stdin_text=None):
    before = os.times()
    out = subprocess.run(["taskset", "-c", core] + command, input=stdin_text, capture_output=True, text=True).stdout
    after = os.times()
    cpu = (after.children_user - before.children_user) + (after.children_system - before.children_system)
    m = re.search(r"Nodes searched: (\d+)", out)
    if not m:
        sys.exit(f"speed.sh: {command[0]} printed no perft count")
    return int(m.group(1)), cpu


print(f"perft {depth} from the start position on core {core} (start-up time, a perft 1 run, taken off)")
kn, kc = timed([kestrane, "perft", str(depth)])
kc -= timed([kestrane, "perft", "1"])[1]
sn, sc = timed([stockfish], f"position startpos\ngo perft {depth}\nquit\n")
sc -= timed([stockfish], "position startpos\ngo perft 1\nquit\n")[1]
if kn != sn:
    print(f"  warning: node counts differ: kestrane {kn}, stockfish {sn}")
print(f"  kestrane  {kn} nodes in {kc:.2f} s = {kn / kc / 1e6:6.1f} Mnps")
print(f"  stockfish {sn} nodes in {sc:.2f} s = {sn / sc / 1e6:6.1f} Mnps")
print(f"  perft ratio kestrane/stockfish: {(kn / kc) / (sn / sc):.2f}")
EOF
