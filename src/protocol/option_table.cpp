// The "setoption" table: names, kinds, ranges and where each value is stored.
#include <cstring>

#include "protocol/options.h"
#include "protocol/words.h"
#include "search/learning.h"
#include "search/trans_table.h"

enum OptionKind { OptionSpin, OptionCheck, OptionCombo, OptionHash };

struct ComboChoice {
  const char* text;
  int32_t values[3];
};

struct OptionEntry {
  const char* name;
  OptionKind kind;
  int32_t* targets[3];  // a check or spin stores into every non-null target
  int32_t min, max;
  const ComboChoice* choices;  // combo: ended by a null text
};

static const ComboChoice TablebaseChoices[] = {
    {"Never", {0, 0, 30}}, {"Late", {1, 5, 20}}, {"Normal", {1, 0, 30}}, {"Early", {1, -5, 40}}, {nullptr, {}}};

// Late-move reductions, hanging-piece reduction, multi-cut.
static const ComboChoice StyleChoices[] = {{"Intelligent", {1, 1, 1}}, {"Aggressive", {0, 1, 1}},
                                           {"Active", {0, 0, 1}},      {"Normal", {0, 1, 0}},
                                           {"Solid", {0, 0, 0}},       {nullptr, {}}};

// Quiescence checks, singular extensions.
static const ComboChoice CombinationChoices[] = {
    {"All", {1, 1, 0}}, {"Most", {0, 1, 0}}, {"Some", {1, 0, 0}}, {"None", {0, 0, 0}}, {nullptr, {}}};

#define WEIGHT(label, index) {label, OptionSpin, {&OptionWeights[index]}, 25, 400, nullptr}
#define CHECK(label, ...) {label, OptionCheck, {__VA_ARGS__}, 0, 1, nullptr}

// Searched in this order; the first name that matches wins.
static const OptionEntry OptionTable[] = {
    {"Hash", OptionHash, {}, 0, 0, nullptr},
    CHECK("Ponder", &PonderEnabled),
    {"MultiPV", OptionSpin, {&MultiPV}, 1, 20, nullptr},
    {"Use Tablebases", OptionCombo, {&TablebasesEnabled, &TablebaseDepthCutStart, &TablebaseTimeShare}, 0, 0,
     TablebaseChoices},
    CHECK("Keep Hash Tables", &KeepHashMain, &KeepHashSecond),
    CHECK("Position Learning", &PositionLearning),
    CHECK("Prefer Open Positions", &PreferOpenPositions),
    CHECK("test1", &Test1),
    CHECK("test2", &Test2),
    CHECK("test3", &Test3),
    WEIGHT("Queen", WeightQueen),
    WEIGHT("Rook", WeightRook),
    WEIGHT("Bishop", WeightBishop),
    WEIGHT("Knight", WeightKnight),
    WEIGHT("Pawn", WeightPawn),
    WEIGHT("Queen (Endgame)", WeightQueenEnd),
    WEIGHT("Rook (Endgame)", WeightRookEnd),
    WEIGHT("Bishop (Endgame)", WeightBishopEnd),
    WEIGHT("Knight (Endgame)", WeightKnightEnd),
    WEIGHT("Pawn (Endgame)", WeightPawnEnd),
    WEIGHT("King Safety", WeightKingSafety),
    WEIGHT("Passed Pawns", WeightPassedPawns),
    WEIGHT("Passed Pawns (Endgame)", WeightPassedPawnsEnd),
    WEIGHT("Pawn Structure", WeightPawnStructure),
    WEIGHT("Pawn Structure (Endgame)", WeightPawnStructureEnd),
    WEIGHT("Center Control", WeightCenterControl),
    WEIGHT("Bishop Pair", WeightBishopPair),
    WEIGHT("Bishop Pair (Endgame)", WeightBishopPairEnd),
    {"Time Usage", OptionSpin, {&TimeUsage}, 25, 400, nullptr},
    {"Knowledge or Speed", OptionSpin, {&KnowledgeOrSpeed}, -500, 500, nullptr},
    {"Draw Score", OptionSpin, {&DrawScore}, -300, 300, nullptr},
    {"Selectivity", OptionSpin, {&Selectivity}, -3, 99, nullptr},
    {"Forward Pruning", OptionSpin, {&ForwardPruning}, 0, 5, nullptr},
    {"Style", OptionCombo, {&StyleLateMoveReductions, &StyleHangingReduction, &StyleMultiCut}, 0, 0, StyleChoices},
    {"Combinations", OptionCombo, {&CombinationQuiesceChecks, &CombinationSingular}, 0, 0, CombinationChoices},
};

#undef WEIGHT
#undef CHECK

// The largest hash the "Hash" option can ask for; larger values give the same size,
// and capping here keeps megabytes x 1024 inside 32 bits.
constexpr int32_t MaxHashMegabytes = 4096;

static void StoreAll(const OptionEntry& entry, const int32_t* values, int same) {
  for (int i = 0; i < 3; ++i)
    if (entry.targets[i]) *entry.targets[i] = same ? values[0] : values[i];
}

static int ApplyEntry(const OptionEntry& entry, const char* value) {
  int32_t number;
  switch (entry.kind) {
    case OptionHash:
      number = ParseDecimal(value);
      if (number <= 1) return 0;  // 1 MB or less: ignored
      ResizeHash(number < MaxHashMegabytes ? number : MaxHashMegabytes);
      return 1;
    case OptionCheck:
      if (EqualsNoCase(value, "true")) number = 1;
      else if (EqualsNoCase(value, "false")) number = 0;
      else return 0;
      StoreAll(entry, &number, 1);
      return 1;
    case OptionSpin:
      number = ParseDecimal(value);
      if (number < entry.min || number > entry.max) return 0;
      StoreAll(entry, &number, 1);
      return 1;
    case OptionCombo:
      for (const ComboChoice* choice = entry.choices; choice->text; ++choice) {
        if (strcmp(choice->text, value) == 0) {
          StoreAll(entry, choice->values, 0);
          return 1;
        }
      }
      return 0;
  }
  return 0;
}

int ApplyOption(const char* name, const char* value) {
  for (const OptionEntry& entry : OptionTable)
    if (EqualsNoCase(entry.name, name)) return ApplyEntry(entry, value);
  return 0;
}

int IsOptionName(const char* name) {
  for (const OptionEntry& entry : OptionTable)
    if (EqualsNoCase(entry.name, name)) return 1;
  return EqualsNoCase(name, "Clear Hash") || EqualsNoCase(name, "Clear PosLearning");
}

int PressOptionButton(const char* name) {
  if (EqualsNoCase(name, "Clear Hash")) {
    ClearHashTables();
    return 1;
  }
  if (EqualsNoCase(name, "Clear PosLearning")) {
    DeleteLearningFile();
    ClearLearnedList();
    return 1;
  }
  return 0;
}

void SetOptionDefaults() {
  ForwardPruning = 2;
  Selectivity = -1;
  DrawScore = 0;
  StyleLateMoveReductions = StyleHangingReduction = StyleMultiCut = 1;  // Intelligent
  CombinationQuiesceChecks = CombinationSingular = 1;                    // All
  PreferOpenPositions = Test1 = Test2 = Test3 = 0;
  PonderEnabled = 1;
  TablebasesEnabled = 1;
  KeepHashMain = KeepHashSecond = 1;
  PositionLearning = 1;
}
