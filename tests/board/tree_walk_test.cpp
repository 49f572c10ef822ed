// Walks whole perft trees checking, at every node, the position's invariants after each
// make and unmake, that the generation modes agree with each other, and that the legal-move
// count taken from the attack tables equals the moves make accepts.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "board/geometry.h"
#include "board/legal_count.h"
#include "board/move_checks.h"
#include "board/position_check.h"
#include "board_fixture.h"
#include "eval/piece_square.h"

namespace {

// One call of the generator on ps with its lists restored afterwards.
std::vector<Move> Generate(Position* pos, PlyState* ps, int mode, int allPromotions, bool dropCheck = false) {
  PlyState saved = *ps;
  ps->listsMade = 0;
  if (dropCheck) ps->flags &= ~InCheckFlag;
  GenerateMoves(pos, ps, mode, allPromotions);
  std::vector<Move> moves;
  if (ps->listsMade & 1) moves = ListMoves(ps->tacticalBase);
  if (ps->listsMade & 2) {
    std::vector<Move> quiet = ListMoves(ps->quietBase);
    moves.insert(moves.end(), quiet.begin(), quiet.end());
  }
  *ps = saved;
  std::sort(moves.begin(), moves.end());
  return moves;
}

std::vector<Move> LegalOnly(Position* pos, PlyState* ps, const std::vector<Move>& moves) {
  std::vector<Move> legal;
  Move saved = ps->move;
  for (Move m : moves) {
    ps->move = m;
    if (MakeMove(pos, ps) == nullptr) continue;
    UnmakeMove(pos, ps);
    legal.push_back(m);
  }
  ps->move = saved;
  return legal;
}

// After the quiet move the moved piece itself attacks the enemy king.
bool GivesDirectCheck(const Position* pos, Move m) {
  int8_t board[65];
  std::memcpy(board, pos->board, sizeof board);
  board[MoveFrom(m)] = 0;
  board[MoveTo(m)] = int8_t(MovePiece(m));
  int king = pos->pieceList[PieceSide(MovePiece(m)) ^ 1][0];
  return PieceMissesSquare(board, MovePiece(m), MoveTo(m), king) == 0;
}

void CheckModesAgree(Position* pos, PlyState* ps) {
  if (ps->flags & InCheckFlag) {
    std::vector<Move> evasions = Generate(pos, ps, GenTactical, 1);
    EXPECT_EQ(evasions, Generate(pos, ps, GenQuietChecks, 1));
    std::vector<Move> full = Generate(pos, ps, GenAll, 1, true);
    EXPECT_EQ(LegalOnly(pos, ps, evasions), LegalOnly(pos, ps, full));
    return;
  }
  std::vector<Move> all = Generate(pos, ps, GenAll, 1);
  std::vector<Move> tactical = Generate(pos, ps, GenTactical, 1);
  std::vector<Move> quiet = Generate(pos, ps, GenQuiet, 1);
  std::vector<Move> both = tactical;
  both.insert(both.end(), quiet.begin(), quiet.end());
  std::sort(both.begin(), both.end());
  EXPECT_EQ(all, both);
  for (Move m : tactical) EXPECT_NE(m & (MoveTacticalMask), 0u);
  for (Move m : quiet) EXPECT_EQ(m & (MoveTacticalMask), 0u);

  std::vector<Move> checks;
  for (Move m : quiet)
    if (!(m & MoveCastle) && GivesDirectCheck(pos, m)) checks.push_back(m);
  EXPECT_EQ(Generate(pos, ps, GenQuietChecks, 1), checks);

  // Without the all-promotions flag only queen promotions remain.
  std::vector<Move> queens = Generate(pos, ps, GenTactical, 0);
  std::vector<Move> expected;
  for (Move m : tactical)
    if (MovePromotion(m) == 0 || PieceKind(MovePromotion(m)) == WQueen) expected.push_back(m);
  EXPECT_EQ(queens, expected);
}

// The board as a FEN placement with the side and the flags, for failure messages.
std::string PositionText(const Position* pos, const PlyState* ps) {
  static const char Letters[] = ".KPN.BRQ.kpn.brq";
  std::string text;
  for (int rank = 8; rank >= 1; rank--) {
    int empty = 0;
    for (int file = 1; file <= 8; file++) {
      int code = pos->board[SquareOf(file, rank)];
      if (code == 0) {
        empty++;
        continue;
      }
      if (empty) text += char('0' + empty);
      empty = 0;
      text += Letters[code];
    }
    if (empty) text += char('0' + empty);
    if (rank > 1) text += '/';
  }
  return text + (ps->side == White ? " w flags " : " b flags ") + std::to_string(ps->flags);
}

// The piece-square sum from the side to move's view, counted from the board.
int PlainPieceSquareSum(const Position* pos, int side) {
  int sum = 0;
  for (int sq = 1; sq <= 64; sq++) {
    int code = pos->board[sq];
    if (code > 0) sum += PieceSide(code) == side ? PieceSquareTable[code][sq] : -PieceSquareTable[code][sq];
  }
  return sum;
}

// Castling rights only with king and rook at home.
bool RightsFitTheBoard(const Position* pos, uint32_t flags) {
  const int8_t* b = pos->board;
  return (!(flags & WhiteKingSide) || (b[5] == WKing && b[8] == WRook)) &&
         (!(flags & WhiteQueenSide) || (b[5] == WKing && b[1] == WRook)) &&
         (!(flags & BlackKingSide) || (b[61] == BKing && b[64] == BRook)) &&
         (!(flags & BlackQueenSide) || (b[61] == BKing && b[57] == BRook));
}

struct Walker {
  Position* pos;
  uint64_t failures = 0;

  bool StateFits(const PlyState* ps) {
    return PositionIsOk(pos, ps) && ps->pstSum == PlainPieceSquareSum(pos, ps->side) && RightsFitTheBoard(pos, ps->flags);
  }

  uint64_t Walk(PlyState* ps, int depth) {
    CheckModesAgree(pos, ps);
    const size_t legal = LegalOnly(pos, ps, Generate(pos, ps, GenAll, 1)).size();
    EXPECT_EQ(size_t(CountLegalMoves(pos, ps)), legal) << PositionText(pos, ps);
    if (!StateFits(ps)) failures++;
    GenerateMoves(pos, ps, GenAll, 1);
    uint64_t nodes = 0;
    for (MoveEntry* list : {ps->tacticalBase, ps->quietBase}) {
      for (MoveEntry* e = list; e->score != MoveListEnd; e++) {
        ps->move = e->move;
        PlyState* next = MakeMove(pos, ps);
        if (next == nullptr) {
          if (!StateFits(ps)) failures++;
          continue;
        }
        if (!StateFits(next)) failures++;
        nodes += depth > 1 ? Walk(next, depth - 1) : 1;
        UnmakeMove(pos, ps);
        if (!StateFits(ps)) failures++;
      }
    }
    return nodes;
  }
};

struct WalkCase {
  const char* fen;
  int depth;
  uint64_t nodes;
};

// Random piece-square values, so that the incremental sum is checked on every move kind.
class TreeWalk : public ::testing::TestWithParam<WalkCase> {
 protected:
  void SetUp() override {
    uint32_t seed = 12345;
    for (auto& row : PieceSquareTable)
      for (auto& value : row) {
        seed = seed * 1103515245u + 12345u;
        value = int32_t(seed >> 16) % 200 - 100;
      }
  }
  void TearDown() override {
    for (auto& row : PieceSquareTable)
      for (auto& value : row) value = 0;
  }
};

TEST_P(TreeWalk, InvariantsHoldAndModesAgreeAtEveryNode) {
  BoardSetup b;
  PlyState* root = b.Load(GetParam().fen);
  ASSERT_TRUE(PositionIsOk(b.pos.get(), root));
  Walker walker{b.pos.get()};
  EXPECT_EQ(walker.Walk(root, GetParam().depth), GetParam().nodes);
  EXPECT_EQ(walker.failures, 0u);
  EXPECT_FALSE(HasFailure()) << GetParam().fen;
}

INSTANTIATE_TEST_SUITE_P(
    Board, TreeWalk,
    ::testing::Values(WalkCase{StartFen, 3, 8902}, WalkCase{KiwipeteFen, 3, 97862}, WalkCase{EndgameFen, 3, 2812},
                      WalkCase{PromotionsFen, 3, 9467}, WalkCase{TalkchessFen, 3, 62379},
                      WalkCase{MiddlegameFen, 3, 89890}));

INSTANTIATE_TEST_SUITE_P(
    ManyPieces, TreeWalk,
    ::testing::Values(WalkCase{"4k3/8/8/8/8/NNNNN3/NNNNN3/4K3 w - - 0 1", 3, 10991},
                      WalkCase{"4k3/nnnnn3/nnnnn3/8/8/8/8/4K3 b - - 0 1", 3, 10991},
                      WalkCase{"4k3/8/8/8/8/BBBBB3/BBBBB3/4K3 w - - 0 1", 3, 4510},
                      WalkCase{"7k/8/8/8/8/RRRRR3/RRRRR3/4K3 w - - 0 1", 3, 4406},
                      WalkCase{"7k/6pp/8/8/8/QQQQQ3/QQQQ4/4K3 w - - 0 1", 3, 13500},
                      WalkCase{"k7/7P/8/8/8/8/NNNNNNNN/N3K3 w - - 0 1", 3, 5274},
                      WalkCase{"7k/P5pp/8/8/8/QQQQQ3/QQQQ4/4K3 w - - 0 1", 3, 13634}));

}  // namespace
