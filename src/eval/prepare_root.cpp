#include "eval/prepare_root.h"

int32_t PhaseCode = 1;
uint8_t EndgameAfterCaptures[256];
int32_t WhiteSideTerm = 0;
uint32_t TableSignatureSearch = 0;
uint32_t TableSignatureEval = 0;
int32_t NullMoveSwitch = 1;
int32_t NullMaterialLimitEnabled = 0;
int32_t MultiCutSwitch = 0;
int32_t HangingReductionPlyLimit = 99;
int32_t SingularSwitch = 0;
int32_t CheckExtensionPlyLimit = 99;
int32_t FutilitySwitch = 0;
int32_t PawnEndingExtensionSwitch = 0;

PlyState* PrepareRoot(Position* pos, const GameEntry*) { return &pos->plies[0]; }
