// Term groups of one evaluation, filled only when asked for (the eval command).
#pragma once

enum EvalGroup {
  GroupPieces, GroupPawnStructure, GroupPassedPawns, GroupKingSafety,
  GroupMaterialAndEndings, GroupCentreAndMobility, GroupRest, EvalGroupCount
};

struct EvalBreakdown {
  int group[EvalGroupCount];  // White's view, after the option weights
  int lazy;                   // material and piece-square sum with contempt, White's view
  int drawScale;              // percent applied to the total, 0 none
  int drawFlag;               // a dead draw: the evaluation is 0
  int attackFlag;
  int total;                  // Evaluate with the full window, side to move's view
};

inline constexpr const char* EvalGroupName[EvalGroupCount] = {
    "Pieces", "Pawn structure", "Passed pawns", "King safety", "Material table and endings",
    "Centre and mobility", "Rest",
};
