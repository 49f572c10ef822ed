// Setting up the working record of one evaluation from the position and its ply state.
#include "eval/eval_node.h"
#include <cstddef>
#include "eval/material.h"
#include "eval/pawn_hash.h"
#include "eval/prepare_root.h"

// The fields before pos are exactly the ones cleared in SetUpEvalNode.
constexpr size_t ClearedBytes = sizeof(EvalNode::acc) + sizeof(EvalNode::pawnAcc) + 6 * sizeof(int) +
                                sizeof(EvalNode::unstoppable) + sizeof(EvalNode::rookOpenFiles) +
                                sizeof(EvalNode::minorFiles);
static_assert(offsetof(EvalNode, minorFiles) + sizeof(EvalNode::minorFiles) == ClearedBytes &&
                  offsetof(EvalNode, pos) - ClearedBytes < alignof(Position*),
              "a field added before pos must be cleared in SetUpEvalNode");

static int FirstOf(const Position* pos, int side, int code) {
  const PieceSlots* slots = &pos->slots[code];
  for (int i = 0; i < slots->count; i++) {
    int s = pos->pieceList[side][slots->entry[i]];
    if (s && s != CapturedMark) return s;
  }
  return 0;
}

void SetUpEvalNode(EvalNode* n, Position* pos, PlyState* ps) {
  PrefetchMaterialEntry(ps);
  int afterCaptures = EndgameAfterCaptures[ps->capturedKinds];
  // Field by field: a memset of this size would become a string store.
  for (int g = 0; g < EvalGroupCount; g++) n->acc[g] = n->pawnAcc[g] = 0;
  n->kingAcc = n->drawScale = n->drawFlag = n->attackFlag = n->fixedValue = n->hasFixedValue = 0;
  n->unstoppable[White] = n->unstoppable[Black] = 0;
  n->rookOpenFiles[White] = n->rookOpenFiles[Black] = n->minorFiles[White] = n->minorFiles[Black] = 0;
  n->pos = pos;
  n->ps = ps;
  n->board = pos->board;
  n->side = ps->side;
  n->pe = LookupPawnEntry(pos, ps);
  for (int side = White; side <= Black; side++) {
    int b = side << 3;
    n->king[side] = pos->pieceList[side][0];
    n->queen[side] = FirstOf(pos, side, WQueen | b);
    n->knights[side] = pos->pieceCount[WKnight | b];
    n->bishops[side] = pos->pieceCount[WBishop | b];
    n->rooks[side] = pos->pieceCount[WRook | b];
    n->queens[side] = pos->pieceCount[WQueen | b];
    n->phase[side] = ps->phaseCount[side];
    MaterialCounts* counts = &n->counts[side];
    CountMaterial(pos, ps, side, counts);
    n->lightBishops[side] = counts->light;
    n->darkBishops[side] = counts->dark;
  }
  n->afterCaptures = afterCaptures;
  n->endgame = (PhaseCode & 0x64) || afterCaptures;
  n->pawnEnding = n->phase[White] == 0 && n->phase[Black] == 0;
  n->pawnAcc[GroupPawnStructure] = n->pe->score;
}
