#include <gtest/gtest.h>

#include <string>

#include "api/engine_state.h"
#include "kestrane.h"

TEST(TextExports, TimeControlTexts) {
  struct Case {
    int kind;  // 0 SetTime, 1 SetBlitz
    int a, b, c;
    const char* text;
  } cases[] = {
      {0, 40, 120, 0, "movestogo 40 wtime 120000 btime 120000"},
      {0, 0, 60, 2, "movestogo 0 wtime 60000 btime 60000 winc 2000 binc 2000"},
      {0, 1, -5, -1, "movestogo 1 wtime -5000 btime -5000 winc -1000 binc -1000"},
      {1, 300, 0, 0, "wtime 300000 btime 300000"},
      {1, 300, 5, 0, "wtime 300000 btime 300000 winc 5000 binc 5000"},
  };
  for (const Case& c : cases) {
    if (c.kind == 0) KestraneSetTime(c.a, c.b, c.c);
    else KestraneSetBlitz(c.a, c.b);
    EXPECT_STREQ(GoParameters, c.text);
  }
  KestraneSetDepth(12);
  EXPECT_STREQ(GoParameters, "depth 12");
  KestraneSetInfinite();
  EXPECT_STREQ(GoParameters, "infinite");
}

TEST(TextExports, HugeTimesStayWithinTheBuffer) {
  KestraneSetTime(INT32_MAX, INT32_MAX, INT32_MIN);
  EXPECT_LT(strlen(GoParameters), size_t(GoParametersSize));
  EXPECT_EQ(std::string(GoParameters).rfind("movestogo 2147483647 wtime ", 0), 0u);
}

TEST(TextExports, PositionLineAndMoves) {
  KestraneSetStartPosition();
  KestraneEnterMove("e2e4");
  KestraneEnterMove("e7e5");
  EXPECT_STREQ(PositionLine, "position startpos moves e2e4 e7e5");
  KestraneSetPosition("8/8/8/8/8/8/8/K1k5 w - - 0 1");
  EXPECT_STREQ(PositionLine, "position fen 8/8/8/8/8/8/8/K1k5 w - - 0 1 moves");
}

TEST(TextExports, LongHostTextsAreTruncatedNotOverrun) {
  std::string fen(100000, 'p');
  KestraneSetPosition(fen.c_str());
  EXPECT_EQ(strlen(PositionLine), size_t(PositionLineSize - 1));
  EXPECT_EQ(std::string(PositionLine).rfind("position fen ppp", 0), 0u);

  KestraneSetStartPosition();
  for (int i = 0; i < 3000; ++i) KestraneEnterMove("e2e4");
  EXPECT_EQ(strlen(PositionLine), size_t(PositionLineSize - 1));
  KestraneEnterMove(std::string(20000, 'm').c_str());
  EXPECT_EQ(strlen(PositionLine), size_t(PositionLineSize - 1));
}

TEST(TextExports, VersionAndAuthor) {
  EXPECT_STREQ(KestraneGetVersion(), "Kestrane 9");
  EXPECT_GT(strlen(KestraneGetAuthor()), 0u);
}
