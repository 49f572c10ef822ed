// Root preparation before every search: the root ply state, the phase class, the
// piece-square tables and the switches the search reads.
#pragma once
#include <cstdint>
#include "board/position.h"

struct GameEntry;

PlyState* PrepareRoot(Position* pos, const GameEntry* entry);

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
