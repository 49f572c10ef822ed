// The working record of one EvaluatePosition call, shared by the files of the terms.
#pragma once
#include <cstdint>
#include "board/position.h"
#include "eval/base_tables.h"
#include "eval/eval_breakdown.h"
#include "eval/material.h"
#include "eval/pawn_structure.h"
#include "eval/square_geometry.h"

struct EvalNode {
  // Written by the terms; SetUpEvalNode clears these and sets all fields after them.
  // White's view. Terms that pass through the "Pawn Structure" weight go to pawnAcc,
  // king safety to kingAcc (the "King Safety" weight), all others to acc.
  int acc[EvalGroupCount];
  int pawnAcc[EvalGroupCount];
  int kingAcc;
  int drawScale;             // percent, 0 none
  int drawFlag;
  int attackFlag;
  int fixedValue, hasFixedValue;
  int unstoppable[2];        // unstoppable passers found by the pawn terms
  uint8_t rookOpenFiles[2];  // files of rooks on open files
  uint8_t minorFiles[2];     // pawnless files of minors defended by a pawn
  Position* pos;
  PlyState* ps;
  const PawnEntry* pe;
  const int8_t* board;
  int side;                  // side to move
  int king[2];
  int queen[2];              // first queen square, 0 when none
  int knights[2], bishops[2], rooks[2], queens[2];
  int lightBishops[2], darkBishops[2];
  MaterialCounts counts[2];  // as the material table reads them
  int phase[2];
  int endgame;               // PhaseCode & 0x64, or the endgame after captures
  int afterCaptures;         // EndgameAfterCaptures of the node
  int pawnEnding;            // kings and pawns only
};

inline int AttackCount(const EvalNode* n, int side, int s) { return n->pos->attacks[side].cell[s].count; }
inline int IsCode(const EvalNode* n, int s, int code) { return s >= 1 && s <= 64 && n->board[s] == code; }
// Whether `side` has a piece of `kind` on square x named from us's view (x as written for
// White, mirrored when us is Black).
inline int NamedHas(const EvalNode* n, int us, int side, int kind, int x) {
  return n->board[SideSquare(us, x)] == OwnPiece(side, kind);
}

// The node's counts, squares, pawn entry and stage flags; accumulators cleared.
void SetUpEvalNode(EvalNode* n, Position* pos, PlyState* ps);
