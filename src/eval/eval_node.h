// The working record of one EvaluatePosition call, shared by the files of the terms.
#pragma once
#include <cstdint>
#include <initializer_list>
#include "board/position.h"
#include "board/types.h"
#include "eval/base_tables.h"
#include "eval/eval_breakdown.h"
#include "eval/pawn_structure.h"

struct EvalNode {
  Position* pos;
  PlyState* ps;
  const PawnEntry* pe;
  const int8_t* board;
  int side;                  // side to move
  int lazy;                  // lazyEval of the node
  int king[2];
  int queen[2];              // first queen square, 0 when none
  int knights[2], bishops[2], rooks[2], queens[2];
  int lightBishops[2], darkBishops[2];
  int phase[2];
  int endgame;               // PhaseCode & 0x64, or the endgame after captures
  int afterCaptures;         // EndgameAfterCaptures of the node
  int pawnEnding;            // kings and pawns only
  int drawScale;             // percent, 0 none
  int drawFlag;
  int attackFlag;
  int fixedValue, hasFixedValue;
  // White's view. Terms that pass through the "Pawn Structure" weight go to pawnAcc,
  // king safety to kingAcc (the "King Safety" weight), all others to acc.
  int acc[EvalGroupCount];
  int pawnAcc[EvalGroupCount];
  int kingAcc;
  uint8_t rookOpenFiles[2];  // files of rooks on open files
  uint8_t minorFiles[2];     // pawnless files of minors defended by a pawn
  int unstoppable[2];        // unstoppable passers found by the pawn terms
};

inline int Rel(int side, int rank) { return side ? 9 - rank : rank; }
inline int RelRank(int side, int s) { return Rel(side, RankOf(s)); }
inline int Forward(int side) { return side ? -8 : 8; }
inline int Sign(int side) { return side ? -1 : 1; }
inline uint64_t SquareBit(int s) { return uint64_t(1) << (s - 1); }
inline int AttackCount(const EvalNode* n, int side, int s) { return n->pos->attacks[side].cell[s].count; }
inline int IsCode(const EvalNode* n, int s, int code) { return s >= 1 && s <= 64 && n->board[s] == code; }
inline int OwnPiece(int side, int kind) { return kind | side << 3; }
// Rearmost pawn ranks counted from `side`: own 9 when none, enemy 0 when none.
inline int OwnRearRank(const PawnEntry* e, int side, int f) { return Rel(side, e->rearmost[side][f]); }
inline int EnemyRearRank(const PawnEntry* e, int side, int f) {
  int r = e->rearmost[side ^ 1][f];
  return side ? (r == 9 ? 0 : 9 - r) : r;
}
// Wing of a file: a-c 1, d-e 2, f-h 3. Flank: a-b 1, c-f 0, g-h 3.
inline int WingOf(int file) { return file <= 3 ? 1 : file <= 5 ? 2 : 3; }
inline int FlankOf(int file) { return file <= 2 ? 1 : file <= 6 ? 0 : 3; }
inline int Abs(int v) { return v < 0 ? -v : v; }

// The step from a towards b along a rank, file or diagonal, 0 when not on one line.
inline int LineStep(int a, int b) {
  int df = FileOf(b) - FileOf(a), dr = RankOf(b) - RankOf(a);
  if (a == b || !(df == 0 || dr == 0 || df == dr || df == -dr)) return 0;
  return (dr > 0 ? 8 : dr < 0 ? -8 : 0) + (df > 0 ? 1 : df < 0 ? -1 : 0);
}
inline int OnDiagonal(int a, int b) {
  int df = FileOf(b) - FileOf(a), dr = RankOf(b) - RankOf(a);
  return a != b && (df == dr || df == -dr);
}
// The square one step from s, 0 off the board.
inline int StepFrom(int s, int df, int dr) {
  int f = FileOf(s) + df, r = RankOf(s) + dr;
  return (f < 1 || f > 8 || r < 1 || r > 8) ? 0 : SquareOf(f, r);
}

int ScalePercent(int current, int p);

// Terms of the files beside the driver; each adds to the node's accumulators.
void EvaluatePieces(EvalNode* n);          // piece loops with the per-node pawn terms
void EvaluatePieceCorrections(EvalNode* n);// rook and blocker corrections after the loops
void EvaluateBishopColours(EvalNode* n);
int CentreAndMobility(EvalNode* n);        // White's view, "Center Control" applied
void EvaluateKingAttackPatterns(EvalNode* n);
void EvaluateKingSafety(EvalNode* n);
void EvaluateSpecialEndings(EvalNode* n);  // may set drawFlag or a fixed value
void EvaluateEndgamePawnTerms(EvalNode* n);
void EvaluatePawnEnding(EvalNode* n);
void EvaluateMaterialEntry(EvalNode* n);
