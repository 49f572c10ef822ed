#include <gtest/gtest.h>

#include "board/perft.h"
#include "board/test_fens.h"
#include "board_fixture.h"

namespace {

struct PerftCase {
  const char* fen;
  int depth;
  uint64_t nodes;
};

uint64_t CountFrom(const char* fen, int depth) {
  BoardSetup b;
  PlyState* root = b.Load(fen);
  return Perft(b.pos.get(), root, depth);
}

class PerftCounts : public ::testing::TestWithParam<PerftCase> {};

TEST_P(PerftCounts, MatchesTheKnownCount) {
  EXPECT_EQ(CountFrom(GetParam().fen, GetParam().depth), GetParam().nodes) << GetParam().fen << " depth " << GetParam().depth;
}

INSTANTIATE_TEST_SUITE_P(
    Standard, PerftCounts,
    ::testing::Values(PerftCase{StartFen, 1, 20}, PerftCase{StartFen, 2, 400}, PerftCase{StartFen, 3, 8902},
                      PerftCase{StartFen, 4, 197281}, PerftCase{KiwipeteFen, 1, 48}, PerftCase{KiwipeteFen, 2, 2039},
                      PerftCase{KiwipeteFen, 3, 97862}, PerftCase{EndgameFen, 1, 14}, PerftCase{EndgameFen, 3, 2812},
                      PerftCase{EndgameFen, 5, 674624}, PerftCase{PromotionsFen, 1, 6}, PerftCase{PromotionsFen, 3, 9467},
                      PerftCase{TalkchessFen, 1, 44}, PerftCase{TalkchessFen, 3, 62379}, PerftCase{MiddlegameFen, 1, 46},
                      PerftCase{MiddlegameFen, 3, 89890}));

// Counts checked against stockfish: en passant that exposes the king, castling paths,
// promotions, and sides with ten knights, bishops or rooks or nine queens.
INSTANTIATE_TEST_SUITE_P(
    EdgeCases, PerftCounts,
    ::testing::Values(PerftCase{"8/8/8/KPp4r/8/8/8/7k w - c6 0 1", 4, 4225},
                      PerftCase{"8/8/8/2k5/2pP4/8/B7/4K3 b - d3 0 3", 4, 5380},
                      PerftCase{"3k4/3p4/8/K1P4r/8/8/8/8 b - - 0 1", 4, 10138},
                      PerftCase{CastlingFen, 4, 314346},
                      PerftCase{"4k3/8/8/8/8/8/8/4K2R w K - 0 1", 4, 7059},
                      PerftCase{"r6r/1b2k1bq/8/8/7B/8/8/R3K2R b KQ - 3 2", 3, 8355},
                      PerftCase{"8/8/1P2K3/8/2n5/1q6/8/5k2 b - - 0 1", 4, 31961},
                      PerftCase{"4k3/1P6/8/8/8/8/6p1/4K3 w - - 0 1", 4, 5911},
                      PerftCase{"rnbqkbnr/pppppppp/8/8/8/8/8/QQQQKQQQ w kq - 0 1", 3, 165247}));

INSTANTIATE_TEST_SUITE_P(
    ManyPieces, PerftCounts,
    ::testing::Values(PerftCase{"4k3/8/8/8/8/NNNNN3/NNNNN3/4K3 w - - 0 1", 4, 66861},
                      PerftCase{"4k3/nnnnn3/nnnnn3/8/8/8/8/4K3 b - - 0 1", 4, 66861},
                      PerftCase{"4k3/8/8/8/8/BBBBB3/BBBBB3/4K3 w - - 0 1", 4, 16968},
                      PerftCase{"7k/8/8/8/8/RRRRR3/RRRRR3/4K3 w - - 0 1", 4, 18744},
                      PerftCase{"7k/6pp/8/8/8/QQQQQ3/QQQQ4/4K3 w - - 0 1", 4, 12845},
                      PerftCase{"k7/7P/8/8/8/8/NNNNNNNN/N3K3 w - - 0 1", 4, 29494},       // a tenth knight
                      PerftCase{"7k/P5pp/8/8/8/QQQQQ3/QQQQ4/4K3 w - - 0 1", 4, 12850},    // a tenth queen
                      PerftCase{"k7/6P1/8/8/8/8/PPPPPPP1/QQQQKQQQ w - - 0 1", 4, 11063}));

TEST(Perft, DivideSumsToTheTotal) {
  BoardSetup b;
  PlyState* root = b.Load(KiwipeteFen);
  PerftDivision divisions[64];
  int count = PerftDivide(b.pos.get(), root, 3, divisions, 64);
  ASSERT_EQ(count, 48);
  uint64_t total = 0;
  for (int i = 0; i < count; i++) total += divisions[i].nodes;
  EXPECT_EQ(total, 97862u);
  EXPECT_EQ(PerftDivide(b.pos.get(), root, 1, divisions, 4), 48);  // counts past the capacity
}

class SlowPerft : public ::testing::TestWithParam<PerftCase> {};

TEST_P(SlowPerft, MatchesTheKnownCount) {
  EXPECT_EQ(CountFrom(GetParam().fen, GetParam().depth), GetParam().nodes) << GetParam().fen << " depth " << GetParam().depth;
}

INSTANTIATE_TEST_SUITE_P(
    SlowDeep, SlowPerft,
    ::testing::Values(PerftCase{StartFen, 5, 4865609}, PerftCase{StartFen, 6, 119060324},
                      PerftCase{KiwipeteFen, 4, 4085603}, PerftCase{KiwipeteFen, 5, 193690690},
                      PerftCase{EndgameFen, 6, 11030083}, PerftCase{PromotionsFen, 5, 15833292},
                      PerftCase{TalkchessFen, 4, 2103487}, PerftCase{MiddlegameFen, 4, 3894594},
                      PerftCase{"8/8/1P2K3/8/2n5/1q6/8/5k2 b - - 0 1", 5, 1004658},
                      PerftCase{"3k4/3p4/8/K1P4r/8/8/8/8 b - - 0 1", 6, 1134888},
                      PerftCase{"8/8/8/2k5/2pP4/8/B7/4K3 b - d3 0 3", 6, 444954}));

}  // namespace
