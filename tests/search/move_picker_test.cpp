#include "board/move_checks.h"
#include "search/move_picker.h"
#include <algorithm>
#include "board/test_fens.h"
#include "protocol/options.h"
#include "search_fixture.h"

namespace {

class MovePickerTest : public SearchFixture {
 protected:
  std::vector<Move> Drain(PlyState* node) {
    ResetPicker(node);
    std::vector<Move> order;
    for (Move m; (m = NextMove(pos.get(), node));) order.push_back(m);
    return order;
  }
  static bool Contains(const std::vector<Move>& moves, Move m) {
    return std::find(moves.begin(), moves.end(), m) != moves.end();
  }
  static void ExpectSameMoves(std::vector<Move> a, std::vector<Move> b) {
    std::sort(a.begin(), a.end());
    std::sort(b.begin(), b.end());
    EXPECT_EQ(a, b);
  }
};

// White queen d2 can take an undefended knight on g5 (good) or a pawn on d6 defended by c7
// (bad); the rook and king have quiet moves and castling.
const char* const PickerFen = "4k3/2p5/3p4/6n1/8/8/3Q4/4K2R w K - 0 1";

TEST_F(MovePickerTest, StagesComeInOrder) {
  Load(PickerFen);
  const Move hash1 = FindMove(root, "h1h5"), hash2 = FindMove(root, "d2d4");
  const Move good = FindMove(root, "d2g5"), bad = FindMove(root, "d2d6"), killer = FindMove(root, "h1h3");
  ASSERT_TRUE(hash1 && hash2 && good && bad && killer);
  root->hashMove1 = hash1;
  root->hashMove2 = hash2 | TransSingularBit;  // the singular bit is not part of the move
  pos->killers[0][0] = killer;
  const std::vector<Move> order = Drain(root);
  ASSERT_GE(order.size(), 5u);
  EXPECT_EQ(order[0], hash1);
  EXPECT_EQ(order[1], hash2);
  EXPECT_EQ(order[2], good);
  EXPECT_EQ(order[3], killer);
  EXPECT_EQ(order[4], bad);
  EXPECT_EQ(root->triedHashMove2, hash2);
  ExpectSameMoves(order, PseudoLegalMoves(root));  // every move exactly once
}

TEST_F(MovePickerTest, StoredMovesThatDoNotFitAreSkipped) {
  Load(PickerFen);
  const std::vector<Move> all = PseudoLegalMoves(root);
  // Moves a table entry of another position could hold; the last two fit this one.
  const Move stored[] = {
      MakeMoveWord(1, 9, WRook),                      // nothing on a1
      MakeMoveWord(13, 21, WQueen),                   // the queen is on d2, not e2
      MakeMoveWord(61, 53, BKing),                    // the opponent's king
      MakeMoveWord(12, 61, WQueen, BKing),            // taking a king
      MakeMoveWord(12, 39, WQueen),                   // d2-g7 is no queen line
      MakeMoveWord(5, 7, WKing),                      // e1-g1 without the castling bit
      MakeMoveWord(5, 7, WKing) | MoveCastle | MoveNull,
      MakeMoveWord(12, 20, WQueen) | MoveDoubleStep,  // a queen with a pawn's double step
      MakeMoveWord(8, 64, WRook),                     // h1-h8 up the empty file
      MakeMoveWord(12, 44, WQueen, BPawn),            // d2xd6
  };
  for (Move move : stored) {
    const bool sound = IsStoredMoveSound(pos.get(), root, move) != 0;
    EXPECT_EQ(sound, Contains(all, move)) << std::hex << move;
    if (sound) continue;
    root->hashMove1 = move;
    root->hashMove2 = move;
    const std::vector<Move> order = Drain(root);
    EXPECT_FALSE(Contains(order, move)) << std::hex << move;
    ExpectSameMoves(order, all);
  }
}

TEST_F(MovePickerTest, InCheckTheLegalMovesAreTheEvasions) {
  Load("4k3/8/8/8/8/8/4r3/R3K3 w Q - 0 1");
  root->hashMove1 = FindMove(root, "a1a8");  // no evasion: make refuses it
  int legal = 0;
  for (Move m : Drain(root)) {
    root->move = m;
    if (MakeMove(pos.get(), root)) {
      UnmakeMove(pos.get(), root);
      legal++;
    }
  }
  EXPECT_EQ(legal, 3);  // Kxe2, Kd1, Kf1
  EXPECT_EQ(size_t(legal), LegalMoves(root).size());
}

// Every move the generator makes is accepted as a stored move (castling only where its
// path is clear: the generator lists it by the rights alone), over small trees of positions
// with castling, en passant and promotions.
TEST_F(MovePickerTest, EveryGeneratedMoveIsSound) {
  const char* fens[] = {
      KiwipeteFen,
      EndgameFen,
      PromotionsFen,
      TalkchessFen,
      "rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
  };
  for (const char* fen : fens) {
    Load(fen);
    int checked = 0;
    for (Move m : PseudoLegalMoves(root)) {
      EXPECT_EQ(IsStoredMoveSound(pos.get(), root, m), (m & MoveCastle) ? IsMovePlausible(m, pos->board, root->flags) : 1)
          << fen << " " << Text(m);
      root->move = m;
      PlyState* child = MakeMove(pos.get(), root);
      if (!child) continue;
      for (Move reply : PseudoLegalMoves(child)) {
        const int expected = (reply & MoveCastle) ? IsMovePlausible(reply, pos->board, child->flags) : 1;
        EXPECT_EQ(IsStoredMoveSound(pos.get(), child, reply), expected) << fen << " " << Text(m) << Text(reply);
        checked++;
      }
      UnmakeMove(pos.get(), root);
    }
    EXPECT_GT(checked, 0);
  }
}

// The rook's only quiet check is a1a8; there is nothing to capture.
TEST_F(MovePickerTest, QuiescenceChecksNeedTheKingAttackAndTheOption) {
  Load("4k3/8/8/8/8/8/7p/R3K3 w - - 0 1");
  const Move check = FindMove(root, "a1a8");
  struct Case { int combinations, attackFlag, qdepth; bool wantsCheck; };
  const Case cases[] = {{1, 1, 0, true}, {0, 1, 0, false}, {1, 0, 0, false}, {1, 1, -1, false}};
  const int saved = CombinationQuiesceChecks;
  for (const Case& c : cases) {
    CombinationQuiesceChecks = c.combinations;
    ResetPicker(root);
    root->hashMove1 = 0;
    root->attackFlag = uint8_t(c.attackFlag);
    std::vector<Move> order;
    for (Move m; (m = NextQuiesceMove(pos.get(), root, c.qdepth));) order.push_back(m);
    EXPECT_EQ(order, c.wantsCheck ? std::vector<Move>{check} : std::vector<Move>{})
        << c.combinations << c.attackFlag << c.qdepth;
  }
  CombinationQuiesceChecks = saved;
  root->attackFlag = 0;
}

}  // namespace
