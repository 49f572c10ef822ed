#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/interpreter.h"
#include "protocol/run_command.h"
#include "protocol/option_fixture.h"
#include "protocol/options.h"
#include "search/search_flags.h"

class SetOption : public OptionFixture {};

TEST_F(SetOption, SpinsAreStoredOnlyWithinTheirRange) {
  struct Case {
    const char* name;
    int32_t* value;
    int32_t low, high;
  } cases[] = {
      {"Queen", &OptionWeights[WeightQueen], 25, 400},
      {"Pawn (Endgame)", &OptionWeights[WeightPawnEnd], 25, 400},
      {"King Safety", &OptionWeights[WeightKingSafety], 25, 400},
      {"Bishop Pair (Endgame)", &OptionWeights[WeightBishopPairEnd], 25, 400},
      {"Time Usage", &TimeUsage, 25, 400},
      {"Knowledge or Speed", &KnowledgeOrSpeed, -500, 500},
      {"Draw Score", &DrawScore, -300, 300},
      {"Selectivity", &Selectivity, -3, 99},
      {"Forward Pruning", &ForwardPruning, 0, 5},
      {"MultiPV", &MultiPV, 1, 20},
  };
  for (const Case& c : cases) {
    std::string prefix = std::string("setoption name ") + c.name + " value ";
    int32_t before = *c.value;
    Exec(prefix + std::to_string(c.low - 1));
    EXPECT_EQ(*c.value, before) << c.name << " below range";
    Exec(prefix + std::to_string(c.high + 1));
    EXPECT_EQ(*c.value, before) << c.name << " above range";
    Exec(prefix + std::to_string(c.low));
    EXPECT_EQ(*c.value, c.low) << c.name;
    Exec(prefix + std::to_string(c.high));
    EXPECT_EQ(*c.value, c.high) << c.name;
    Exec(prefix + "99999999999999");  // saturates, out of range
    EXPECT_EQ(*c.value, c.high) << c.name;
  }
}

TEST_F(SetOption, EveryWeightNameReachesItsOwnEntry) {
  const char* names[OptionWeightCount - 1] = {
      "Pawn", "Knight", "Bishop", "Rook", "Queen", "Pawn (Endgame)", "Knight (Endgame)", "Bishop (Endgame)",
      "Rook (Endgame)", "Queen (Endgame)", "King Safety", "Pawn Structure", "Pawn Structure (Endgame)",
      "Passed Pawns", "Passed Pawns (Endgame)", "Center Control", "Bishop Pair", "Bishop Pair (Endgame)"};
  for (int i = 0; i < OptionWeightCount - 1; ++i)
    Exec(std::string("setoption name ") + names[i] + " value " + std::to_string(200 + i));
  for (int i = 0; i < OptionWeightCount - 1; ++i) EXPECT_EQ(OptionWeights[i], 200 + i) << names[i];
  EXPECT_EQ(OptionWeights[WeightFixed], 100);
}

TEST_F(SetOption, NamesAndKeywordsIgnoreCaseButCombosDoNot) {
  Exec("setoption name Use Tablebases value Late");
  EXPECT_EQ(TablebasesEnabled, 1);
  EXPECT_EQ(TablebaseDepthCutStart, 5);
  EXPECT_EQ(TablebaseTimeShare, 20);
  Exec("setoption name use tablebases value late");
  EXPECT_EQ(TablebaseDepthCutStart, 5);
  Exec("SETOPTION name Use Tablebases value Never");  // the command word is exact
  EXPECT_EQ(TablebasesEnabled, 1);
  Exec("setoption NAME use tablebases VALUE Never");
  EXPECT_EQ(TablebasesEnabled, 0);
  Exec("setoption name Style value aggressive");
  EXPECT_EQ(StyleLateMoveReductions, 1);
  Exec("setoption name ponder value FALSE");
  EXPECT_EQ(PonderEnabled, 0);
  Exec("setoption name ponder value TRUE");
  EXPECT_EQ(PonderEnabled, 1);
  Exec("setoption name Ponder value yes");
  EXPECT_EQ(PonderEnabled, 1);
}

TEST_F(SetOption, ComboTables) {
  struct Case {
    const char* line;
    int32_t* values[3];
    int32_t expected[3];
  } cases[] = {
      {"setoption name Use Tablebases value Never", {&TablebasesEnabled, &TablebaseDepthCutStart, &TablebaseTimeShare}, {0, 0, 30}},
      {"setoption name Use Tablebases value Early", {&TablebasesEnabled, &TablebaseDepthCutStart, &TablebaseTimeShare}, {1, -5, 40}},
      {"setoption name Use Tablebases value Normal", {&TablebasesEnabled, &TablebaseDepthCutStart, &TablebaseTimeShare}, {1, 0, 30}},
      {"setoption name Style value Aggressive", {&StyleLateMoveReductions, &StyleHangingReduction, &StyleMultiCut}, {0, 1, 1}},
      {"setoption name Style value Active", {&StyleLateMoveReductions, &StyleHangingReduction, &StyleMultiCut}, {0, 0, 1}},
      {"setoption name Style value Normal", {&StyleLateMoveReductions, &StyleHangingReduction, &StyleMultiCut}, {0, 1, 0}},
      {"setoption name Style value Solid", {&StyleLateMoveReductions, &StyleHangingReduction, &StyleMultiCut}, {0, 0, 0}},
      {"setoption name Style value Intelligent", {&StyleLateMoveReductions, &StyleHangingReduction, &StyleMultiCut}, {1, 1, 1}},
      {"setoption name Combinations value Most", {&CombinationQuiesceChecks, &CombinationSingular, nullptr}, {0, 1, 0}},
      {"setoption name Combinations value Some", {&CombinationQuiesceChecks, &CombinationSingular, nullptr}, {1, 0, 0}},
      {"setoption name Combinations value None", {&CombinationQuiesceChecks, &CombinationSingular, nullptr}, {0, 0, 0}},
      {"setoption name Combinations value All", {&CombinationQuiesceChecks, &CombinationSingular, nullptr}, {1, 1, 0}},
  };
  for (const Case& c : cases) {
    Exec(c.line);
    for (int i = 0; i < 3; ++i)
      if (c.values[i]) {
        EXPECT_EQ(*c.values[i], c.expected[i]) << c.line << " value " << i;
      }
  }
}

TEST_F(SetOption, ChecksStoreBothKeepFlagsAndTheirOwnFlag) {
  Exec("setoption name Keep Hash Tables value false");
  EXPECT_EQ(KeepHashMain, 0);
  EXPECT_EQ(KeepHashSecond, 0);
  Exec("setoption name Prefer Open Positions value true");
  Exec("setoption name test2 value true");
  Exec("setoption name Position Learning value false");
  EXPECT_EQ(PreferOpenPositions, 1);
  EXPECT_EQ(Test1, 0);
  EXPECT_EQ(Test2, 1);
  EXPECT_EQ(Test3, 0);
  EXPECT_EQ(PositionLearning, 0);
}

TEST_F(SetOption, MalformedLinesChangeNothing) {
  const char* lines[] = {
      "setoption",
      "setoption name",
      "setoption value 200",
      "setoption Queen value 200",          // no "name" keyword
      "setoption name Queen",               // no value: not a button
      "setoption name Queen value",
      "setoption name Queenx value 200",
      "setoption name Queen (endgame value 200",
      "setoption name Clear Hash value x",
  };
  for (const char* line : lines) {
    EXPECT_EQ(Exec(line), 1) << line;
    for (int32_t weight : OptionWeights) EXPECT_EQ(weight, 100) << line;
  }
}

TEST_F(SetOption, WordsJoinWithOneBlankAndExtraBlanksDoNotMatter) {
  Exec("setoption   name   Queen   (Endgame)   value   150  ");
  EXPECT_EQ(OptionWeights[WeightQueenEnd], 150);
  Exec("setoption name Pawn value 30 extra");  // the value "30 extra" still reads as 30
  EXPECT_EQ(OptionWeights[WeightPawn], 30);
}

TEST_F(SetOption, LongNamesAndValuesAreCutSafely) {
  std::string longName(5000, 'Q');
  Exec("setoption name " + longName + " value 200");
  Exec("setoption name Queen value " + std::string(5000, '7'));
  Exec("setoption name Queen value 200 " + std::string(100000, 'x'));
  EXPECT_EQ(OptionWeights[WeightQueen], 200);
  for (int i = 0; i < OptionWeightCount; ++i)
    if (i != WeightQueen) {
      EXPECT_EQ(OptionWeights[i], 100);
    }
}

TEST_F(SetOption, IgnoredWhileSearching) {
  SearchMode.store(1);
  Exec("setoption name Queen value 200");
  SearchMode.store(2);
  Exec("setoption name Queen value 300");
  SearchMode.store(0);
  EXPECT_EQ(OptionWeights[WeightQueen], 100);
}

// Every option value, read before any test runs: the values the engine loads with.
static std::vector<int32_t> OptionValues() {
  std::vector<int32_t> values(OptionWeights, OptionWeights + OptionWeightCount);
  for (int32_t value : {TimeUsage, KnowledgeOrSpeed, DrawScore, Selectivity, ForwardPruning, MultiPV,
                        PonderEnabled, KeepHashMain, KeepHashSecond, PositionLearning, PreferOpenPositions, Test1,
                        Test2, Test3, StyleLateMoveReductions, StyleHangingReduction, StyleMultiCut,
                        CombinationQuiesceChecks, CombinationSingular, TablebasesEnabled, TablebaseDepthCutStart,
                        TablebaseTimeShare})
    values.push_back(value);
  return values;
}
static const std::vector<int32_t> LoadTimeValues = OptionValues();

TEST_F(SetOption, DefaultsAreTheValuesAtLoadTime) {
  Exec("setoption name Forward Pruning value 5");
  Exec("setoption name Style value Solid");
  Exec("setoption name Queen value 300");
  Exec("setoption name Ponder value false");
  Exec("setoption name Use Tablebases value Early");
  Exec("setoption name MultiPV value 4");
  SetOptionDefaults(AllOptions);
  EXPECT_EQ(OptionValues(), LoadTimeValues);
  EXPECT_EQ(ForwardPruning, 2);
  EXPECT_EQ(Selectivity, -1);
  EXPECT_EQ(PonderEnabled, 1);
}

TEST_F(SetOption, TheProgramListsEveryOptionTheHostListsAndItsOwn) {
  std::vector<std::string> host, program;
  char text[200];
  for (int i = 0; OptionLine(i, ListedForHost, text, sizeof text); ++i) host.push_back(text);
  for (int i = 0; OptionLine(i, ListedForUci, text, sizeof text); ++i) program.push_back(text);
  ASSERT_EQ(host.size(), 29u);
  ASSERT_EQ(program.size(), host.size() + 5);
  EXPECT_EQ(program[0], "option name Hash type spin min 2 max 4096 default 32");
  EXPECT_EQ(program[1], "option name Ponder type check default true");
  EXPECT_EQ(program[2], "option name MultiPV type spin min 1 max 20 default 1");
  EXPECT_EQ(std::vector<std::string>(program.begin() + 3, program.end() - 2), host);
  EXPECT_EQ(program[program.size() - 2], "option name Clear Hash type button");
  EXPECT_EQ(program.back(), "option name Clear PosLearning type button");
  EXPECT_EQ(OptionDefaultNumber("hash"), 32);
  // Every listed name is one "setoption" knows, and every listed spin default is in range.
  for (const std::string& line : program) {
    std::string name = line.substr(12, line.find(" type ") - 12);
    EXPECT_TRUE(IsOptionName(name.c_str())) << line;
  }
}
