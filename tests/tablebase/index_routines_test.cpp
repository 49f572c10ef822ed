// The index routines against the rule's telling counts and edge cases, and exhaustively (or
// on samples for the larger records) against the two properties every table relies on: each
// legal position has an index inside the record's range, and two positions share an index
// only when one is the other under the board symmetries the record's index uses.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <thread>
#include <vector>

#include "tablebase/endgame_table.h"
#include "tablebase/index_count.h"
#include "tablebase/index_check.h"
#include "tablebase/index_tables.h"

namespace {

struct TellingCount {
  const char* name;
  int side;
  uint64_t count;
};

TEST(TbIndexCounts, TellingMembers) {
  const TellingCount cases[] = {
      {"krk", 1, 28644},     {"krk", 0, 27030},         {"kqqk", 1, 873642},
      {"kqqk", 0, 698739},   {"kqrk", 1, 1747284},      {"krpkr", 1, 304369920},
      {"kqqqk", 1, 17472840}, {"kpk", 0, 81664},        {"kpkp", 0, 3863492},
      {"knnknn", 0, 1301488080},
  };
  for (const auto& c : cases) {
    int record = EndgameRecordByName(c.name);
    ASSERT_GT(record, 0) << c.name;
    EXPECT_EQ(RecordCount(record, c.side), c.count) << c.name << " side " << c.side;
  }
}

TEST(TbIndexCounts, KpkpEnPassantAreaFollowsTheNormalPositions) {
  int kpkp = EndgameRecordByName("kpkp");
  EXPECT_EQ(TbNormalIndexCount(kpkp, 0), 81664u * 47);
  EXPECT_EQ(RecordCount(kpkp, 0) - TbNormalIndexCount(kpkp, 0), 1806u * 14);
  // White king d8, Black king h8, White pawn g5 takes h6 after h7-h5: the area's last index.
  TbTestPosition p = MakePosition(RecordPieces(kpkp), std::vector<int>{59, 63, 38, 39}.data(), 47);
  EXPECT_EQ(IndexOf(kpkp, 0, p), RecordCount(kpkp, 0) - 1);
  // The same position without the en-passant right is indexed in the normal area.
  p.ep = TbNoEnPassant;
  EXPECT_LT(IndexOf(kpkp, 0, p), TbNormalIndexCount(kpkp, 0));
}

TEST(TbIndexCounts, ThePairOfKingsComesFirst) {
  // Black king a1, White king c1, rook e4: pair 0, both kings below the rook.
  int krk = EndgameRecordByName("krk");
  TbTestPosition p = MakePosition(RecordPieces(krk), std::vector<int>{2, 0, 28}.data());
  EXPECT_EQ(IndexOf(krk, 1, p), 26u);
}

TEST(TbIndexSymmetry, KingOnE5IsMappedToD4) {
  // Black king e5 with White king e8 and rook b6: XOR 63 gives d4, d1 and g3, a position the
  // index takes as it stands (d1 lies below the diagonal).
  int krk = EndgameRecordByName("krk");
  auto pieces = RecordPieces(krk);
  TbTestPosition atE5 = MakePosition(pieces, std::vector<int>{60, 36, 41}.data());
  TbTestPosition atD4 = MakePosition(pieces, std::vector<int>{60 ^ 63, 36 ^ 63, 41 ^ 63}.data());
  EXPECT_EQ(IndexOf(krk, 1, atE5), IndexOf(krk, 1, atD4));
  BuildTablebaseIndexTables();
  EXPECT_EQ(IndexOf(krk, 1, atD4), uint64_t(TbPawnlessPair[27][3]) * 62 + (22 - 1));
}

TEST(TbIndexSymmetry, FlipMirrorsTheRanksOfPawnEndgames) {
  const char* names[] = {"kpk", "kpkp", "krpkr", "kppkp"};
  std::mt19937_64 rng(7);
  for (const char* name : names) {
    int record = EndgameRecordByName(name);
    for (int side = 0; side < 2; side++) {
      for (int n = 0; n < 200; n++) {
        TbTestPosition p = RandomLegalPosition(record, side, rng);
        // The same position with the colours swapped, as a caller hands it over with flip 1.
        TbTestPosition swapped;
        for (int i = 0; i < 24; i++) {
          swapped.white[i] = p.white[i] ^ 56;
          swapped.black[i] = p.black[i] ^ 56;
        }
        swapped.ep = TbNoEnPassant;
        EXPECT_EQ(IndexOf(record, side, swapped, 1), IndexOf(record, side, p)) << name;
      }
    }
  }
}

TEST(TbIndexSymmetry, SymmetricRecordsAnswerBlackThroughTheColourSwap) {
  int kpkp = EndgameRecordByName("kpkp");
  std::mt19937_64 rng(11);
  for (int n = 0; n < 500; n++) {
    TbTestPosition p = RandomLegalPosition(kpkp, 1, rng);
    TbTestPosition swapped;
    for (int i = 0; i < 24; i++) {
      swapped.white[i] = p.black[i] ^ 56;
      swapped.black[i] = p.white[i] ^ 56;
    }
    swapped.ep = TbNoEnPassant;
    EXPECT_EQ(IndexOf(kpkp, 1, p), IndexOf(kpkp, 0, swapped));
  }
}

TEST(TbIndexInput, PositionsWithoutAnIndex) {
  int krk = EndgameRecordByName("krk"), kpk = EndgameRecordByName("kpk");
  auto krkPieces = RecordPieces(krk), kpkPieces = RecordPieces(kpk);
  // Touching kings, two pieces on one square, a square off the board, a pawn on the last
  // rank, a rook giving contact check with White to move.
  EXPECT_EQ(IndexOf(krk, 0, MakePosition(krkPieces, std::vector<int>{0, 1, 30}.data())), TbNoIndex);
  EXPECT_EQ(IndexOf(krk, 0, MakePosition(krkPieces, std::vector<int>{0, 30, 30}.data())), TbNoIndex);
  EXPECT_EQ(IndexOf(krk, 1, MakePosition(krkPieces, std::vector<int>{0, 64, 30}.data())), TbNoIndex);
  EXPECT_EQ(IndexOf(krk, 1, MakePosition(krkPieces, std::vector<int>{0, -1, 30}.data())), TbNoIndex);
  EXPECT_EQ(IndexOf(kpk, 0, MakePosition(kpkPieces, std::vector<int>{0, 30, 60}.data())), TbNoIndex);
  EXPECT_EQ(IndexOf(krk, 0, MakePosition(krkPieces, std::vector<int>{0, 30, 31}.data())), TbNoIndex);
  // An en-passant square that does not fit the position is ignored.
  int kpkp = EndgameRecordByName("kpkp");
  TbTestPosition p = MakePosition(RecordPieces(kpkp), std::vector<int>{0, 63, 12, 52}.data());
  uint64_t plain = IndexOf(kpkp, 0, p);
  for (int ep : {40, 44, 20, 63, 5000, -3}) {
    p.ep = ep;
    EXPECT_EQ(IndexOf(kpkp, 0, p), plain) << ep;
  }
}

TEST(TbIndexExhaustive, ThreePieceRecords) {
  for (int record = 1; record < FirstFourPieceRecord; record++)
    for (int side = 0; side < 2; side++) CheckRecordSideExhaustively(record, side);
}

TEST(TbIndexExhaustive, BothSidesPawnsWithTheEnPassantArea) {
  CheckRecordSideExhaustively(EndgameRecordByName("kpkp"), 0);
}

// The two sides of each record on two threads (the test machine has two cores).
template <typename Check>
void BothSidesAtOnce(int record, Check check) {
  std::thread black([&] { check(record, 1); });
  check(record, 0);
  black.join();
}

TEST(SlowTbIndexExhaustive, FourPieceRecords) {
  for (int record = FirstFourPieceRecord; record < FirstFivePieceRecord; record++)
    BothSidesAtOnce(record, [](int r, int side) { CheckRecordSideExhaustively(r, side); });
}

TEST(TbIndexSampled, FiveAndSixPieceRecords) {
  for (int record = FirstFivePieceRecord; record < EndgameRecordCount; record++)
    for (int side = 0; side < 2; side++) CheckRecordSideSampled(record, side, 300, 300);
}

TEST(SlowTbIndexSampled, FiveAndSixPieceRecords) {
  for (int record = FirstFivePieceRecord; record < EndgameRecordCount; record++)
    BothSidesAtOnce(record, [](int r, int side) { CheckRecordSideSampled(r, side, 20000, 20000); });
}

}  // namespace
