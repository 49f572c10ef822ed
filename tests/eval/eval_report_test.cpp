// The term-group breakdown of a game root: its total is the evaluation the search sees.
#include "eval/eval_report.h"

#include "eval/eval_fixture.h"

TEST(EvalReport, TheTotalIsTheFullEvaluationOfTheRoot) {
  const char* fen = "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP3PPP/R2QKB1R b KQ - 0 8";
  int8_t board[65];
  RootState state;
  ASSERT_EQ(ParseFen(fen, board, &state), 1);
  EvalBreakdown bd{};
  uint32_t phaseCode = 0;
  ASSERT_EQ(BreakDownGameRoot(board, state, &bd, &phaseCode), 1);
  EXPECT_NE(phaseCode, 0u);
  EvalSetup s;
  s.Load(fen);
  EXPECT_EQ(bd.total, s.Full());
}
