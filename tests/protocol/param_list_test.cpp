#include <gtest/gtest.h>

#include <string>

#include "kestrane.h"
#include "protocol/option_fixture.h"
#include "protocol/param_list.h"

class ParamListTest : public OptionFixture {
 protected:
  void TearDown() override {
    ReleaseParamList();
    OptionFixture::TearDown();
  }
};

TEST_F(ParamListTest, TwentyNineLinesThenAnEmptyOneThenNulls) {
  char** list = KestraneGetParamList();
  for (int i = 0; i < ParamLineCount; ++i) {
    ASSERT_NE(list[i], nullptr) << i;
    EXPECT_EQ(std::string(list[i]).rfind("option name ", 0), 0u) << list[i];
  }
  ASSERT_NE(list[ParamLineCount], nullptr);
  EXPECT_STREQ(list[ParamLineCount], "");
  for (int i = ParamLineCount + 1; i < ParamListSize; ++i) EXPECT_EQ(list[i], nullptr) << i;
}

TEST_F(ParamListTest, LinesCarryTheCurrentValues) {
  OptionWeights[WeightQueen] = 150;
  OptionWeights[WeightPawnEnd] = 30;
  Selectivity = -3;
  KnowledgeOrSpeed = -250;
  TimeUsage = 77;
  char** list = KestraneGetParamList();
  struct Case {
    int index;
    const char* line;
  } cases[] = {
      {0, "option name Keep Hash Tables type check default true"},
      {3, "option name Use Tablebases type combo default Normal var Never var Late var Normal var Early"},
      {4, "option name Queen type spin min 25 max 400 default 150"},
      {5, "option name Queen (Endgame) type spin min 25 max 400 default 100"},
      {13, "option name Pawn (Endgame) type spin min 25 max 400 default 30"},
      {14, "option name Style type combo default Intelligent var Intelligent var Aggressive var Active var Normal "
           "var Solid"},
      {15, "option name Combinations type combo default All var All var Most var Some var None"},
      {16, "option name Forward Pruning type spin min 0 max 5 default 2"},
      {17, "option name Selectivity type spin min -3 max 99 default -3"},
      {18, "option name Draw Score type spin min -300 max 300 default 0"},
      {19, "option name King Safety type spin min 25 max 400 default 100"},
      {20, "option name Center Control type spin min 25 max 400 default 100"},
      {26, "option name Bishop Pair (Endgame) type spin min 25 max 400 default 100"},
      {27, "option name Time Usage type spin min 25 max 400 default 77"},
      {28, "option name Knowledge or Speed type spin min -500 max 500 default -250"},
  };
  for (const Case& c : cases) EXPECT_STREQ(list[c.index], c.line) << c.index;
}

TEST_F(ParamListTest, RebuildingReflectsChanges) {
  KestraneGetParamList();
  OptionWeights[WeightKnight] = 222;
  char** list = KestraneGetParamList();  // the earlier strings are released (ASan checks)
  EXPECT_STREQ(list[10], "option name Knight type spin min 25 max 400 default 222");
}
