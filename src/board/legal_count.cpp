// Legal-move counting for perft's last ply. Out of check each piece's targets are counted
// directly; a piece pinned to its king keeps only the targets on its pin line, the king only
// unattacked squares. In check the evasion generator's moves are tested one by one. En
// passant, which empties two squares, has a test of its own.
#include "board/legal_count.h"

#include <initializer_list>

#include "board/geometry.h"
#include "board/make_move.h"
#include "board/movegen.h"

namespace {

constexpr uint8_t CastleEmpty[2][2][4] = {{{6, 7, 0, 0}, {4, 3, 2, 0}}, {{62, 63, 0, 0}, {60, 59, 58, 0}}};
constexpr uint8_t CastleSafe[2][2][3] = {{{5, 6, 7}, {5, 4, 3}}, {{61, 62, 63}, {61, 60, 59}}};
constexpr uint8_t CastleRook[2][2] = {{8, 1}, {64, 57}};
constexpr uint32_t CastleRight[2][2] = {{WhiteKingSide, WhiteQueenSide}, {BlackKingSide, BlackQueenSide}};

// The pin line of the own piece on p as a square step (0 when free): an enemy slider
// attacks p from one side and the own king stands beyond p with nothing between.
inline int PinStep(const Position* pos, const AttackCell* enemyCell, int p, int king) {
  if (enemyCell->sliders == 0) return 0;
  const int toKing = StepBetween[p][king];
  if (toKing == 0) return 0;
  for (int i = 0; i < enemyCell->count; i++) {
    int a = enemyCell->from[i];
    if (!IsSlider(pos->board[a]) || StepBetween[a][p] != toKing) continue;
    int s = p + toKing;
    while (s != king && pos->board[s] == 0) s += toKing;
    return s == king ? toKing : 0;
  }
  return 0;
}

// A target t of a piece on p stays legal under a pin of step `pin` when it is on the line.
inline bool OnPinLine(int p, int t, int pin) {
  int step = StepBetween[p][t];
  return step == pin || step == -pin;
}

// Promotion codes (queen, rook, knight, bishop) whose slots still take a piece.
inline int PromotionChoices(const Position* pos, int side) {
  int colour = side * BlackBit;
  return (pos->slots[WQueen + colour].count < MaxSlotPieces) + (pos->slots[WRook + colour].count < MaxSlotPieces) +
         (pos->slots[WKnight + colour].count < MaxSlotPieces) + (pos->slots[WBishop + colour].count < MaxSlotPieces);
}

// Whether the enemy slider on a reaches the king along its line once the squares `from`
// and `taken` are empty and `landing` is occupied.
inline bool ReachesAfterEnPassant(const int8_t* board, int a, int king, int from, int taken, int landing) {
  const int step = StepBetween[a][king];
  for (int s = a + step; s != king; s += step)
    if (s == landing || (s != from && s != taken && board[s] != 0)) return false;
  return true;
}

// En passant from `from` onto ep leaves the own king unattacked: the pawn taken on `taken`
// stops attacking, the landing square may block a line, and lines through the two vacated
// squares may open.
bool EnPassantIsLegal(const Position* pos, int side, int from, int ep) {
  const int8_t* board = pos->board;
  const int king = pos->pieceList[side][0];
  const int taken = PawnAhead[side ^ 1][ep];
  const AttackTable* enemy = &pos->attacks[side ^ 1];
  const AttackCell* checkers = &enemy->cell[king];
  for (int i = 0; i < checkers->count; i++) {
    const int a = checkers->from[i];
    if (a == taken) continue;
    if (!IsSlider(board[a]) || ReachesAfterEnPassant(board, a, king, from, taken, ep)) return false;
  }
  for (const int q : {from, taken}) {
    const AttackCell* cell = &enemy->cell[q];
    if (cell->sliders == 0) continue;
    for (int i = 0; i < cell->count; i++) {
      const int a = cell->from[i];
      if (!IsSlider(board[a]) || StepBetween[a][q] == 0 || StepBetween[q][king] != StepBetween[a][q]) continue;
      if (ReachesAfterEnPassant(board, a, king, from, taken, ep)) return false;
    }
  }
  return true;
}

// En passant onto ep by the own pawns attacking it.
int CountEnPassant(const Position* pos, int side, int ep) {
  const int pawn = WPawn + side * BlackBit;
  const AttackCell* cell = &pos->attacks[side].cell[ep];
  int count = 0;
  for (int k = 0; k < cell->count; k++)
    if (pos->board[cell->from[k]] == pawn && EnPassantIsLegal(pos, side, cell->from[k], ep)) count++;
  return count;
}

int CountOutOfCheck(Position* pos, PlyState* ps) {
  const int8_t* board = pos->board;
  const int side = ps->side;
  const AttackTable* enemy = &pos->attacks[side ^ 1];
  const uint8_t* list = pos->pieceList[side];
  const int king = list[0];
  const int promotions = PromotionChoices(pos, side);
  int count = 0;

  // King steps to squares the enemy does not attack; castling as make decides it.
  for (const uint8_t* t = KingTargets[king]; *t; t++) {
    int target = board[*t];
    if ((target == 0 || PieceSide(target) != side) && enemy->cell[*t].count == 0) count++;
  }
  for (int wing = 0; wing < 2; wing++) {
    if (!(ps->flags & CastleRight[side][wing])) continue;
    if (board[CastleRook[side][wing]] != WRook + side * BlackBit) continue;
    bool open = true;
    for (const uint8_t* s = CastleEmpty[side][wing]; *s; s++) open = open && board[*s] == 0;
    const uint8_t* safe = CastleSafe[side][wing];
    if (open && (enemy->cell[safe[0]].count | enemy->cell[safe[1]].count | enemy->cell[safe[2]].count) == 0) count++;
  }

  for (int i = 1; list[i] != 0; i++) {
    const int sq = list[i];
    if (sq == CapturedMark) continue;
    const int code = board[sq];
    const int pin = PinStep(pos, &enemy->cell[sq], sq, king);
    switch (PieceKind(code)) {
      case WPawn: {
        const int ahead = PawnAhead[side][sq];
        const int perMove = PawnAhead[side][ahead] == 0 ? promotions : 1;
        for (const uint8_t* t = PawnCaptureTargets[side][sq]; *t; t++) {
          int target = board[*t];
          if (target != 0 && PieceSide(target) != side && (pin == 0 || OnPinLine(sq, *t, pin))) count += perMove;
        }
        if (board[ahead] == 0 && (pin == 0 || OnPinLine(sq, ahead, pin))) {
          count += perMove;
          int twoAhead = PawnAhead[side][ahead];
          if ((side == White ? sq < 17 : sq > 48) && board[twoAhead] == 0) count++;
        }
        break;
      }
      case WKnight: {
        if (pin) break;
        for (const uint8_t* t = KnightTargets[sq]; *t; t++) {
          int target = board[*t];
          count += target == 0 || PieceSide(target) != side;
        }
        break;
      }
      default: {
        const int kind = WalkOf(code);
        const uint8_t(*step)[2] = WalkStep[kind][sq];
        int s = step[sq][0];
        if (pin == 0) {
          while (s != 0) {
            int target = board[s];
            count += target == 0 || PieceSide(target) != side;
            s = step[s][target != 0];
          }
        } else {
          while (s != 0) {
            int target = board[s];
            bool onLine = OnPinLine(sq, s, pin);
            if (target == 0) {
              count += onLine;
              s = step[s][0];
            } else {
              count += onLine && PieceSide(target) != side;
              s = step[s][1];
            }
          }
        }
        break;
      }
    }
  }
  const int ep = ps->flags & EnPassantMask;
  if (ep) count += CountEnPassant(pos, side, ep);
  return count;
}

// In check: the evasions (king moves already to safe squares only), less the moves of pinned
// pieces off their lines, en passant by make and unmake.
int CountInCheck(Position* pos, PlyState* ps) {
  const PlyState saved = *ps;
  ps->listsMade = 0;
  ps->hashMove1 = ps->triedHashMove2 = 0;
  GenerateMoves(pos, ps, GenAll, 1);
  const int side = ps->side;
  const int king = pos->pieceList[side][0];
  const AttackTable* enemy = &pos->attacks[side ^ 1];
  int count = 0;
  for (const MoveEntry* list : {ps->tacticalBase, ps->quietBase}) {
    for (const MoveEntry* e = list; e->score != MoveListEnd; e++) {
      const Move move = e->move;
      const int from = MoveFrom(move), to = MoveTo(move);
      if (move & MoveEnPassant) {
        count += EnPassantIsLegal(pos, side, from, to);
        continue;
      }
      if (MovePromotion(move) && pos->slots[MovePromotion(move)].count >= MaxSlotPieces) continue;
      if (from == king) {
        count++;
        continue;
      }
      const int pin = PinStep(pos, &enemy->cell[from], from, king);
      if (pin == 0 || OnPinLine(from, to, pin)) count++;
    }
  }
  *ps = saved;
  return count;
}

}  // namespace

int CountLegalMoves(Position* pos, PlyState* ps) {
  const int side = ps->side;
  const bool checked = pos->attacks[side ^ 1].cell[pos->pieceList[side][0]].count != 0;
  if (!checked) return CountOutOfCheck(pos, ps);
  if (ps->flags & InCheckFlag) return CountInCheck(pos, ps);
  // A check the flags do not show: every generated move through make.
  return CountMovesByMaking(pos, ps);
}

int CountMovesByMaking(Position* pos, PlyState* ps) {
  const PlyState saved = *ps;
  ps->listsMade = 0;
  GenerateMoves(pos, ps, GenAll, 1);
  int count = 0;
  for (const MoveEntry* list : {ps->tacticalBase, ps->quietBase}) {
    for (const MoveEntry* e = list; e->score != MoveListEnd; e++) {
      ps->move = e->move;
      if (MakeMove(pos, ps) == nullptr) continue;
      UnmakeMove(pos, ps);
      count++;
    }
  }
  *ps = saved;
  return count;
}
