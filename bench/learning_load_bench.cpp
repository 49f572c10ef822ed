// Time taken by LoadLearning on a learning file of the largest size a trim keeps
// (262144 records), with a transposition table large enough to read all of them.
//   learning_load_bench [RUNS]
// Until the build has a bench target: c++ -std=c++20 -O2 -Isrc bench/learning_load_bench.cpp
//   build/libkestrane_engine.a -o learning_load_bench
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>

#include "board/fen.h"
#include "board/geometry.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "board/root_ply.h"
#include "board/position.h"
#include "protocol/options.h"
#include "search/learning_load.h"
#include "search/learning_path.h"
#include "search/learning_file.h"
#include "search/settings_signature.h"
#include "search/trans_table.h"

static const int64_t Records = LearningTrimThreshold;

static uint32_t Random(uint32_t* state) {
  *state = *state * 1664525u + 1013904223u;
  return *state >> 8;
}

// A random move of the side to move that make accepts, left made; 0 when there is none.
static PlyState* PlayRandomMove(Position* pos, PlyState* ps, uint32_t* seed, Move* played) {
  GenerateMoves(pos, ps, GenAll, 1);
  Move moves[256];
  int n = 0;
  for (MoveEntry* e = ps->tacticalBase; e->score != MoveListEnd && n < 256; e++) moves[n++] = e->move;
  for (MoveEntry* e = ps->quietBase; e->score != MoveListEnd && n < 256; e++) moves[n++] = e->move;
  for (int tries = 0; n > 0 && tries < 20; tries++) {
    ps->move = moves[Random(seed) % uint32_t(n)];
    if (PlyState* child = MakeMove(pos, ps)) {
      *played = ps->move;
      return child;
    }
  }
  return nullptr;
}

// Records of positions a few random moves away from the start: each its own position,
// every one similar enough to the start to get the full move check.
static void FillPlayoutRecord(Position* pos, LearningRecord* r, uint32_t* seed) {
  RootState state;
  SetStartPosition(pos->board, &state);
  BuildPieceLists(pos);
  BuildAttackTables(pos);
  pos->keyPtr = nullptr;
  PlyState* ps = SetupRootPly(pos, state.side, state.flags);
  int plies = 1 + int(Random(seed) % 8);
  PlyState* line[16];
  int made = 0;
  Move move;
  for (int i = 0; i < plies; i++) {
    PlyState* child = PlayRandomMove(pos, ps, seed, &move);
    if (!child) break;
    line[made++] = ps;
    ps = child;
  }
  memcpy(r->board, pos->board, sizeof r->board);
  r->board[0] = 0;
  r->side = uint8_t(ps->side);
  r->slotKey = ps->key1;
  r->lock = ps->key2;
  r->pieceCount = ps->menCount;
  r->reply = 0;
  r->bestMove = 0;
  if (PlyState* child = PlayRandomMove(pos, ps, seed, &move)) {
    r->bestMove = move;
    UnmakeMove(pos, ps);
    (void)child;
  }
  while (made > 0) UnmakeMove(pos, line[--made]);
}

enum FileKind { OtherSettings, SameRoot, Playouts, FileKinds };
static const char* KindNames[FileKinds] = {"other settings", "same settings, the root position",
                                           "same settings, positions near the root"};

static int WriteFile(const char* path, Position* pos, int kind) {
  FILE* f = fopen(path, "wb");
  if (!f) return 0;
  LearningRecord r;
  memset(&r, 0, sizeof r);
  RootState state;
  SetStartPosition(r.board, &state);
  ComputeKeys(r.board, &r.slotKey, &r.lock);
  r.bestMove = MakeMoveWord(13, 29, WPawn) | MoveDoubleStep;  // e2e4
  r.reply = MakeMoveWord(53, 37, BPawn) | MoveDoubleStep;     // e7e5
  r.depth = 9;
  r.score = 20;
  r.pieceCount = 32;
  uint32_t signature = SettingsSignature();
  uint32_t seed = 1;
  uint8_t bytes[LearningRecordSize];
  for (int64_t i = 0; i < Records; i++) {
    if (kind == Playouts) FillPlayoutRecord(pos, &r, &seed);
    r.signature = kind == OtherSettings ? signature ^ uint32_t(i + 1) : signature;
    EncodeLearningRecord(&r, bytes);
    if (fwrite(bytes, 1, sizeof bytes, f) != sizeof bytes) return fclose(f), 0;
  }
  return fclose(f) == 0;
}

int main(int argc, char** argv) {
  int runs = argc > 1 ? atoi(argv[1]) : 5;
  if (runs < 1) runs = 1;
  BuildGeometryTables();
  SetOptionDefaults();
  if (!AllocateHashTables(40960)) return fprintf(stderr, "no memory for the table\n"), 1;
  char pattern[] = "/tmp/kestrane-learn-bench-XXXXXX";
  if (!mkdtemp(pattern)) return 1;
  std::string path = std::string(pattern) + "/kestrane.pl2";

  std::unique_ptr<Position> pos(new Position());
  std::unique_ptr<Position> writer(new Position());
  RootState state;
  SetStartPosition(pos->board, &state);
  BuildPieceLists(pos.get());
  BuildAttackTables(pos.get());
  PlyState* root = SetupRootPly(pos.get(), state.side, state.flags);

  for (int kind = 0; kind < FileKinds; kind++) {
    if (!WriteFile(path.c_str(), writer.get(), kind)) return fprintf(stderr, "cannot write %s\n", path.c_str()), 1;
    double best = 1e9, bestCpu = 1e9;
    int found = 0;
    for (int run = 0; run < runs; run++) {
      ClearTransTable();
      auto start = std::chrono::steady_clock::now();
      std::clock_t cpuStart = std::clock();
      found = LoadLearningFrom(path.c_str(), pos.get(), root);
      double cpu = 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
      double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      if (ms < best) best = ms;
      if (cpu < bestCpu) bestCpu = cpu;
    }
    printf("LoadLearning, %lld records, %s: %.1f ms wall, %.1f ms CPU (best of %d), root found %d\n",
           static_cast<long long>(Records), KindNames[kind], best, bestCpu, runs, found);
  }
  std::error_code error;
  std::filesystem::remove_all(pattern, error);
  FreeHashTables();
  return 0;
}
