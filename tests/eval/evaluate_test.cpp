// The evaluation driver: lazy exits, the cache, the drawishness scaling, the checking-run
// rule and the running bounds.
#include <initializer_list>
#include <vector>

#include "board/make_move.h"
#include "board/movegen.h"
#include "board/test_fens.h"
#include "eval/eval_fixture.h"
#include "eval/eval_positions.h"
#include "eval/root_tables.h"
#include "protocol/options.h"

namespace {

constexpr int FullAlpha = -30000, FullBeta = 30000;

struct EvaluateTest : ::testing::Test {
  static void SetUpTestSuite() { ASSERT_EQ(AllocateEvalCache(1024), 1); }
  void SetUp() override { ClearEvalTables(); }
  EvalSetup s;
};

int Positional(Position* pos, PlyState* ps, int alpha, int beta, int* drawFlag) {
  return EvaluatePosition(pos, ps, lazyEval(ps), alpha, beta, drawFlag, -1, nullptr);
}

// Bounds that never cut: no lazy exit and no skipped centre term.
void OpenBounds() {
  for (int side = 0; side < 2; side++) {
    PositionalMax[side] = 15000;
    PositionalMin[side] = -15000;
  }
  CentreMax = 15000;
  CentreMin = -15000;
}

// The positions one legal move away from a root.
template <typename Visit>
void ForEachChild(EvalSetup& s, Visit visit) {
  PlyState* root = s.root;
  GenerateMoves(s.pos.get(), root, GenAll, 1);
  std::vector<Move> moves;
  for (MoveEntry* list : {root->tacticalBase, root->quietBase})
    for (MoveEntry* e = list; e->score != MoveListEnd; e++) moves.push_back(e->move);
  for (Move m : moves) {
    root->move = m;
    PlyState* child = MakeMove(s.pos.get(), root);
    if (!child) continue;
    visit(child);
    UnmakeMove(s.pos.get(), root);
  }
}

}  // namespace

TEST_F(EvaluateTest, CachesNeverChangeAValue) {
  int compared = 0, partials = 0;
  for (const char* fen : EvalSpreadFens) {
    s.Load(fen);
    ForEachChild(s, [&](PlyState* child) {
      Position* pos = s.pos.get();
      int m = lazyEval(child), df = 0;
      OpenBounds();
      ClearEvalTables();
      int cold = Positional(pos, child, m - 50, m + 50, &df);
      int coldFlag = child->attackFlag, coldDraw = df;
      int warm = Positional(pos, child, m - 50, m + 50, &df);
      EXPECT_EQ(warm, cold) << fen;
      EXPECT_EQ(child->attackFlag, coldFlag) << fen;
      EXPECT_EQ(df, coldDraw) << fen;
      EXPECT_EQ(Positional(pos, child, FullAlpha, FullBeta, &df), cold) << fen;
      // A partial entry (centre skipped), completed later.
      ClearEvalTables();
      CentreMax = -20000;
      CentreMin = 20000;
      Positional(pos, child, m - 50, m + 50, &df);
      partials += EvalCacheProbe(child->side, child->key1 ^ 0, child->key2, EvalSignature, 1, &df, &df);
      OpenBounds();
      EXPECT_EQ(Positional(pos, child, m - 50, m + 50, &df), cold) << fen;
      EXPECT_EQ(Positional(pos, child, m - 50, m + 50, &df), cold) << fen;
      // Evaluate without lazy exits gives lazyEval plus that value, or 0 for a dead draw.
      int total = Evaluate(pos, child, m - 50, m + 50, -1);
      EXPECT_EQ(total, coldDraw ? 0 : cold + m) << fen;
      EXPECT_EQ(Evaluate(pos, child, FullAlpha, FullBeta, -1), total) << fen;
      compared++;
    });
  }
  EXPECT_GT(compared, 1000);
  EXPECT_GT(partials, 100);
}

TEST_F(EvaluateTest, FullWindowNeverReadsTheCacheButStoresAndSeedsTheBounds) {
  s.Load("8/5pk1/6p1/7p/7P/6P1/5PK1/3R4 w - - 0 40");  // no castling rights: plain keys
  int df = 0;
  EvalCacheStore(s.root->side, s.root->key1, s.root->key2, EvalSignature, 0, 1234, 0);
  ResetRunningBounds();
  int v = EvaluatePosition(s.pos.get(), s.root, lazyEval(s.root), FullAlpha, FullBeta, &df, 0, nullptr);
  EXPECT_NE(v, 1234);
  EXPECT_EQ(PositionalMax[White], v);
  EXPECT_EQ(PositionalMin[White], v);
  EXPECT_EQ(PositionalMin[Black], -v);
  int stored = 0, flag = 0;
  ASSERT_EQ(EvalCacheProbe(White, s.root->key1, s.root->key2, EvalSignature, 0, &stored, &flag), 1);
  EXPECT_EQ(stored, v);
}

TEST_F(EvaluateTest, DeadDrawIsZeroWhateverTheMaterialAndIsNotCached) {
  DrawScore = 60;
  s.Load("8/8/8/8/3k4/8/3K4/1N2N3 w - - 0 1");
  EXPECT_NE(lazyEval(s.root), 0);
  EXPECT_EQ(Evaluate(s.pos.get(), s.root, -100, 100, 0), 0);
  EXPECT_EQ(s.Full(), 0);
  int stored = 0, flag = 0;
  EXPECT_EQ(EvalCacheProbe(White, s.root->key1, s.root->key2, EvalSignature, 0, &stored, &flag), 0);
  DrawScore = 0;
}

// With a drawishness percentage p the total is (lazyEval + positional) * p / 100.
TEST_F(EvaluateTest, DrawScaleScalesTheWholeTotal) {
  const char* fens[] = {"8/8/8/2r5/3k4/8/2PK4/3B3R w - - 0 1", "8/5p2/8/3k4/8/8/3K4/6B1 w - - 0 1",
                        "3k4/8/3K4/3P4/8/8/8/r6R w - - 0 1", "8/8/4k3/4P3/4K3/3b4/8/5B2 w - - 0 1"};
  int scaled = 0;
  for (const char* fen : fens) {
    s.Load(fen);
    EvalBreakdown bd;
    int total = EvaluateWithBreakdown(s.pos.get(), s.root, &bd);
    if (!bd.drawScale || bd.drawFlag) continue;
    int sum = 0;
    for (int g = 0; g < EvalGroupCount; g++) sum += bd.group[g];
    int m = lazyEval(s.root), v = s.root->side == White ? sum : -sum;
    EXPECT_EQ(total, m + (m * (bd.drawScale - 100) + v * bd.drawScale) / 100) << fen;
    scaled++;
  }
  EXPECT_GE(scaled, 3);
}

TEST_F(EvaluateTest, NoLazyExitAtPliesZeroAndOne) {
  s.Load(KiwipeteFen);
  int full = s.Full();
  int m = lazyEval(s.root);
  ResetRunningBounds();  // maxima -15000: every window looks far away
  EXPECT_EQ(Evaluate(s.pos.get(), s.root, m - 1, m + 1, -1), full);
  PlyState* deeper = &s.pos->plies[2];
  for (int ply : {1, 2}) {
    PlyState copy = *s.root;
    copy.ply = uint8_t(ply);
    copy.side = s.root->side;
    s.pos->plies[ply] = copy;
  }
  EXPECT_EQ(Evaluate(s.pos.get(), &s.pos->plies[1], m - 1, m + 1, -1), full);
  EXPECT_EQ(Evaluate(s.pos.get(), deeper, m - 1, m + 1, -1), m);
}

// The worse side checking on each of its last five moves: the total shrinks to 80%.
TEST_F(EvaluateTest, CheckingRunNeedsNinePlies) {
  s.Load("6k1/5ppp/8/8/8/8/q4PPP/6K1 b - - 0 1");
  s.Load("6k1/5ppp/8/8/8/8/q4PPP/6K1 w - - 0 1");
  Position* pos = s.pos.get();
  int plain = s.Full();
  ASSERT_LT(plain, 0);
  for (int ply : {8, 9}) {
    for (int k = 0; k <= ply; k++) {
      pos->plies[k] = *s.root;
      pos->plies[k].ply = uint8_t(k);
      pos->plies[k].side = int8_t((ply - k) & 1 ? Black : White);
      pos->plies[k].flags &= ~InCheckFlag;
      if ((ply - k) % 2 == 1) pos->plies[k].flags |= InCheckFlag;
    }
    PlyState* node = &pos->plies[ply];
    node->side = White;
    node->irreversible = &pos->keyBuffer[0];
    pos->keyPtr = &pos->keyBuffer[ply];
    int m = lazyEval(node);
    ClearEvalTables();
    int v = Evaluate(pos, node, FullAlpha, FullBeta, -1);
    if (ply == 8) {
      EXPECT_EQ(v, plain);
    } else {
      EXPECT_EQ(v, m + (m * (80 - 100) + (plain - m) * 80) / 100);
      EXPECT_NE(v, plain);
    }
  }
}

// The slot is the key modulo the entry count for sizes that are and are not powers of two.
TEST_F(EvaluateTest, CacheSlotIsTheKeyModuloTheEntryCount) {
  const uint32_t keys[] = {0u,          1u,          63u,         64u,         52415u,     52416u,
                           0x7FFFFFFFu, 0x80000000u, 0x9E3779B9u, 0xFFFFFFFEu, 0xFFFFFFFFu};
  for (int kb : {1, 3, 200, 819, 1024, 3072, 65536}) {
    ASSERT_EQ(AllocateEvalCache(kb), 1);
    uint32_t entries = uint32_t(kb) * 1024 / 16;
    for (uint32_t key : keys) EXPECT_EQ(EvalCacheSlot(key), key % entries) << kb << " KB, key " << key;
    uint32_t key = 12345;
    for (int i = 0; i < 1000; i++) {
      key = key * 1664525u + 1013904223u;
      EXPECT_EQ(EvalCacheSlot(key), key % entries) << kb << " KB, key " << key;
    }
  }
  ASSERT_EQ(AllocateEvalCache(1024), 1);
}

TEST_F(EvaluateTest, CacheKeepsOnlyScoresThatFitSixteenBits) {
  int stored = 0, flag = 0;
  EvalCacheStore(Black, 77, 0x12345678, EvalSignature, 0, 40000, 1);
  EXPECT_EQ(EvalCacheProbe(Black, 77, 0x12345678, EvalSignature, 0, &stored, &flag), 0);
  EvalCacheStore(Black, 77, 0x12345678, EvalSignature, 0, -32768, 1);
  ASSERT_EQ(EvalCacheProbe(Black, 77, 0x12345678, EvalSignature, 0, &stored, &flag), 1);
  EXPECT_EQ(stored, -32768);
  EXPECT_EQ(flag, 1);
  // Partial and complete entries, other stamps and the other side's table do not match.
  EXPECT_EQ(EvalCacheProbe(Black, 77, 0x12345678, EvalSignature, 1, &stored, &flag), 0);
  EXPECT_EQ(EvalCacheProbe(Black, 77, 0x12345678, EvalSignature + 1, 0, &stored, &flag), 0);
  EXPECT_EQ(EvalCacheProbe(White, 77, 0x12345678, EvalSignature, 0, &stored, &flag), 0);
  EXPECT_EQ(EvalCacheProbe(Black, 77, 0x12345670, EvalSignature, 0, &stored, &flag), 0);
}

TEST_F(EvaluateTest, CacheAllocationNeverFailsHard) {
  EXPECT_EQ(AllocateEvalCache(64), 1);
  EXPECT_EQ(EvalCacheKilobytes(), 64);
  // An impossible size falls back to 1024 KB.
  EXPECT_EQ(AllocateEvalCache(0x7FFFFFFF), 1);
  EXPECT_EQ(EvalCacheKilobytes(), 1024);
  FreeEvalCache();
  EXPECT_EQ(EvalCacheKilobytes(), 0);
  s.Load(StartFen);
  EXPECT_EQ(Evaluate(s.pos.get(), s.root, -50, 50, 0), s.Full());  // uncached evaluation still works
  ClearEvalTables();
  ASSERT_EQ(AllocateEvalCache(1024), 1);
}
