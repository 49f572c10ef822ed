#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "board/geometry.h"
#include "board/keys.h"
#include "board/move_text.h"

namespace {

int Sq(const char* name) { return (name[0] - 'a' + 1) + 8 * (name[1] - '1'); }

std::vector<int> ListOf(const uint8_t* list) {
  std::vector<int> squares;
  for (; *list; list++) squares.push_back(*list);
  return squares;
}

std::vector<int> Squares(std::initializer_list<const char*> names) {
  std::vector<int> squares;
  for (const char* n : names) squares.push_back(Sq(n));
  return squares;
}

TEST(Geometry, TargetListsKeepOffsetOrder) {
  EXPECT_EQ(ListOf(KingTargets[Sq("a1")]), Squares({"b1", "b2", "a2"}));
  EXPECT_EQ(ListOf(KnightTargets[Sq("a1")]), Squares({"c2", "b3"}));
  EXPECT_EQ(ListOf(KnightTargets[Sq("e4")]), Squares({"c3", "g3", "d2", "f2", "g5", "c5", "f6", "d6"}));
  EXPECT_EQ(ListOf(PawnCaptureTargets[0][Sq("a2")]), Squares({"b3"}));
  EXPECT_EQ(ListOf(PawnCaptureTargets[1][Sq("e7")]), Squares({"d6", "f6"}));
  EXPECT_TRUE(ListOf(PawnCaptureTargets[0][Sq("e8")]).empty());
}

TEST(Geometry, SliderWalks) {
  EXPECT_EQ(WalkStep[RookWalk][Sq("a1")][Sq("a1")][0], Sq("a2"));
  EXPECT_EQ(WalkStep[RookWalk][Sq("a1")][Sq("a8")][0], Sq("b1"));
  EXPECT_EQ(WalkStep[RookWalk][Sq("a1")][Sq("h1")][0], 0);
  EXPECT_EQ(WalkStep[RookWalk][Sq("a1")][Sq("a5")][1], Sq("b1"));
  EXPECT_EQ(WalkStep[RookWalk][Sq("a1")][Sq("c1")][1], 0);
  // Queen from d4 starts up-left: c5, b6, a7, then up: d5.
  EXPECT_EQ(WalkStep[QueenWalk][Sq("d4")][Sq("d4")][0], Sq("c5"));
  EXPECT_EQ(WalkStep[QueenWalk][Sq("d4")][Sq("a7")][0], Sq("d5"));
  EXPECT_EQ(WalkStep[QueenWalk][Sq("d4")][Sq("b6")][1], Sq("d5"));
}

// Every walk visits each square a slider reaches on an empty board exactly once.
TEST(Geometry, WalksCoverTheEmptyBoardReach) {
  for (int kind = 0; kind < 3; kind++) {
    int code = 7 - kind;
    for (int o = 1; o <= 64; o++) {
      std::set<int> seen;
      for (int s = WalkStep[kind][o][o][0]; s != 0; s = WalkStep[kind][o][s][0]) EXPECT_TRUE(seen.insert(s).second);
      for (int t = 1; t <= 64; t++) {
        bool reach = t != o && (AttackKindBits[code] & LineKindOf(o, t)) != 0;
        EXPECT_EQ(seen.count(t) == 1, reach) << kind << " " << o << " " << t;
      }
    }
  }
}

TEST(Geometry, StepBetweenAndLineKinds) {
  EXPECT_EQ(StepBetween[Sq("e1")][Sq("e8")], 8);
  EXPECT_EQ(StepBetween[Sq("h8")][Sq("a1")], -9);
  EXPECT_EQ(StepBetween[Sq("a1")][Sq("b3")], 0);
  EXPECT_EQ(StepBetween[Sq("h1")][Sq("a8")], 7);
  EXPECT_EQ(StepBetween[Sq("a8")][Sq("h1")], -7);
  EXPECT_EQ(StepBetween[Sq("h4")][Sq("a4")], -1);
  EXPECT_EQ(LineKindOf(Sq("a1"), Sq("h8")), 0x10 | 0x40);
  EXPECT_EQ(LineKindOf(Sq("e4"), Sq("f6")), 8);
  EXPECT_EQ(LineKindOf(Sq("e4"), Sq("f5")), 1 | 2 | 0x10 | 0x40);
  EXPECT_EQ(LineKindOf(Sq("e4"), Sq("d3")), 1 | 4 | 0x10 | 0x40);
  EXPECT_EQ(LineKindOf(Sq("a1"), Sq("a8")), 0x20 | 0x40);
  EXPECT_EQ(LineKindOf(Sq("h1"), Sq("a2")), 0);  // no wrap across the edge
}

TEST(Geometry, BeyondLists) {
  EXPECT_EQ(ListOf(BeyondList[Sq("d4")][Sq("a1")]), Squares({"e5", "f6", "g7", "h8"}));
  EXPECT_EQ(ListOf(BeyondList[Sq("d4")][Sq("h8")]), Squares({"c3", "b2", "a1"}));
  EXPECT_EQ(ListOf(BeyondList[Sq("d4")][Sq("d1")]), Squares({"d5", "d6", "d7", "d8"}));
  EXPECT_TRUE(ListOf(BeyondList[Sq("a1")][Sq("b1")]).empty());
  EXPECT_TRUE(ListOf(BeyondList[Sq("d4")][Sq("e6")]).empty());  // not on a line
}

TEST(Geometry, SquareTablesAndMasks) {
  EXPECT_EQ(PawnAhead[0][Sq("e2")], Sq("e3"));
  EXPECT_EQ(PawnAhead[1][Sq("e1")], 0);
  EXPECT_EQ(PawnAhead[0][Sq("e8")], 0);
  EXPECT_EQ(SquareColour[Sq("a1")], 1);
  EXPECT_EQ(SquareColour[Sq("h1")], 0);
  EXPECT_EQ(Square88[Sq("h8")], 119);
  EXPECT_EQ(Square88[Sq("a2")], 16);
  EXPECT_EQ(ListOf(FileSquares[5]), Squares({"e1", "e2", "e3", "e4", "e5", "e6", "e7", "e8"}));
  EXPECT_EQ(FileMask[1], 0x0101010101010101ull);
  EXPECT_EQ(SquareMask[Sq("h8")], 1ull << 63);
  EXPECT_EQ(RanksTwoThreeMask, 0xFFFF00ull);
  EXPECT_EQ(RanksSixSevenMask, 0xFFFF0000000000ull);
}

TEST(Geometry, RebuildingGivesIdenticalTables) {
  static uint8_t walks[3][65][65][2], king[65][9];
  static uint32_t keys[16][65];
  std::memcpy(walks, WalkStep, sizeof walks);
  std::memcpy(king, KingTargets, sizeof king);
  std::memcpy(keys, ZobristKey2, sizeof keys);
  BuildGeometryTables();
  EXPECT_EQ(std::memcmp(walks, WalkStep, sizeof walks), 0);
  EXPECT_EQ(std::memcmp(king, KingTargets, sizeof king), 0);
  EXPECT_EQ(std::memcmp(keys, ZobristKey2, sizeof keys), 0);
}

// Each table's values are distinct over the piece codes that stand on boards.
TEST(Geometry, ZobristKeysAreDistinctAndSquareZeroIsEmpty) {
  std::set<uint32_t> first, second;
  for (int code = 1; code < 16; code++) {
    EXPECT_EQ(ZobristKey1[code][0], 0u);
    EXPECT_EQ(ZobristKey2[code][0], 0u);
    if ((code & 7) == 0 || (code & 7) == 4) continue;
    for (int sq = 1; sq <= 64; sq++) {
      EXPECT_TRUE(first.insert(ZobristKey1[code][sq]).second);
      EXPECT_TRUE(second.insert(ZobristKey2[code][sq]).second);
    }
  }
}

TEST(Geometry, SquareNames) {
  EXPECT_STREQ(SquareName[0], "00");
  EXPECT_STREQ(SquareName[1], "a1");
  EXPECT_STREQ(SquareName[5], "e1");
  EXPECT_STREQ(SquareName[57], "a8");
  EXPECT_STREQ(SquareName[64], "h8");
}

}  // namespace
