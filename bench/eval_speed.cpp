// Evaluations per second over a fixed set of positions: the roots of a spread of games
// and every position three plies below them. Run with bench/eval_speed.sh.
#include <chrono>
#include <cstdio>
#include <initializer_list>
#include <memory>

#include "board/fen.h"
#include "board/game.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "eval/eval_cache.h"
#include "eval/evaluate.h"
#include "eval/prepare_root.h"
#include "eval/running_bounds.h"

static const char* const Fens[] = {
    "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1",
    "r1bqkbnr/pppp1ppp/2n5/1B2p3/4P3/5N2/PPPP1PPP/RNBQK2R b KQkq - 3 3",
    "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10",
    "2kr3r/pppq1ppp/2n1bn2/2b1p3/4P3/2NPBN2/PPPQBPPP/2KR3R b - - 5 9",
    "r2q1rk1/pb1nbppp/1p2pn2/2pp4/3P4/1PNBPN2/PBQ2PPP/R4RK1 w - - 0 11",
    "1r3rk1/5ppp/p1q1p3/2Pp4/3P2n1/P1Q1PN2/5PPP/R4RK1 b - - 0 22",
    "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "8/5pk1/6p1/7p/7P/6P1/5PK1/3R4 w - - 0 40",
    "8/pp3k2/2p5/8/8/2P5/PP3K2/8 w - - 0 1",
    "8/6k1/6p1/3r4/8/5PP1/4R1K1/8 b - - 0 1",
    "8/4k3/3n4/8/2N5/5P2/4KP2/8 w - - 0 1",
};

enum Mode { WalkOnly, FullWindow, NarrowWindow };

static long Walk(Position* pos, PlyState* ps, int depth, Mode mode) {
  if (depth == 0) {
    if (mode == WalkOnly) return 1;
    int m = lazyEval(ps);
    volatile int v = mode == FullWindow ? Evaluate(pos, ps, -30000, 30000, -1) : Evaluate(pos, ps, m - 50, m + 50, -1);
    (void)v;
    return 1;
  }
  long count = 0;
  GenerateMoves(pos, ps, GenAll, 1);
  for (MoveEntry* list : {ps->tacticalBase, ps->quietBase})
    for (MoveEntry* e = list; e->score != MoveListEnd; e++) {
      ps->move = e->move;
      PlyState* child = MakeMove(pos, ps);
      if (!child) continue;
      count += Walk(pos, child, depth - 1, mode);
      UnmakeMove(pos, ps);
    }
  return count;
}

// Seconds and leaves of one pass over every root.
static double Pass(Position* pos, Mode mode, long* leaves) {
  auto start = std::chrono::steady_clock::now();
  *leaves = 0;
  for (const char* fen : Fens) {
    int8_t board[65];
    RootState state;
    ParseFen(fen, board, &state);
    SetGameRoot(board, state);
    LoadRootIntoPosition(pos);
    PlyState* root = PrepareRoot(pos, &GameHistory[GameLength]);
    // Bounds that never cut, so that every call evaluates (or hits the cache).
    PositionalMax[0] = PositionalMax[1] = CentreMax = 15000;
    PositionalMin[0] = PositionalMin[1] = CentreMin = -15000;
    *leaves += Walk(pos, root, 3, mode);
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int main() {
  if (!AllocateGameHistory() || !AllocateEvalCache(16384)) return 1;
  std::unique_ptr<Position> pos(new Position());
  long leaves = 0;
  double walk = 1e9;
  for (int i = 0; i < 3; i++) {
    double t = Pass(pos.get(), WalkOnly, &leaves);
    if (t < walk) walk = t;
  }
  auto rate = [&](double seconds) { return seconds > walk ? leaves / (seconds - walk) : 0.0; };
  ClearEvalTables();
  double cold = Pass(pos.get(), NarrowWindow, &leaves);
  double full = 1e9, warm = 1e9;
  for (int i = 0; i < 3; i++) {
    double t = Pass(pos.get(), FullWindow, &leaves);
    if (t < full) full = t;
    t = Pass(pos.get(), NarrowWindow, &leaves);
    if (t < warm) warm = t;
  }
  printf("positions per pass: %ld (walking them alone: %.3f s)\n", leaves, walk);
  printf("cold caches (first pass):              %10.0f evaluations/s\n", rate(cold));
  printf("full evaluation (pawn/material warm):  %10.0f evaluations/s\n", rate(full));
  printf("warm evaluation cache:                 %10.0f evaluations/s\n", rate(warm));
  return 0;
}
