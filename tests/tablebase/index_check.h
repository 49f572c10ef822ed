// The two checks every index routine must pass, run exhaustively or on samples.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "tablebase/endgame_table.h"
#include "tablebase/index_positions.h"

// Checks one legal position: inside the range, and the index's position is one of its images.
// Returns the index, or TbNoIndex after reporting a failure.
inline uint64_t CheckOnePosition(const TbRecordShape& shape, int side, const TbTestPosition& p,
                                 int& failures) {
  uint64_t count = RecordCount(shape.record, side);
  uint64_t index = IndexOf(shape.record, side, p);
  TbTestPosition q;
  bool ok = index < count &&
            TbIndexToPosition(shape.record, side, index, q.white, q.black, &q.ep) &&
            SameUpToSymmetry(shape, p, q);
  if (!ok) {
    if (failures++ < 5)
      ADD_FAILURE() << EndgameTable[shape.record].name << " side " << side << " index " << index
                    << " kings " << p.white[0] << " " << p.black[0] << " ep " << p.ep;
    return TbNoIndex;
  }
  return index;
}

// Every legal position (and every legal en-passant position) of a record's side; then every
// index of the range: an index whose position is legal must have been reached, and without
// pawns every index has a position.
inline void CheckRecordSideExhaustively(int record, int side) {
  TbRecordShape shape = ShapeOfRecord(record);
  auto pieces = RecordPieces(record);
  uint64_t count = RecordCount(record, side);
  std::vector<uint8_t> reached(count, 0);
  int failures = 0;
  int squares[8] = {};
  bool bothPawns = shape.counts[0][TbPawn] > 0 && shape.counts[1][TbPawn] > 0;
  auto visit = [&](const TbTestPosition& base) {
    if (TbPositionIsLegal(record, side, base.white, base.black, base.ep)) {
      uint64_t index = CheckOnePosition(shape, side, base, failures);
      if (index != TbNoIndex) reached[index] = 1;
    }
    if (!bothPawns) return;
    // Every pawn of the side not to move that may just have advanced two squares.
    const int32_t* theirs = side == 0 ? base.black : base.white;
    for (int j = 0; j < shape.counts[1 - side][TbPawn]; j++) {
      int pawn = theirs[4 * TbPawn + j];
      int ep = side == 0 ? pawn + 8 : pawn - 8;
      TbTestPosition p = base;
      p.ep = ep;
      if (TbPositionIsLegal(record, side, p.white, p.black, p.ep)) {
        uint64_t index = CheckOnePosition(shape, side, p, failures);
        if (index != TbNoIndex) reached[index] = 1;
      }
    }
  };
  // Squares piece by piece; alike pieces in increasing order so each position comes once.
  auto place = [&](auto&& self, size_t i) -> void {
    if (i >= pieces.size() || i >= 8) {
      visit(MakePosition(pieces, squares));
      return;
    }
    bool alike = i > 2 && pieces[i].side == pieces[i - 1].side && pieces[i].kind == pieces[i - 1].kind;
    int low = pieces[i].kind == TbPawn ? 8 : 0, high = pieces[i].kind == TbPawn ? 55 : 63;
    if (alike && squares[i - 1] + 1 > low) low = squares[i - 1] + 1;
    for (int sq = low; sq <= high; sq++) {
      bool free = true;
      for (size_t j = 0; j < i; j++) free &= squares[j] != sq;
      if (!free) continue;
      squares[i] = sq;
      self(self, i + 1);
    }
  };
  place(place, 0);
  bool pawns = RecordHasPawns(record);
  uint64_t missed = 0, holes = 0;
  for (uint64_t index = 0; index < count; index++) {
    TbTestPosition q;
    if (!TbIndexToPosition(record, side, index, q.white, q.black, &q.ep)) {
      holes++;
      continue;
    }
    if (!reached[index] && TbPositionIsLegal(record, side, q.white, q.black, q.ep)) missed++;
  }
  EXPECT_EQ(missed, 0u) << EndgameTable[record].name << " side " << side;
  if (!pawns) {
    EXPECT_EQ(holes, 0u) << EndgameTable[record].name << " side " << side;
  }
  EXPECT_TRUE(reached[count - 1]) << EndgameTable[record].name << " side " << side;
}

// Random legal positions, and random indexes of the range.
inline void CheckRecordSideSampled(int record, int side, int positions, int indexes) {
  TbRecordShape shape = ShapeOfRecord(record);
  std::mt19937_64 rng(uint64_t(record) * 2 + uint64_t(side));
  uint64_t count = RecordCount(record, side);
  int failures = 0;
  for (int n = 0; n < positions; n++)
    CheckOnePosition(shape, side, RandomLegalPosition(record, side, rng), failures);
  bool pawns = RecordHasPawns(record);
  for (int n = 0; n < indexes; n++) {
    uint64_t index = rng() % count;
    TbTestPosition q;
    bool found = TbIndexToPosition(record, side, index, q.white, q.black, &q.ep);
    if (!pawns) {
      EXPECT_TRUE(found) << EndgameTable[record].name << " index " << index;
    }
    if (found) {
      EXPECT_EQ(IndexOf(record, side, q), index) << EndgameTable[record].name;
    }
  }
  // The last index holds a legal position.
  TbTestPosition last;
  ASSERT_TRUE(TbIndexToPosition(record, side, count - 1, last.white, last.black, &last.ep))
      << EndgameTable[record].name;
  EXPECT_TRUE(TbPositionIsLegal(record, side, last.white, last.black, last.ep))
      << EndgameTable[record].name;
}
