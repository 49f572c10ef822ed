// The legal-move count taken from the attack tables against the moves make accepts, on
// positions built around what the count decides without making moves: pins on every kind of
// line, checks by one and two pieces, the king's retreat along a checking line, en passant
// that uncovers a rank, castling through attacked squares and promotions into full slots.
#include <gtest/gtest.h>

#include <cstring>

#include "board/legal_count.h"
#include "board_fixture.h"

namespace {

struct CountCase {
  const char* fen;
  int legal;  // checked with stockfish
};

class LegalCount : public ::testing::TestWithParam<CountCase> {};

TEST_P(LegalCount, EqualsTheMovesMakeAccepts) {
  BoardSetup b;
  PlyState* root = b.Load(GetParam().fen);
  const Position before = *b.pos;
  EXPECT_EQ(CountLegalMoves(b.pos.get(), root), GetParam().legal) << GetParam().fen;
  // Counting leaves the position as it was, attacker order included.
  EXPECT_EQ(std::memcmp(before.board, b.pos->board, sizeof before.board), 0);
  EXPECT_EQ(std::memcmp(&before.attacks, &b.pos->attacks, sizeof before.attacks), 0);
  EXPECT_EQ(CountMovesByMaking(b.pos.get(), root), GetParam().legal) << GetParam().fen;
}

INSTANTIATE_TEST_SUITE_P(
    Positions, LegalCount,
    ::testing::Values(
        CountCase{"4k3/8/8/8/4r3/8/4N3/4K3 w - - 0 1", 4},        // knight pinned on a file: no moves
        CountCase{"4k3/8/8/8/4r3/8/4R3/4K3 w - - 0 1", 6},        // rook pinned on a file: along it, and the capture
        CountCase{"4k3/8/8/8/4r3/8/4B3/4K3 w - - 0 1", 4},        // bishop pinned on a file: none
        CountCase{"4k3/8/8/8/7b/8/5P2/4K3 w - - 0 1", 4},          // pawn pinned on a diagonal: no push
        CountCase{"4k3/8/8/8/8/6b1/5P2/4K3 w - - 0 1", 5},         // ... but it takes the pinner
        CountCase{"4k3/8/8/8/4r3/8/4P3/4K3 w - - 0 1", 5},         // pawn pinned on a file: its push stays
        CountCase{"4k3/8/8/8/8/8/r2QK3/8 w - - 0 1", 10},           // queen pinned on a rank
        CountCase{"4k3/8/8/8/8/8/4K3/r3Q3 w - - 0 1", 20},         // queen beside the king, not pinned
        CountCase{"4k3/8/8/8/4r3/8/8/4K3 w - - 0 1", 4},           // king in check by a rook: not along the file
        CountCase{"4k3/8/8/8/1b2r3/8/8/4K3 w - - 0 1", 3},         // two checkers: king moves only
        CountCase{"4k3/8/8/8/4r3/8/3B4/4K3 w - - 0 1", 4},         // interposition
        CountCase{"8/8/8/KPp4r/8/8/8/7k w - c6 0 1", 4},           // en passant uncovering the rank
        CountCase{"8/8/8/2k5/2pP4/8/B7/4K3 b - d3 0 3", 8},        // en passant out of a check, with a pin
        CountCase{"r3k2r/8/8/8/8/8/8/R3K2R w KQkq - 0 1", 26},
        CountCase{"r3k2r/8/8/8/8/5b2/8/R3K2R w KQkq - 0 1", 23},   // bishop on f1's diagonal: no king-side castling
        CountCase{"r3k2r/8/8/8/8/8/8/RN2K2R w KQkq - 0 1", 25},     // knight on b1 blocks the queen side
        CountCase{"4k3/1P6/8/8/8/8/8/4K3 w - - 0 1", 9},           // four promotions
        CountCase{"k7/7P/8/8/8/8/NNNNNNNN/N3K3 w - - 0 1", 42}));

}  // namespace
