#include "cli/bench_command.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "board/position.h"
#include "kestrane.h"
#include "platform/platform.h"
#include "protocol/interpreter.h"

constexpr int DefaultBenchDepth = 8;

// Openings, middlegames with both castlings, tactics, and endgames of every kind.
static const char* const BenchPositions[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1",
    "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "r1bqkbnr/pppp1ppp/2n5/4p3/4P3/5N2/PPPP1PPP/RNBQKB1R w KQkq - 2 3",
    "rnbqkb1r/pp2pppp/3p1n2/8/3NP3/8/PPP2PPP/RNBQKB1R w KQkq - 1 5",
    "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ - 3 8",
    "r2q1rk1/pb1nbppp/1p2pn2/2pp4/2PP4/1PN1PN2/PB2BPPP/R2Q1RK1 w - - 0 10",
    "2rq1rk1/pp1bppbp/3p1np1/4n3/3NP3/1BN1BP2/PPPQ2PP/2KR3R w - - 9 13",
    "r1b2rk1/2q1bppp/p2ppn2/1p6/3BPP2/2NB4/PPPQ2PP/2KR3R w - - 0 13",
    "1k1r4/pp1b1R2/3q2pp/4p3/2B5/4Q3/PPP2B2/2K5 b - - 0 1",
    "3r1k2/4npp1/1ppr3p/p6P/P2PPPP1/1NR5/5K2/2R5 w - - 0 1",
    "2q1rr1k/3bbnnp/p2p1pp1/2pPp3/PpP1P1P1/1P2BNNP/2BQ1PRK/7R b - - 0 1",
    "rnbqkb1r/p3pppp/1p6/2ppP3/3N4/2P5/PPP1QPPP/R1B1KB1R w KQkq - 0 1",
    "r1b2rk1/2q1b1pp/p2ppn2/1p6/3QP3/1BN1B3/PPP3PP/R4RK1 w - - 0 1",
    "2r3k1/pppR1pp1/4p3/4P1P1/5P2/1P4K1/P1P5/8 w - - 0 1",
    "1nk1r1r1/pp2n1pp/4p3/q2pPp1N/b1pP1P2/B1P2R2/2P1B1PP/R2Q2K1 w - - 0 1",
    "4b3/p3kp2/6p1/3pP2p/2pP1P2/4K1P1/P3N2P/8 w - - 0 1",
    "2kr1bnr/pbpq4/2n1pp2/3p3p/3P1P1B/2N2N1Q/PPP3PP/2KR1B1R w - - 0 1",
    "3rr1k1/pp3pp1/1qn2np1/8/3p4/PP1R1P2/2P1NQPP/R1B3K1 b - - 0 1",
    "6k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1",
    "8/8/4k3/3p4/3P4/4K3/8/8 w - - 0 1",
    "8/5pk1/6p1/8/5P2/6P1/5K2/3B4 w - - 0 1",
    "8/8/1p1k4/1P6/3K4/8/8/8 w - - 0 1",
    "6k1/8/8/8/8/8/1K6/3Q4 w - - 0 1",
    "8/8/8/8/8/2k5/1q6/K7 b - - 0 1",
    "8/3k4/8/8/8/8/4P3/4K3 w - - 0 1",
    "r1bqk2r/pppp1ppp/2n2n2/2b1p3/2B1P3/2N2N2/PPPP1PPP/R1BQK2R w KQkq - 6 5",
};

static void Execute(const std::string& line) {
  std::vector<char> text(line.begin(), line.end());
  text.push_back(0);
  ExecuteCommand(text.data());
}

int BenchCommand(int argc, char** argv) {
  int depth = DefaultBenchDepth;
  if (argc > 2 || (argc == 2 && ((depth = atoi(argv[1])) < 1 || depth > 99))) {
    fprintf(stderr, "usage: kestrane bench [DEPTH]  (DEPTH 1..99, default %d)\n", DefaultBenchDepth);
    return 2;
  }
  if (KestraneInit(16 * 1024, nullptr, "./", 0) < 0) {
    fprintf(stderr, "kestrane bench: not enough memory for the hash tables\n");
    return 1;
  }
  // Learning would carry one search into the next and break the signature.
  Execute("setoption name Position Learning value false");
  const int count = int(sizeof BenchPositions / sizeof BenchPositions[0]);
  uint64_t total = 0;
  uint32_t start = TickCount();
  for (int i = 0; i < count; ++i) {
    Execute("ucinewgame");
    Execute("setoption name Clear Hash");
    Execute(std::string("position fen ") + BenchPositions[i]);
    Execute("go depth " + std::to_string(depth));
    uint64_t nodes = EnginePosition->nodeCount;
    total += nodes;
    printf("Position %2d/%d: %" PRIu64 " nodes\n", i + 1, count, nodes);
  }
  uint32_t ms = TickCount() - start;
  printf("Nodes: %" PRIu64 "  Time: %u  NPS: %" PRIu64 "\n", total, ms, ms ? total * 1000 / ms : 0);
  KestraneQuit();
  return 0;
}
