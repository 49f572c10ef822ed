// Colour symmetry: a position and its colour-flipped mirror evaluate alike.
#include "eval/eval_fixture.h"
#include "eval/eval_positions.h"
#include "protocol/options.h"

namespace {

struct Result {
  int total;
  EvalBreakdown bd;
};

Result EvaluateFen(const std::string& fen) {
  EvalSetup s;
  s.Load(fen);
  Result r{};
  r.total = EvaluateWithBreakdown(s.pos.get(), s.root, &r.bd);
  return r;
}

void ExpectMirrored(const std::string& fen) {
  std::string mirror = MirrorFen(fen);
  Result a = EvaluateFen(fen), b = EvaluateFen(mirror);
  EXPECT_EQ(a.total, b.total) << fen << " | " << mirror;
  EXPECT_EQ(a.bd.drawFlag, b.bd.drawFlag) << fen;
  EXPECT_EQ(a.bd.drawScale, b.bd.drawScale) << fen;
  EXPECT_EQ(a.bd.lazy, -b.bd.lazy) << fen;
  for (int g = 0; g < EvalGroupCount; g++) EXPECT_EQ(a.bd.group[g], -b.bd.group[g]) << EvalGroupName[g] << ": " << fen;
}

}  // namespace

TEST(EvalSymmetry, MirrorFenFlipsRanksColoursAndRights) {
  EXPECT_EQ(MirrorFen("r3k2r/8/8/8/4P3/8/8/R3K1R1 b Qk e3 0 1"), "r3k1r1/8/8/4p3/8/8/8/R3K2R w Kq e6 0 1");
}

TEST(EvalSymmetry, EveryTermGroupMirrors) {
  for (const char* fen : EvalSpreadFens) ExpectMirrored(fen);
}

// The option weights and the open-position preference change both colours alike.
TEST(EvalSymmetry, MirrorsUnderOptionSettings) {
  struct Setting {
    int index, value;
  } settings[] = {{WeightKingSafety, 250}, {WeightPawnStructure, 40}, {WeightCenterControl, 300},
                  {WeightPassedPawnsEnd, 170}, {WeightQueen, 150}, {WeightBishopPair, 400}};
  for (const Setting& s : settings) {
    OptionWeights[s.index] = s.value;
    for (const char* fen : EvalSpreadFens) ExpectMirrored(fen);
    OptionWeights[s.index] = 100;
  }
  PreferOpenPositions = 1;
  for (const char* fen : EvalSpreadFens) ExpectMirrored(fen);
  PreferOpenPositions = 0;
}
