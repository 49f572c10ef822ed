// Complete evasions for a side in check: captures of a single checker, king moves and
// interpositions against a single sliding checker.
#include "board/evasions.h"
#include "board/geometry.h"

namespace {

// One own pawn moving onto the empty square s, as promotions on the last rank.
inline void AddPawnStep(MoveWriter* w, int from, int s, int pawn, Move extra) {
  Move move = MakeMoveWord(from, s, pawn) | extra;
  if (PawnAhead[w->side][s] == 0) AddPromotions(w, move);
  else AddQuiet(w, move);
}

}  // namespace

void GenerateEvasions(MoveWriter* w, PlyState* ps) {
  const Position* pos = w->pos;
  const int8_t* board = pos->board;
  const int side = w->side;
  const AttackTable* own = &pos->attacks[side];
  const AttackTable* enemy = &pos->attacks[side ^ 1];
  const int king = pos->pieceList[side][0];
  const int kingCode = board[king];
  const AttackCell* checkCell = &enemy->cell[king];
  const int checkers = checkCell->count;
  const int checker = checkCell->from[0];
  const int checkerCode = board[checker];
  const bool sliderCheck = IsSlider(checkerCode);
  const int second = checkers >= 2 ? checkCell->from[1] : 0;
  const bool secondSlider = second != 0 && IsSlider(board[second]);

  // Captures of the checker; with two checkers only the king may still take it.
  const AttackCell* captureCell = &own->cell[checker];
  const bool checkerGuarded = enemy->cell[checker].count != 0;
  const bool lastRank = PawnAhead[side][checker] == 0;
  for (int k = 0; k < captureCell->count; k++) {
    int from = captureCell->from[k];
    int code = board[from];
    if (from == king) {
      if (checkerGuarded) continue;
    } else if (checkers != 1) {
      continue;
    }
    Move move = MakeMoveWord(from, checker, code, checkerCode);
    if (lastRank && IsPawnCode(code)) AddPromotions(w, move);
    else AddTactical(w, move);
  }

  // King moves to unattacked squares, never to the square behind it on a checking line.
  const int behind = sliderCheck ? king + StepBetween[checker][king] : 0;
  const int behindSecond = secondSlider ? king + StepBetween[second][king] : 0;
  for (const uint8_t* t = KingTargets[king]; *t; t++) {
    int s = *t;
    if (enemy->cell[s].count != 0 || s == behind || s == behindSecond) continue;
    int target = board[s];
    if (target == 0) AddQuiet(w, MakeMoveWord(king, s, kingCode));
    else if (IsEnemyPiece(target, side) && s != checker) AddTactical(w, MakeMoveWord(king, s, kingCode, target));
  }
  if (checkers != 1) return;

  // Interpositions on the squares between a sliding checker and the king.
  if (sliderCheck) {
    const int step = StepBetween[checker][king];
    const int pawn = WPawn + side * BlackBit;
    for (int s = checker + step; s != king; s += step) {
      const AttackCell* cell = &own->cell[s];
      for (int k = 0; k < cell->count; k++) {
        int from = cell->from[k];
        int code = board[from];
        if (PieceKind(code) != WKing && !IsPawnCode(code)) AddQuiet(w, MakeMoveWord(from, s, code));
      }
      int back = PawnAhead[side ^ 1][s];
      if (board[back] == pawn) {
        AddPawnStep(w, back, s, pawn, 0);
      } else if (board[back] == 0) {
        int backTwo = PawnAhead[side ^ 1][back];
        if (board[backTwo] == pawn && OnHomeRank(side, backTwo))
          AddPawnStep(w, backTwo, s, pawn, MoveDoubleStep);
      }
    }
  }

  // En passant, which may take a checking pawn that has just moved two squares.
  int ep = ps->flags & EnPassantMask;
  if (ep) {
    const AttackCell* cell = &own->cell[ep];
    const int pawn = WPawn + side * BlackBit;
    const int enemyPawn = WPawn + (side ^ 1) * BlackBit;
    for (int k = 0; k < cell->count; k++)
      if (board[cell->from[k]] == pawn)
        AddTactical(w, MakeMoveWord(cell->from[k], ep, pawn, enemyPawn) | MoveEnPassant);
  }
}
