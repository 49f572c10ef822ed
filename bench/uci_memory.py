#!/usr/bin/env python3
"""Memory of a long UCI session: thousands of short searches with ucinewgame and Hash
changes between them; prints the resident size every 350 searches (a different Hash value each time).

  bench/uci_memory.py [--engine build/kestrane] [--searches 3000]

A flat footprint shows the same resident size at every Hash value it returns to.
"""
import argparse
import subprocess
import sys

POSITIONS = [
    "startpos moves e2e4 e7e5 g1f3 b8c6",
    "fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "fen 8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "startpos moves d2d4 g8f6 c2c4 e7e6 g1f3 b7b6",
]
HASH_CYCLE = [16, 64, 1, 32, 128, 8]


def resident_kb(pid):
    fields = {}
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            key, _, value = line.partition(":")
            fields[key] = value.strip()
    return int(fields["VmRSS"].split()[0]), int(fields["VmHWM"].split()[0])


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--engine", default="build/kestrane")
    parser.add_argument("--searches", type=int, default=3000)
    args = parser.parse_args()
    engine = subprocess.Popen([args.engine], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True, bufsize=1)

    def send(line):
        engine.stdin.write(line + "\n")
        engine.stdin.flush()

    def wait_for(prefix):
        for line in engine.stdout:
            if line.startswith(prefix):
                return line
        sys.exit("the engine ended during the session")

    send("uci")
    wait_for("uciok")
    by_hash = {}
    print("searches  hash_mb  rss_kb  peak_kb")
    for n in range(args.searches):
        if n % 50 == 0:
            hash_mb = HASH_CYCLE[(n // 50) % len(HASH_CYCLE)]
            send(f"setoption name Hash value {hash_mb}")
        if n % 10 == 0:
            send("ucinewgame")
        send("position " + POSITIONS[n % len(POSITIONS)])
        send("go depth 4" if n % 3 else "go nodes 3000")
        wait_for("bestmove")
        if n % 350 == 349:
            send("isready")
            wait_for("readyok")
            rss, peak = resident_kb(engine.pid)
            by_hash.setdefault(hash_mb, []).append(rss)
            print(f"{n + 1:8d}  {hash_mb:7d}  {rss:6d}  {peak:7d}", flush=True)
    send("quit")
    engine.wait(timeout=10)
    growth = max(max(v) - min(v) for v in by_hash.values())
    print(f"largest growth at one Hash value: {growth} kB")


if __name__ == "__main__":
    main()
