#include "protocol/param_list.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "kestrane.h"
#include "protocol/options.h"

char* ParamList[ParamListSize];

enum LineKind { FixedLine, WeightLine, ValueLine };

struct ParamLine {
  const char* text;  // option name for weight lines, the whole line (or a format) otherwise
  LineKind kind;
  const int32_t* value;
};

static const ParamLine ParamLines[ParamLineCount] = {
    {"option name Keep Hash Tables type check default true", FixedLine, nullptr},
    {"option name Position Learning type check default true", FixedLine, nullptr},
    {"option name Prefer Open Positions type check default false", FixedLine, nullptr},
    {"option name Use Tablebases type combo default Normal var Never var Late var Normal var Early", FixedLine,
     nullptr},
    {"Queen", WeightLine, &OptionWeights[WeightQueen]},
    {"Queen (Endgame)", WeightLine, &OptionWeights[WeightQueenEnd]},
    {"Rook", WeightLine, &OptionWeights[WeightRook]},
    {"Rook (Endgame)", WeightLine, &OptionWeights[WeightRookEnd]},
    {"Bishop", WeightLine, &OptionWeights[WeightBishop]},
    {"Bishop (Endgame)", WeightLine, &OptionWeights[WeightBishopEnd]},
    {"Knight", WeightLine, &OptionWeights[WeightKnight]},
    {"Knight (Endgame)", WeightLine, &OptionWeights[WeightKnightEnd]},
    {"Pawn", WeightLine, &OptionWeights[WeightPawn]},
    {"Pawn (Endgame)", WeightLine, &OptionWeights[WeightPawnEnd]},
    {"option name Style type combo default Intelligent var Intelligent var Aggressive var Active var Normal var "
     "Solid",
     FixedLine, nullptr},
    {"option name Combinations type combo default All var All var Most var Some var None", FixedLine, nullptr},
    {"option name Forward Pruning type spin min 0 max 5 default %d", ValueLine, &ForwardPruning},
    {"option name Selectivity type spin min -3 max 99 default %d", ValueLine, &Selectivity},
    {"option name Draw Score type spin min -300 max 300 default %d", ValueLine, &DrawScore},
    {"King Safety", WeightLine, &OptionWeights[WeightKingSafety]},
    {"Center Control", WeightLine, &OptionWeights[WeightCenterControl]},
    {"Pawn Structure", WeightLine, &OptionWeights[WeightPawnStructure]},
    {"Pawn Structure (Endgame)", WeightLine, &OptionWeights[WeightPawnStructureEnd]},
    {"Passed Pawns", WeightLine, &OptionWeights[WeightPassedPawns]},
    {"Passed Pawns (Endgame)", WeightLine, &OptionWeights[WeightPassedPawnsEnd]},
    {"Bishop Pair", WeightLine, &OptionWeights[WeightBishopPair]},
    {"Bishop Pair (Endgame)", WeightLine, &OptionWeights[WeightBishopPairEnd]},
    {"Time Usage", WeightLine, &TimeUsage},
    {"option name Knowledge or Speed type spin min -500 max 500 default %d", ValueLine, &KnowledgeOrSpeed},
};

void ReleaseParamList() {
  for (char*& entry : ParamList) {
    free(entry);
    entry = nullptr;
  }
}

char** BuildParamList() {
  ReleaseParamList();
  char text[160];
  for (int i = 0; i <= ParamLineCount; ++i) {
    if (i == ParamLineCount) {
      text[0] = 0;
    } else {
      const ParamLine& line = ParamLines[i];
      if (line.kind == WeightLine)
        snprintf(text, sizeof text, "option name %s type spin min %d max %d default %d", line.text, 25, 400,
                 int(*line.value));
      else if (line.kind == ValueLine)
        snprintf(text, sizeof text, line.text, int(*line.value));
      else
        snprintf(text, sizeof text, "%s", line.text);
    }
    size_t length = strlen(text) + 1;
    ParamList[i] = static_cast<char*>(malloc(length));
    if (!ParamList[i]) break;  // short of memory: the list ends early
    memcpy(ParamList[i], text, length);
  }
  return ParamList;
}

extern "C" KESTRANE_API char** KESTRANE_CDECL KestraneGetParamList() { return BuildParamList(); }
