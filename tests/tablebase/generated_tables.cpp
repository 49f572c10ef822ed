#include "tablebase/generated_tables.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "board/fen.h"
#include "tablebase/generate_write.h"

namespace {

// Passes run on two threads, each taking every other block of the range.
void RunOnTwoThreads(void*, GenWork work, void* arg, uint64_t count) {
  constexpr uint64_t Block = 1 << 14;
  auto half = [&](uint64_t parity) {
    for (uint64_t begin = parity * Block; begin < count; begin += 2 * Block)
      work(arg, begin, begin + Block < count ? begin + Block : count);
  };
  std::thread other(half, 1);
  half(0);
  other.join();
}

const GenHooks TwoThreads = {nullptr, RunOnTwoThreads, nullptr};

struct Generated {
  GenSession memory;      // every table generated for the in-memory tests
  GenSummary summaries[GenMaxTables];
  int summaryCount = 0;
  GenSession files;       // writes tables of `memory` to `dir`
  char written[GenMaxTables][8] = {};
  int writtenCount = 0;
  char dir[256] = "";
  char error[256] = "";

  Generated() {
    GenSessionInit(&memory, &TwoThreads, nullptr);
    memory.done = [](void*, const GenSummary* s) { Shared().Keep(s); };
  }
  ~Generated() {
    GenSessionFree(&memory);
    if (dir[0]) {
      std::string command = std::string("rm -rf '") + dir + "'";
      if (system(command.c_str()) != 0) fprintf(stderr, "could not remove %s\n", dir);
    }
  }
  void Keep(const GenSummary* s) {
    if (summaryCount < GenMaxTables) summaries[summaryCount++] = *s;
  }
  static Generated& Shared();
};

Generated& Generated::Shared() {
  static Generated shared;
  return shared;
}

}  // namespace

const GenTable* GeneratedTable(const char* name) {
  Generated& g = Generated::Shared();
  const GenTable* table = GenerateEndgame(&g.memory, name);
  if (!table) snprintf(g.error, sizeof g.error, "%.200s", g.memory.error);
  return table;
}

const GenSummary* GeneratedSummary(const char* name) {
  Generated& g = Generated::Shared();
  for (int i = 0; i < g.summaryCount; i++)
    if (strcmp(g.summaries[i].name, name) == 0) return &g.summaries[i];
  return nullptr;
}

const char* GeneratedTablesError() { return Generated::Shared().error; }

uint16_t GeneratedValueOfFen(const char* fen) {
  int8_t board[65];
  RootState state{};
  if (!ParseFen(fen, board, &state)) return GenBroken;
  GenPos pos{};
  static const int KindOfCode[8] = {0, GenKing, 1, 2, 0, 3, 4, 5};
  int n = 2;
  pos.epMan = -1;
  pos.side = int8_t(state.side);
  for (int s = 1; s <= 64; s++) {
    int code = board[s];
    if (code == 0) continue;
    int kind = KindOfCode[code & 7], color = code >> 3;
    int man = kind == GenKing ? color : n++;
    if (man >= GenMaxMen) return GenBroken;
    pos.sq[man] = int8_t(s - 1), pos.kind[man] = int8_t(kind), pos.color[man] = int8_t(color);
  }
  pos.men = int8_t(n);
  int target = int(state.flags & 0x3F);
  if (target) {
    int pawnSquare = state.side == 0 ? target - 1 - 8 : target - 1 + 8;
    for (int i = 2; i < n; i++)
      if (pos.sq[i] == pawnSquare && pos.kind[i] == 1) pos.epMan = int8_t(i);
  }
  return GeneratedValue(&pos);
}

uint16_t GeneratedValue(const GenPos* pos) {
  GenMaterial mat;
  int swapped;
  MaterialOfPosition(pos, &mat, &swapped);
  if (mat.men > 2 && !GeneratedTable(mat.name)) return GenBroken;
  return GenProbe(&Generated::Shared().memory, pos);
}

const char* GeneratedTablesDir(const char* const* names, int count) {
  Generated& g = Generated::Shared();
  if (!g.dir[0]) {
    char pattern[] = "/tmp/kestrane_tables_XXXXXX";
    if (!mkdtemp(pattern)) return nullptr;
    snprintf(g.dir, sizeof g.dir, "%s", pattern);
    GenSessionInit(&g.files, &TwoThreads, g.dir);
  }
  for (int i = 0; i < count; i++) {
    bool done = false;
    for (int k = 0; k < g.writtenCount; k++) done = done || strcmp(g.written[k], names[i]) == 0;
    if (done) continue;
    const GenTable* table = GeneratedTable(names[i]);
    if (!table) return nullptr;
    if (!GenWriteTableFiles(&g.files, table)) {
      snprintf(g.error, sizeof g.error, "%.200s", g.files.error);
      return nullptr;
    }
    if (g.writtenCount < GenMaxTables) snprintf(g.written[g.writtenCount++], 8, "%.7s", names[i]);
  }
  return g.dir;
}
