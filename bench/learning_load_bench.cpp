// Time taken by LoadLearning on a learning file of the largest size a trim keeps
// (262144 records), with a transposition table large enough to read all of them.
//   learning_load_bench [RUNS]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "board/fen.h"
#include "board/geometry.h"
#include "board/make_move.h"
#include "board/position.h"
#include "protocol/options.h"
#include "search/learning.h"
#include "search/learning_file.h"
#include "search/settings_signature.h"
#include "search/trans_table.h"

static const int64_t Records = LearningTrimThreshold;

// Fills the file with records of the start position (every one passes the similarity
// rules and gets the full soundness check) or with records made under other settings.
static int WriteFile(const char* path, const int8_t board[65], int matching) {
  FILE* f = fopen(path, "wb");
  if (!f) return 0;
  LearningRecord r;
  memset(&r, 0, sizeof r);
  memcpy(r.board, board, sizeof r.board);
  ComputeKeys(board, &r.slotKey, &r.lock);
  r.bestMove = MakeMoveWord(13, 29, WPawn) | MoveDoubleStep;  // e2e4
  r.reply = MakeMoveWord(53, 37, BPawn) | MoveDoubleStep;     // e7e5
  r.depth = 9;
  r.score = 20;
  r.pieceCount = 32;
  uint32_t signature = SettingsSignature();
  uint8_t bytes[LearningRecordSize];
  for (int64_t i = 0; i < Records; i++) {
    r.signature = matching ? signature : signature ^ uint32_t(i + 1);
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
  RootState state;
  SetStartPosition(pos->board, &state);
  PlyState* root = &pos->plies[0];
  root->side = int8_t(state.side);
  root->flags = state.flags;
  ComputeKeys(pos->board, &root->key1, &root->key2);

  const char* kinds[2] = {"other settings", "same settings, same position"};
  for (int matching = 0; matching < 2; matching++) {
    if (!WriteFile(path.c_str(), pos->board, matching)) return fprintf(stderr, "cannot write %s\n", path.c_str()), 1;
    double best = 1e9;
    int found = 0;
    for (int run = 0; run < runs; run++) {
      auto start = std::chrono::steady_clock::now();
      found = LoadLearningFrom(path.c_str(), pos.get(), root);
      double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      if (ms < best) best = ms;
    }
    printf("LoadLearning, %lld records, %s: %.1f ms (best of %d), root found %d\n",
           static_cast<long long>(Records), kinds[matching], best, runs, found);
  }
  std::error_code error;
  std::filesystem::remove_all(pattern, error);
  FreeHashTables();
  return 0;
}
