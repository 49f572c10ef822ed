// Colour symmetry: a position and its colour-flipped mirror evaluate alike.
#include <initializer_list>
#include <vector>

#include "board/make_move.h"
#include "board/movegen.h"
#include "eval/eval_fixture.h"
#include "eval/eval_positions.h"
#include "eval/piece_square.h"
#include "protocol/options.h"

namespace {

int MirrorSquare(int s) { return ((s - 1) ^ 56) + 1; }

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

// Every group but `except` (-1: none) mirrors; the total too when nothing is excepted.
void ExpectMirrored(const std::string& fen, int except = -1) {
  std::string mirror = MirrorFen(fen);
  Result a = EvaluateFen(fen), b = EvaluateFen(mirror);
  if (except < 0) {
    EXPECT_EQ(a.total, b.total) << fen << " | " << mirror;
  }
  EXPECT_EQ(a.bd.drawFlag, b.bd.drawFlag) << fen;
  EXPECT_EQ(a.bd.drawScale, b.bd.drawScale) << fen;
  EXPECT_EQ(a.bd.lazy, -b.bd.lazy) << fen;
  for (int g = 0; g < EvalGroupCount; g++) {
    if (g != except) {
      EXPECT_EQ(a.bd.group[g], -b.bd.group[g]) << EvalGroupName[g] << ": " << fen;
    }
  }
}

// The root tables of a position and of its mirror are mirror images.
void ExpectTablesMirrored(const std::string& fen) {
  EvalSetup a, b;
  a.Load(fen);
  static int32_t saved[16][65];
  for (int c = 0; c < 16; c++)
    for (int s = 0; s < 65; s++) saved[c][s] = PieceSquareTable[c][s];
  b.Load(MirrorFen(fen));
  for (int c = 1; c < 16; c++)
    for (int s = 1; s <= 64; s++) {
      EXPECT_EQ(saved[c][s], PieceSquareTable[c ^ 8][MirrorSquare(s)]) << "code " << c << " square " << s << ": " << fen;
    }
  EXPECT_EQ(a.root->pstSum, b.root->pstSum) << fen;
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

TEST(EvalSymmetry, RootTablesMirror) {
  for (const char* fen : EvalSpreadFens) ExpectTablesMirrored(fen);
  PreferOpenPositions = 1;
  for (const char* fen : EvalSpreadFens) ExpectTablesMirrored(fen);
  PreferOpenPositions = 0;
}

// Without pawns nothing on the board favours a wing: a position and its left-right mirror
// evaluate alike.
TEST(EvalSymmetry, PawnlessPositionsMirrorLeftToRight) {
  auto fileMirror = [](const std::string& fen) {
    const size_t end = fen.find(' ');
    std::string placement = fen.substr(0, end), out;
    size_t start = 0;
    for (;;) {
      const size_t slash = placement.find('/', start);
      const std::string rank = placement.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
      out += std::string(rank.rbegin(), rank.rend());
      if (slash == std::string::npos) break;
      out += '/';
      start = slash + 1;
    }
    return out + fen.substr(end);
  };
  EXPECT_EQ(fileMirror("7k/8/5K2/8/8/8/8/R7 w - - 0 1"), "k7/8/2K5/8/8/8/8/7R w - - 0 1");
  for (const char* fen : {"7k/8/5K2/8/8/8/8/R7 w - - 0 1", "8/8/3k4/8/8/2K5/8/6Q1 b - - 0 1",
                          "6k1/8/8/3r4/8/8/2B5/1K2R3 w - - 0 1", "8/2k5/8/8/4K3/8/1N6/6B1 w - - 0 1",
                          "1k6/8/8/8/8/8/1Q3n2/6K1 b - - 0 1"}) {
    EXPECT_EQ(EvaluateFen(fen).total, EvaluateFen(fileMirror(fen)).total) << fen;
  }
}

// The rules tie these terms to the order of a list or to the colour, so a position and its
// mirror may differ in them; each is shown by a position and checked everywhere else.
// - Two rooks: the last-listed own rook among the attackers of a rook's square decides
//   between the rank and the file bonus. With three rooks, d1 is attacked by a1 along the
//   rank and by d4 along the file, and the two colours' attack lists run in other orders.
// - PasserValue walks the sliders attacking a passed pawn from the last listed: d6 with
//   rooks on d7 (above, -10) and d1 (behind, +10) scores whichever comes last.
// - Levers (Prefer Open Positions): White looks for the enemy pawn on the left file first,
//   Black on the right; d2 against c4 and e4 marks c3 in Black's table, the mirror e6.
TEST(EvalSymmetry, OrderDependentTermsAloneDiffer) {
  ExpectMirrored("r2r2k1/5ppp/8/3r4/3R4/8/5PPP/R2R2K1 w - - 0 1", GroupPieces);
  ExpectMirrored("7k/3R2pp/3P4/8/8/8/6PP/3R2K1 w - - 0 1", GroupPassedPawns);
  PreferOpenPositions = 1;
  const char* lever = "rnbqkbnr/pp1p1ppp/8/8/2p1p3/8/PPPP1PPP/RNBQKBNR w KQkq - 0 1";
  EvalSetup a, b;
  a.Load(lever);
  int c3 = PieceSquareTable[BPawn][19], e3 = PieceSquareTable[BPawn][21];
  b.Load(MirrorFen(lever));
  EXPECT_NE(c3, PieceSquareTable[WPawn][MirrorSquare(19)]);
  EXPECT_NE(e3, PieceSquareTable[WPawn][MirrorSquare(21)]);
  ExpectMirrored(lever);  // the root value itself keeps the steps out (White-side term)
  PreferOpenPositions = 0;
}

// Inside a search: every position one move below a root evaluates like the matching
// position below the mirrored root, under the same root tables.
TEST(EvalSymmetry, PositionsBelowTheRootMirror) {
  int matched = 0;
  for (const char* fen : EvalSpreadFens) {
    EvalSetup a, b;
    // Root tables are global: evaluate b's children first and keep them by mirrored board.
    b.Load(MirrorFen(fen));
    struct Child {
      int8_t board[65];
      int total;
      EvalBreakdown bd;
    };
    std::vector<Child> mirrored;
    auto children = [](EvalSetup& s, auto visit) {
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
    };
    children(b, [&](PlyState* child) {
      Child c;
      for (int s = 1; s <= 64; s++) c.board[s] = b.pos->board[MirrorSquare(s)] ? int8_t(b.pos->board[MirrorSquare(s)] ^ 8) : 0;
      c.total = EvaluateWithBreakdown(b.pos.get(), child, &c.bd);
      mirrored.push_back(c);
    });
    a.Load(fen);
    children(a, [&](PlyState* child) {
      for (const Child& c : mirrored) {
        bool same = true;
        for (int s = 1; s <= 64 && same; s++) same = c.board[s] == a.pos->board[s];
        if (!same) continue;
        EvalBreakdown bd;
        int total = EvaluateWithBreakdown(a.pos.get(), child, &bd);
        EXPECT_EQ(total, c.total) << fen;
        for (int g = 0; g < EvalGroupCount; g++) EXPECT_EQ(bd.group[g], -c.bd.group[g]) << EvalGroupName[g] << ": " << fen;
        matched++;
        break;
      }
    });
  }
  EXPECT_GT(matched, 1000);
}
