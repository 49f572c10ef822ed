// The forward check on single positions whose legal moves pins and checks decide: it agrees
// with the generated value and reports the value changed by two plies.
#include <gtest/gtest.h>

#include "board/fen.h"
#include "tablebase/generate_tables.h"
#include "tablebase/generate_verify.h"
#include "tablebase/generated_tables.h"

namespace {

// The generator position of a FEN with the men in the table's order; false when the FEN is
// not a position of the table's material.
bool PositionOfFen(const GenTable* table, const char* fen, GenPos* out) {
  int8_t board[65];
  RootState state{};
  if (!ParseFen(fen, board, &state)) return false;
  static const int KindOfCode[8] = {0, GenKing, 1, 2, 0, 3, 4, 5};
  GenPos pos{};
  int n = 2;
  pos.epMan = -1;
  pos.side = int8_t(state.side);
  for (int s = 1; s <= 64; s++) {
    if (board[s] == 0) continue;
    int kind = KindOfCode[board[s] & 7], color = board[s] >> 3;
    int man = kind == GenKing ? color : n++;
    if (man >= GenMaxMen) return false;
    pos.sq[man] = int8_t(s - 1), pos.kind[man] = int8_t(kind), pos.color[man] = int8_t(color);
  }
  pos.men = int8_t(n);
  return ArrangeForMaterial(&table->mat, &pos, 0, out) == 1;
}

// Runs the forward check on the position's number with its stored value moved by `plies`;
// the value is put back afterwards. Returns the disagreements found, -1 on a bad case.
int64_t CheckWithShift(const char* name, const char* fen, int plies) {
  GenTable* table = const_cast<GenTable*>(GeneratedTable(name));
  if (!table) return -1;
  GenJob* job = new GenJob();
  job->table = table;
  GenMaterial exitMaterials[GenMaxExits];
  job->exitCount = GenExitMaterials(&table->mat, exitMaterials, job->exits);
  for (int k = 0; k < job->exitCount; k++)
    if (exitMaterials[k].men > 2) job->exits[k].table = GeneratedTable(exitMaterials[k].name);
  GenPos pos;
  uint64_t numbers[2];
  int64_t result = -1;
  if (PositionOfFen(table, fen, &pos) && GenIndexOf(&table->mat, &pos, numbers) > 0) {
    uint8_t* slot = &table->value[pos.side][numbers[0]];
    uint8_t kept = *slot;
    *slot = uint8_t(kept + plies);
    uint64_t n = numbers[0] + uint64_t(pos.side) * table->sideSize;
    GenVerifyRange(job, n, n + 1);
    *slot = kept;
    result = int64_t(job->mismatches.load());
  }
  delete job;
  return result;
}

TEST(SlowTbGenerateVerify, PinsAndChecks) {
  static const char* const fens[] = {
      "k7/8/8/4r3/8/8/4Q3/4K3 w - - 0 1",   // queen pinned on a file: only moves along it, Qxe5
      "8/8/8/8/8/2k5/3r4/4Q2K b - - 0 1",   // rook pinned on a diagonal: no rook move at all
      "r3k3/8/8/8/7Q/8/8/K7 w - - 0 1",     // check on the a-file: Qa4 blocks, the king steps aside
      "4k3/8/8/8/8/8/8/r2K3Q w - - 0 1",    // check on the first rank: e1 stays on the line
      "4k3/8/8/8/1r6/8/8/1Q2K3 b - - 0 1",  // rook in front of the queen on the b-file, not pinned
  };
  for (const char* fen : fens) {
    EXPECT_EQ(CheckWithShift("kqkr", fen, 0), 0) << fen << " " << GeneratedTablesError();
    EXPECT_EQ(CheckWithShift("kqkr", fen, 2), 1) << fen;
  }
}

}  // namespace
