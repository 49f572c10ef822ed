// Whether a set-up position is one the engine can search without breaking its records.
#include "board/playable.h"
#include "board/move_checks.h"
#include "board/position.h"

#include <initializer_list>

namespace {

bool Attacks(const int8_t board[65], int side, int target) {
  for (int sq = 1; sq <= 64; sq++) {
    int code = board[sq];
    if (code > 0 && PieceSide(code) == side && !PieceMissesSquare(board, code, sq, target)) return true;
  }
  return false;
}

}  // namespace

int IsPlayablePosition(const int8_t board[65], const RootState* state) {
  if (state->side != White && state->side != Black) return 0;
  int count[16] = {};
  int perSide[2] = {0, 0};
  int king[2] = {0, 0};
  for (int sq = 1; sq <= 64; sq++) {
    int code = board[sq];
    if (code == 0) continue;
    if (code < 0 || code > 15 || (code & 7) == 0 || (code & 7) == 4) return 0;
    if (IsPawnCode(code) && (sq <= 8 || sq >= 57)) return 0;
    count[code]++;
    perSide[PieceSide(code)]++;
    if (PieceKind(code) == WKing) king[PieceSide(code)] = sq;
  }
  if (count[WKing] != 1 || count[BKing] != 1) return 0;
  if (perSide[White] > PieceListSize - 1 || perSide[Black] > PieceListSize - 1) return 0;
  for (int code : {3, 5, 6, 7, 11, 13, 14, 15})
    if (count[code] > MaxSlotPieces) return 0;
  if (Attacks(board, state->side, king[state->side ^ 1])) return 0;

  // Rights and the en-passant square must match the board, or make would move pieces that are not there.
  uint32_t flags = state->flags;
  if ((flags & WhiteKingSide) && (board[5] != WKing || board[8] != WRook)) return 0;
  if ((flags & WhiteQueenSide) && (board[5] != WKing || board[1] != WRook)) return 0;
  if ((flags & BlackKingSide) && (board[61] != BKing || board[64] != BRook)) return 0;
  if ((flags & BlackQueenSide) && (board[61] != BKing || board[57] != BRook)) return 0;
  int ep = flags & EnPassantMask;
  if (ep) {
    int moved = state->side == White ? ep - 8 : ep + 8;
    bool rankFits = state->side == White ? (ep >= 41 && ep <= 48) : (ep >= 17 && ep <= 24);
    if (!rankFits || board[ep] != 0 || board[moved] != (state->side == White ? BPawn : WPawn)) return 0;
  }
  return 1;
}
