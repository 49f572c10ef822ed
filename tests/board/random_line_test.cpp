// Long random lines, null moves included, made to the depth of the ply stack and unmade
// again: the deep end of the key buffer, the undo stack and the move stacks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "board/position_check.h"
#include "board_fixture.h"

namespace {

TEST(RandomLines, MakeAndUnmakeToTheStackDepth) {
  std::mt19937 random(2024);
  for (const char* fen : {StartFen, KiwipeteFen, PromotionsFen, "4k3/pppppppp/8/8/8/8/PPPPPPPP/4K3 w - - 0 1"}) {
    BoardSetup b;
    PlyState* root = b.Load(fen);
    Position* pos = b.pos.get();
    int deepest = 0;
    int8_t board[65];
    std::memcpy(board, pos->board, sizeof board);
    for (int line = 0; line < 40; line++) {
      PlyState* ps = root;
      int made = 0;
      while (made < MaxPly - 1) {
        GenerateMoves(pos, ps, GenAll, 1);
        std::vector<Move> moves = ListMoves(ps->tacticalBase);
        std::vector<Move> quiet = ListMoves(ps->quietBase);
        moves.insert(moves.end(), quiet.begin(), quiet.end());
        if (!(ps->flags & InCheckFlag) && random() % 10 == 0) moves.assign(1, MoveNull);
        std::shuffle(moves.begin(), moves.end(), random);
        PlyState* next = nullptr;
        for (Move m : moves) {
          ps->move = m;
          if ((next = MakeMove(pos, ps)) != nullptr) break;
        }
        if (next == nullptr) break;  // mate or stalemate
        ASSERT_TRUE(PositionIsOk(pos, next)) << fen << " ply " << made;
        ASSERT_EQ(pos->keyPtr, pos->keyBuffer + made + 1);
        ps = next;
        made++;
      }
      deepest = std::max(deepest, made);
      while (ps != root) {
        ps--;
        UnmakeMove(pos, ps);
      }
      ASSERT_TRUE(PositionIsOk(pos, root));
      ASSERT_EQ(std::memcmp(board, pos->board, sizeof board), 0);
      ASSERT_EQ(pos->undoTop, 0);
      ASSERT_EQ(pos->keyPtr, pos->keyBuffer);
    }
    EXPECT_EQ(deepest, MaxPly - 1) << fen;
  }
}

}  // namespace
