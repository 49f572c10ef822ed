// Root preparation before every search: the root ply state, the phase class, the
// piece-square tables and the switches the search reads.
#pragma once
#include <cstdint>
#include "board/position.h"

struct GameEntry;

// Fills the root ply state (side, flags, keys, material), continues the game's keys since
// its last irreversible move in the position's key buffer, rebuilds the evaluation tables
// (first context only) and sets the root piece-square sum. Returns the root ply state.
PlyState* PrepareRoot(Position* pos, const GameEntry* entry);
// The side's pieces' table values minus the opponent's, with the White-side term.
int RootPieceSquareSum(const Position* pos, int side);
// Whether material totals over both sides count as an endgame (the class and the
// endgame-after-captures table).
int IsEndgameMaterial(int queens, int majors, int minors, int nonPawn, int pawns);
// Whether a phase class counts as an endgame for the table preparation.
int IsEndgameLike(int phaseClass);

extern int32_t PhaseCode;                  // 1 opening, 2 middlegame, 4 endgame, | 0x10, 0x20, 0x40
extern uint8_t EndgameAfterCaptures[256];
extern int32_t WhiteSideTerm;
extern uint32_t TableSignatureSearch;      // first table signature, read by the search
extern uint32_t TableSignatureEval;        // second, read by the evaluation

// Search switches set from the root position.
extern int32_t NullMoveSwitch;
extern int32_t NullMaterialLimitEnabled;
extern int32_t MultiCutSwitch;
extern int32_t HangingReductionPlyLimit;
extern int32_t SingularSwitch;
extern int32_t CheckExtensionPlyLimit;
extern int32_t FutilitySwitch;
extern int32_t PawnEndingExtensionSwitch;
