// The option table: each option's name, kind, default, range or choices and where its value
// is stored, read by "setoption", the start-up defaults and both option lists.
#include <cstdio>
#include <cstring>

#include "eval/eval_cache.h"
#include "protocol/interpreter.h"
#include "protocol/options.h"
#include "protocol/words.h"
#include "search/learned_list.h"
#include "search/learning_path.h"
#include "search/trans_table.h"

enum OptionKind { OptionSpin, OptionCheck, OptionCombo, OptionHash, OptionButton };

struct ComboChoice {
  const char* text;
  int32_t values[3];
};

struct OptionEntry {
  const char* name;
  OptionKind kind;
  int32_t* targets[3];         // a check or spin stores into every non-null target
  int32_t min, max;            // spin and hash
  const ComboChoice* choices;  // combo: ended by a null text
  const char* defaultValue;    // in the form "setoption" takes
  int listing;                 // OptionListing bits
  int keptOverRestart;         // a new start-up leaves the value as the host set it
  void (*press)();             // button
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

static void ClearHashButton() { ClearHashTables(); }

static void ClearLearningButton() {
  DeleteLearningFile();
  ClearLearnedList();
}

constexpr int BothLists = ListedForHost | ListedForUci;

#define SPIN(label, target, low, high, start, listing, kept) \
  {label, OptionSpin, {target}, low, high, nullptr, start, listing, kept, nullptr}
#define WEIGHT(label, index) SPIN(label, &OptionWeights[index], 25, 400, "100", BothLists, 1)
#define CHECK(label, start, listing, ...) \
  {label, OptionCheck, {__VA_ARGS__}, 0, 1, nullptr, start, listing, 0, nullptr}
#define COMBO(label, choices, start, ...) \
  {label, OptionCombo, {__VA_ARGS__}, 0, 0, choices, start, BothLists, 0, nullptr}
#define BUTTON(label, press) {label, OptionButton, {}, 0, 0, nullptr, "", ListedForUci, 0, press}

// In the order of the lists. Hash takes megabytes: 1 or less is ignored, more than the
// maximum gives the maximum (which keeps megabytes x 1024 inside 32 bits); its start size
// comes from the start-up call, the default here is the kestrane program's.
static const OptionEntry OptionTable[] = {
    {"Hash", OptionHash, {}, 2, 4096, nullptr, "32", ListedForUci, 1, nullptr},
    CHECK("Ponder", "true", ListedForUci, &PonderEnabled),
    SPIN("MultiPV", &MultiPV, 1, 20, "1", ListedForUci, 1),
    CHECK("Keep Hash Tables", "true", BothLists, &KeepHashMain, &KeepHashSecond),
    CHECK("Position Learning", "true", BothLists, &PositionLearning),
    CHECK("Prefer Open Positions", "false", BothLists, &PreferOpenPositions),
    COMBO("Use Tablebases", TablebaseChoices, "Normal", &TablebasesEnabled, &TablebaseDepthCutStart,
          &TablebaseTimeShare),
    WEIGHT("Queen", WeightQueen),
    WEIGHT("Queen (Endgame)", WeightQueenEnd),
    WEIGHT("Rook", WeightRook),
    WEIGHT("Rook (Endgame)", WeightRookEnd),
    WEIGHT("Bishop", WeightBishop),
    WEIGHT("Bishop (Endgame)", WeightBishopEnd),
    WEIGHT("Knight", WeightKnight),
    WEIGHT("Knight (Endgame)", WeightKnightEnd),
    WEIGHT("Pawn", WeightPawn),
    WEIGHT("Pawn (Endgame)", WeightPawnEnd),
    COMBO("Style", StyleChoices, "Intelligent", &StyleLateMoveReductions, &StyleHangingReduction, &StyleMultiCut),
    COMBO("Combinations", CombinationChoices, "All", &CombinationQuiesceChecks, &CombinationSingular),
    SPIN("Forward Pruning", &ForwardPruning, 0, 5, "2", BothLists, 0),
    SPIN("Selectivity", &Selectivity, -3, 99, "-1", BothLists, 0),
    SPIN("Draw Score", &DrawScore, -300, 300, "0", BothLists, 0),
    WEIGHT("King Safety", WeightKingSafety),
    WEIGHT("Center Control", WeightCenterControl),
    WEIGHT("Pawn Structure", WeightPawnStructure),
    WEIGHT("Pawn Structure (Endgame)", WeightPawnStructureEnd),
    WEIGHT("Passed Pawns", WeightPassedPawns),
    WEIGHT("Passed Pawns (Endgame)", WeightPassedPawnsEnd),
    WEIGHT("Bishop Pair", WeightBishopPair),
    WEIGHT("Bishop Pair (Endgame)", WeightBishopPairEnd),
    SPIN("Time Usage", &TimeUsage, 25, 400, "100", BothLists, 1),
    SPIN("Knowledge or Speed", &KnowledgeOrSpeed, -500, 500, "0", BothLists, 1),
    CHECK("test1", "false", 0, &Test1),
    CHECK("test2", "false", 0, &Test2),
    CHECK("test3", "false", 0, &Test3),
    BUTTON("Clear Hash", ClearHashButton),
    BUTTON("Clear PosLearning", ClearLearningButton),
};

#undef SPIN
#undef WEIGHT
#undef CHECK
#undef COMBO
#undef BUTTON

static const OptionEntry* FindOption(const char* name) {
  for (const OptionEntry& entry : OptionTable)
    if (EqualsNoCase(entry.name, name)) return &entry;
  return nullptr;
}

static void StoreAll(const OptionEntry& entry, const int32_t* values, int same) {
  for (int i = 0; i < 3; ++i)
    if (entry.targets[i]) *entry.targets[i] = same ? values[0] : values[i];
}

static int ApplyEntry(const OptionEntry& entry, const char* value) {
  int32_t number;
  switch (entry.kind) {
    case OptionHash:
      number = ParseDecimal(value);
      if (number < entry.min) return 0;
      ResizeHash(number < entry.max ? number : entry.max);
      // Short of memory either table falls back to a smaller size: say what is in force.
      SendInfoString("Hash: transposition table %d KB, evaluation cache %d KB", TransTableKb(), EvalCacheKilobytes());
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
    case OptionButton:
      return 0;
  }
  return 0;
}

int ApplyOption(const char* name, const char* value) {
  const OptionEntry* entry = FindOption(name);
  return entry ? ApplyEntry(*entry, value) : 0;
}

int IsOptionName(const char* name) { return FindOption(name) != nullptr; }

int PressOptionButton(const char* name) {
  const OptionEntry* entry = FindOption(name);
  if (!entry || entry->kind != OptionButton) return 0;
  entry->press();
  return 1;
}

void SetOptionDefaults(int scope) {
  for (const OptionEntry& entry : OptionTable)
    if (entry.kind != OptionHash && (scope == AllOptions || !entry.keptOverRestart))
      ApplyEntry(entry, entry.defaultValue);
}

int32_t OptionDefaultNumber(const char* name) {
  const OptionEntry* entry = FindOption(name);
  return entry ? ParseDecimal(entry->defaultValue) : 0;
}

// Spins show their current value (Hash its default); checks and combos their default.
static int FormatOptionLine(const OptionEntry& entry, char* text, int size) {
  int n = snprintf(text, size_t(size), "option name %s type ", entry.name);
  auto room = [&] { return n < size ? size_t(size - n) : size_t(0); };
  switch (entry.kind) {
    case OptionSpin:
      n += snprintf(text + n, room(), "spin min %d max %d default %d", int(entry.min), int(entry.max),
                    int(*entry.targets[0]));
      break;
    case OptionHash:
      n += snprintf(text + n, room(), "spin min %d max %d default %s", int(entry.min), int(entry.max),
                    entry.defaultValue);
      break;
    case OptionCheck:
      n += snprintf(text + n, room(), "check default %s", entry.defaultValue);
      break;
    case OptionCombo:
      n += snprintf(text + n, room(), "combo default %s", entry.defaultValue);
      for (const ComboChoice* choice = entry.choices; choice->text; ++choice)
        n += snprintf(text + n, room(), " var %s", choice->text);
      break;
    case OptionButton:
      n += snprintf(text + n, room(), "button");
      break;
  }
  return n < size;
}

int OptionLine(int index, int audience, char* text, int size) {
  for (const OptionEntry& entry : OptionTable) {
    if (!(entry.listing & audience)) continue;
    if (index-- == 0) return FormatOptionLine(entry, text, size);
  }
  return 0;
}
