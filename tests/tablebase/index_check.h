// The two checks every index routine must pass, run exhaustively or on samples.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "tablebase/endgame_table.h"
#include "tablebase/index_count.h"
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

// Every legal position (and every legal en-passant position) of a record's side: inside the
// range, and sharing its index only with its images. Then every index of the range: its
// position (when it has one) is an image of the positions that reached it, an index whose
// position is legal was reached, and without pawns every index has a position.
inline void CheckRecordSideExhaustively(int record, int side) {
  TbRecordShape shape = ShapeOfRecord(record);
  auto pieces = RecordPieces(record);
  const char* name = EndgameTable[record].name;
  uint64_t count = RecordCount(record, side);
  // Per index the first position that reached it: six bits per square, then the ep square.
  constexpr uint64_t None = ~uint64_t(0);
  std::vector<uint64_t> first(count, None);
  int failures = 0;
  int squares[8] = {};
  size_t n = pieces.size();
  auto pack = [&](int ep) {
    uint64_t packed = uint64_t(ep);
    for (size_t i = 0; i < n; i++) packed = packed << 6 | uint64_t(squares[i]);
    return packed;
  };
  auto unpack = [&](uint64_t packed) {
    int sq[8];
    for (size_t i = n; i-- > 0;) {
      sq[i] = int(packed & 63);
      packed >>= 6;
    }
    return MakePosition(pieces, sq, int(packed));
  };
  auto fail = [&](const char* what, uint64_t index) {
    if (failures++ < 5) ADD_FAILURE() << name << " side " << side << ": " << what << " " << index;
  };
  auto visit = [&](const TbTestPosition& p) {
    if (!TbPositionIsLegal(record, side, p.white, p.black, p.ep)) return;
    uint64_t index = IndexOf(record, side, p);
    if (index >= count) return fail("outside the range", index);
    if (first[index] == None) first[index] = pack(p.ep);
    else if (!SameUpToSymmetry(shape, unpack(first[index]), p)) fail("shared index", index);
  };
  bool bothPawns = shape.counts[0][TbPawn] > 0 && shape.counts[1][TbPawn] > 0;
  auto visitWithEnPassant = [&](const TbTestPosition& base) {
    visit(base);
    if (!bothPawns) return;
    // Every pawn of the side not to move that may just have advanced two squares.
    const int32_t* theirs = side == 0 ? base.black : base.white;
    for (int j = 0; j < shape.counts[1 - side][TbPawn]; j++) {
      TbTestPosition p = base;
      p.ep = theirs[4 * TbPawn + j] + (side == 0 ? 8 : -8);
      visit(p);
    }
  };
  // Squares piece by piece; alike pieces in increasing order so each position comes once.
  auto place = [&](auto&& self, size_t i) -> void {
    if (i >= n || i >= 8) {
      visitWithEnPassant(MakePosition(pieces, squares));
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
  for (uint64_t index = 0; index < count; index++) {
    TbTestPosition q;
    bool found = TbIndexToPosition(record, side, index, q.white, q.black, &q.ep);
    if (!found) {
      if (first[index] != None) fail("reached index without a position", index);
      if (!pawns) fail("index without a position", index);
    } else if (first[index] != None) {
      if (!SameUpToSymmetry(shape, unpack(first[index]), q)) fail("decoded elsewhere", index);
    } else if (TbPositionIsLegal(record, side, q.white, q.black, q.ep)) {
      fail("legal position not reached", index);
    }
  }
  if (first[count - 1] == None) fail("last index not reached", count - 1);
}

// Random legal positions, and random indexes of the range.
inline void CheckRecordSideSampled(int record, int side, int positions, int indexes) {
  TbRecordShape shape = ShapeOfRecord(record);
  std::mt19937_64 rng(uint64_t(record) * 2 + uint64_t(side));
  uint64_t count = RecordCount(record, side);
  int failures = 0;
  for (int n = 0; n < positions; n++)
    CheckOnePosition(shape, side, RandomLegalPosition(record, side, rng), failures);
  if (shape.counts[0][TbPawn] > 0 && shape.counts[1][TbPawn] > 0) {
    for (int n = 0; n < positions / 4; n++) {
      TbTestPosition p = RandomEnPassantPosition(record, side, rng);
      uint64_t index = CheckOnePosition(shape, side, p, failures);
      if (index != TbNoIndex && index < TbNormalIndexCount(record, side) && failures++ < 5)
        ADD_FAILURE() << EndgameTable[record].name << " en passant in the normal area " << index;
    }
  }
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
