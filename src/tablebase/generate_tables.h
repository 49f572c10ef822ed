// Generation of whole endgames: the tables that captures and promotions reach first, then
// the retrograde passes, the forward check with the engine's move generation, and the files.
#pragma once
#include <cstdint>

#include "tablebase/generate_retro.h"

// A pass over [0, count): the caller's runner may split it between threads.
using GenWork = void (*)(void* arg, uint64_t begin, uint64_t end);

struct GenHooks {
  void* state;
  // Runs work over [0, count); null runs it on the calling thread.
  void (*run)(void* state, GenWork work, void* arg, uint64_t count);
  // A pass of a table starts; it covers fractions [from, to) of the table's work.
  void (*pass)(void* state, const char* name, const char* what, double from, double to);
};

struct GenSummary {
  char name[8];
  uint64_t positions[2];   // legal positions in the work numbering, per side to move
  uint64_t wins[2], losses[2], draws[2];
  int longestWin[2];       // moves, per side to move
  int longestLoss[2];
  int twoByte;             // entries do not fit one byte
  int written;             // files were written
  double seconds;
};

constexpr int GenMaxTables = 160;

struct GenSession {
  GenTable* tables[GenMaxTables];
  int count;
  GenHooks hooks;
  const char* outDir;      // null: tables stay in memory only
  int compressed;          // files are written compressed (".nbw.emd") instead of plain
  void (*done)(void* state, const GenSummary* summary);
  char error[256];
};

void GenSessionInit(GenSession* session, const GenHooks* hooks, const char* outDir);
void GenSessionFree(GenSession* session);
// The table of an endgame named like "kqkr", generated with everything it needs unless the
// session has it; null with session->error set on failure.
const GenTable* GenerateEndgame(GenSession* session, const char* name);
// A work value as a result in moves: +n mate in n, -n mated in n, 0 draw; *mateNow marks a
// checkmate on the board.
int GenValueMoves(uint16_t value, bool* mateNow);
// The value of a position (men in any order, colours as they stand) from a session's tables.
uint16_t GenProbe(GenSession* session, const GenPos* pos);
