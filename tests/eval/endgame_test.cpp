// Endgame knowledge: the special configurations, the material table and the pawn endings.
#include "eval/eval_fixture.h"
#include "eval/eval_positions.h"
#include "eval/material.h"

namespace {

enum Expect { DeadDraw, NoDraw, Scale, FixedValue };

struct Case {
  const char* fen;
  Expect expect;
  int value;  // the scale percent, or the fixed positional value from White's view
  const char* what;
};

const Case Cases[] = {
    {"8/8/8/4k3/8/4K3/4P3/8 w - - 0 1", DeadDraw, 0, "lone pawn, defender in front with the opposition"},
    {"4k3/4P3/4K3/8/8/8/8/8 b - - 0 1", DeadDraw, 0, "lone pawn, stalemate"},
    {"4k3/8/4P3/4K3/8/8/8/8 w - - 0 1", DeadDraw, 0, "lone pawn, the king in front of it on the eighth rank"},
    {"4k3/8/8/8/8/8/4P3/4K3 w - - 0 1", FixedValue, 500, "lone pawn with its tempo moves"},
    {"3k4/8/3K4/3P4/8/8/8/8 w - - 0 1", FixedValue, 500, "won king and pawn"},
    {"3K4/8/3k4/3p4/8/8/8/8 b - - 0 1", FixedValue, -500, "won king and pawn for Black"},
    {"8/8/8/8/3k4/8/3K4/1N2N3 w - - 0 1", DeadDraw, 0, "two knights"},
    {"8/8/8/8/3k4/8/3K4/1NN1N3 w - - 0 1", FixedValue, 0, "three knights"},
    {"8/8/8/8/3k4/8/3K4/8 w - - 0 1", DeadDraw, 0, "bare kings"},
    {"8/8/8/8/3k4/8/2BK4/3B4 w - - 0 1", DeadDraw, 0, "bishops of one colour"},
    {"8/8/8/8/3k4/8/2BK4/2B5 w - - 0 1", NoDraw, 0, "bishops of both colours"},
    {"8/8/8/8/3k4/8/3K4/1B2N3 w - - 0 1", FixedValue, -(3 * (3 + 3) + 8 * 2), "bishop and knight"},
    {"8/8/8/2r5/3k4/8/3K4/7R w - - 0 1", DeadDraw, 0, "equal pieces, no pawns"},
    {"8/8/8/2b5/3k4/8/3K4/7R w - - 0 1", Scale, 20, "rook against bishop"},
    {"8/8/8/6K1/8/8/5pk1/3Q4 w - - 0 1", DeadDraw, 0, "queen against f2-pawn, king on the g-file"},
    {"8/8/8/4K3/8/8/5pk1/3Q4 w - - 0 1", NoDraw, 0, "queen against f2-pawn, king on the e-file"},
    {"8/8/8/8/8/8/1kp5/3Q3K w - - 0 1", DeadDraw, 0, "queen against c2-pawn, king far away"},
    {"8/8/8/8/4K3/8/1kp5/3Q4 w - - 0 1", NoDraw, 0, "queen against c2-pawn, king near"},
    {"8/8/b7/4k3/4P3/8/4K3/5B2 w - - 0 1", DeadDraw, 0, "bishop cannot drive the blockading king"},
    {"8/8/4k3/4P3/4K3/3b4/8/5B2 w - - 0 1", Scale, 10, "blockade against bishops"},
    {"3k4/8/r2K4/3P4/8/8/8/7R w - - 0 1", DeadDraw, 0, "rook on the third rank"},
    {"3k4/8/3K4/3P4/8/8/8/r6R w - - 0 1", Scale, 30, "rook and pawn, king in front"},
    {"4k3/4q3/8/4P3/4Q3/4K3/8/8 w - - 0 1", Scale, 40, "extra pawn against the queen, king in front"},
    {"7k/8/6KP/8/8/8/8/3B4 w - - 0 1", DeadDraw, 0, "wrong bishop, king in the corner"},
    {"8/5k2/8/8/8/8/7P/K4B2 w - - 0 1", DeadDraw, 0, "wrong bishop, king reaches the corner first"},
    {"8/8/8/8/k7/8/7P/2K2B2 b - - 0 1", NoDraw, 0, "wrong bishop, king too far"},
    {"8/8/8/8/3k4/7p/7p/6K1 w - - 0 1", DeadDraw, 0, "rook pawns against the king in the corner"},
};

}  // namespace

TEST(Endgame, SpecialConfigurations) {
  for (const Case& c : Cases) {
    EvalSetup s;
    s.Load(c.fen);
    EvalBreakdown bd;
    int total = EvaluateWithBreakdown(s.pos.get(), s.root, &bd);
    int m = lazyEval(s.root);
    switch (c.expect) {
      case DeadDraw:
        EXPECT_TRUE(bd.drawFlag) << c.what;
        EXPECT_EQ(total, 0) << c.what;
        break;
      case NoDraw:
        EXPECT_FALSE(bd.drawFlag) << c.what;
        break;
      case Scale:
        EXPECT_FALSE(bd.drawFlag) << c.what;
        EXPECT_EQ(bd.drawScale, c.value) << c.what;
        break;
      case FixedValue:
        EXPECT_FALSE(bd.drawFlag) << c.what;
        EXPECT_EQ(total, m + (s.root->side == White ? c.value : -c.value)) << c.what;
        break;
    }
    // Every special configuration mirrors.
    EvalSetup t;
    t.Load(MirrorFen(c.fen));
    EvalBreakdown bm;
    EXPECT_EQ(EvaluateWithBreakdown(t.pos.get(), t.root, &bm), total) << c.what;
    EXPECT_EQ(bm.drawFlag, bd.drawFlag) << c.what;
  }
}

TEST(Endgame, BareKingIsDrivenTowardsItsKing) {
  // King, bishop and knight: the stronger side wants the kings close.
  EvalSetup near, far;
  near.Load("8/8/8/8/3k4/8/3K4/1B2N3 w - - 0 1");
  far.Load("7k/8/8/8/8/8/8/KB2N3 w - - 0 1");
  EXPECT_GT(near.Full() - lazyEval(near.root), far.Full() - lazyEval(far.root));
}

// Material-table entries worked out term by term (trade-down, bishops, pieceless sides,
// lone pieces and the special material pairs).
TEST(Endgame, MaterialBalance) {
  struct Row {
    const char* fen;
    int score, scale;
  } rows[] = {
      // 32 + 75 trade-down, bishop pair 28 + 10, Black without pieces 50, Black's -10.
      {"4k3/pppp4/8/8/8/8/PPPP4/2BBK3 w - - 0 1", 32 + 75 + 38 + 50 + 10, 0},
      // 12 + 30, pieceless Black 50 - 40, both single-piece terms, lone minor 200 - 350.
      {"4k3/8/8/8/8/8/pp6/2B1K3 w - - 0 1", 12 + 30 + 10 - 10 + 10 - 150, 75},
      // 22 + 45, minor majority without pawns 0 - 40, Black's +10, rook and minor -250.
      {"r3k3/p7/8/8/8/8/8/2B1K2R w - - 0 1", 22 + 45 - 40 + 10 - 250, 40},
  };
  for (const Row& r : rows) {
    for (int mirrored = 0; mirrored < 2; mirrored++) {
      EvalSetup s;
      s.Load(mirrored ? MirrorFen(r.fen) : std::string(r.fen));
      MaterialEntry scratch;
      const MaterialEntry* e = MaterialLookup(s.pos.get(), s.root, &scratch);
      EXPECT_EQ(e->score, mirrored ? -r.score : r.score) << r.fen;
      EXPECT_EQ(e->scale, r.scale) << r.fen;
    }
  }
}

// The checker the table's hits assert: it accepts what the table holds and refuses an entry
// with a changed term or one that belongs to other material.
TEST(Endgame, MaterialEntryChecker) {
  for (const char* fen : EvalSpreadFens) {
    EvalSetup s;
    s.Load(fen);
    MaterialEntry scratch;
    const MaterialEntry* e = MaterialLookup(s.pos.get(), s.root, &scratch);
    EXPECT_TRUE(MaterialEntryIsOk(e, s.pos.get(), s.root)) << fen;
    EXPECT_EQ(MaterialLookup(s.pos.get(), s.root, &scratch), e) << fen;
    MaterialEntry broken = *e;
    broken.scale = uint8_t(broken.scale + 5);
    EXPECT_FALSE(MaterialEntryIsOk(&broken, s.pos.get(), s.root)) << fen;
    broken = *e;
    broken.score = int16_t(broken.score + 1);
    EXPECT_FALSE(MaterialEntryIsOk(&broken, s.pos.get(), s.root)) << fen;
  }
  EvalSetup a, b;
  a.Load("4k3/8/8/8/8/8/pp6/2B1K3 w - - 0 1");
  b.Load("r3k3/p7/8/8/8/8/8/2B1K2R w - - 0 1");
  MaterialEntry scratch;
  const MaterialEntry* e = MaterialLookup(a.pos.get(), a.root, &scratch);
  EXPECT_FALSE(MaterialEntryIsOk(e, b.pos.get(), b.root));
}
