#include "search/repetition.h"
#include <gtest/gtest.h>
#include <memory>
#include "search/search.h"

namespace {

// A key history laid out by hand: keys[i] at keyBuffer[i], the current position last.
struct KeyLine {
  std::unique_ptr<Position> pos{new Position{}};
  PlyState* node = nullptr;

  KeyLine(std::initializer_list<uint32_t> keys, int irreversibleIndex, int ply) {
    int i = 0;
    for (uint32_t k : keys) pos->keyBuffer[i++] = k;
    pos->keyPtr = &pos->keyBuffer[i - 1];
    node = &pos->plies[ply];
    node->ply = uint8_t(ply);
    node->key2 = *pos->keyPtr;
    node->irreversible = &pos->keyBuffer[irreversibleIndex];
  }
  int Repeats(int count) const { return IsRepetition(pos.get(), node->irreversible, node->key2, count); }
};

TEST(Repetition, CountsPositionsWithTheSameSideToMove) {
  // A B C D A: A occurred four plies ago.
  KeyLine once({1, 2, 3, 4, 1}, 0, 4);
  EXPECT_EQ(once.Repeats(1), 1);
  EXPECT_EQ(once.Repeats(2), 0);
  // A B C D A B C D A: twice before.
  KeyLine twice({1, 2, 3, 4, 1, 2, 3, 4, 1}, 0, 8);
  EXPECT_EQ(twice.Repeats(2), 1);
  EXPECT_EQ(twice.Repeats(3), 0);
  // The same key with the other side to move (an odd distance) is another position.
  KeyLine odd({1, 2, 3, 1, 5, 6, 1}, 0, 6);
  EXPECT_EQ(odd.Repeats(1), 1);  // distance 6 counts
  KeyLine oddOnly({1, 2, 3, 4, 5, 1}, 0, 5);
  EXPECT_EQ(oddOnly.Repeats(1), 0);  // distance 5 does not
  // Two plies back is never a repetition (a null move keeps the key).
  KeyLine nullMove({7, 1, 1}, 0, 2);
  EXPECT_EQ(nullMove.Repeats(1), 0);
}

TEST(Repetition, StopsAtTheLastIrreversibleMove) {
  // The earlier A lies before a capture or pawn move at index 1.
  KeyLine blocked({1, 2, 3, 4, 5, 6, 1}, 1, 6);
  EXPECT_EQ(blocked.Repeats(1), 0);
  KeyLine atEdge({1, 2, 3, 4, 5, 6, 1}, 0, 6);
  EXPECT_EQ(atEdge.Repeats(1), 1);
  EXPECT_EQ(ReversiblePlies(atEdge.pos.get(), atEdge.node), 6);
}

TEST(Repetition, ScoresFavourTheCheckingSide) {
  KeyLine line({1, 2, 3, 4, 1}, 0, 3);
  PlyState* node = line.node;
  struct Case { uint32_t here, before; int shift, ply, score; };
  const Case cases[] = {
      {0, 0, 1, 3, 0},
      {InCheckFlag, 0, 1, 3, -1},
      {0, InCheckFlag, 1, 3, 1},
      {InCheckFlag, InCheckFlag, 1, 3, -1},
      {InCheckFlag, 0, 2, 9, -2},
      {0, InCheckFlag, 1, 9, 4},
  };
  for (const Case& c : cases) {
    RepetitionShift = c.shift;
    node = &line.pos->plies[c.ply];
    node->ply = uint8_t(c.ply);
    node->flags = c.here;
    node[-1].flags = c.before;
    EXPECT_EQ(RepetitionScore(node), c.score) << c.here << " " << c.before << " " << c.ply;
  }
  RepetitionShift = 1;
}

}  // namespace
