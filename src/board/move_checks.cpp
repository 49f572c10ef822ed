// Whether a stored move still fits a board, and single-piece attack tests.
#include "board/move_checks.h"
#include "board/geometry.h"
#include "board/movegen_write.h"

namespace {

bool ValidPieceCode(int code) { return code > 0 && code < 16 && (code & 7) != 0 && (code & 7) != 4; }

// The castling move of `side` on this wing fits: right, rook at home, squares between empty.
bool CastlingFits(Move move, const int8_t* board, uint32_t flags, int side) {
  static const uint8_t Rook[2][2] = {{8, 1}, {64, 57}};
  static const uint8_t Between[2][2][3] = {{{6, 0, 0}, {2, 4, 0}}, {{62, 0, 0}, {58, 60, 0}}};
  int wing = MoveTo(move) < MoveFrom(move) ? 1 : 0;
  if (move != CastleMoves[side][wing] || (flags & CastleRights[side][wing]) == 0) return false;
  if (board[Rook[side][wing]] != WRook + side * BlackBit) return false;
  for (const uint8_t* s = Between[side][wing]; *s; s++)
    if (board[*s] != 0) return false;
  return true;
}

bool PawnMoveFits(Move move, const int8_t* board, int side) {
  int from = MoveFrom(move), to = MoveTo(move);
  bool lastRank = PawnAhead[side][to] == 0;
  if ((MovePromotion(move) != 0) != lastRank) return false;
  if (MoveCaptured(move)) return (LineKindOf(from, to) & (side == White ? 2 : 4)) != 0;
  int ahead = PawnAhead[side][from];
  if (move & MoveDoubleStep)
    return OnHomeRank(side, from) && board[ahead] == 0 && to == PawnAhead[side][ahead];
  return to == ahead;
}

}  // namespace

int IsMovePlausible(Move move, const int8_t board[65], uint32_t flags) {
  if (move & ~MoveWordMask || move & MoveNull) return 0;
  const int from = MoveFrom(move), to = MoveTo(move);
  const int mover = MovePiece(move), captured = MoveCaptured(move), promotion = MovePromotion(move);
  if (from < 1 || from > 64 || to < 1 || to > 64 || from == to) return 0;
  if (!ValidPieceCode(mover) || board[from] != mover) return 0;
  const int side = PieceSide(mover);
  if (captured && (!ValidPieceCode(captured) || PieceKind(captured) == WKing || PieceSide(captured) == side)) return 0;
  if (promotion && (!IsPawnCode(mover) || !ValidPieceCode(promotion) || PieceKind(promotion) == WKing ||
                    IsPawnCode(promotion) || PieceSide(promotion) != side))
    return 0;
  if ((move & MoveDoubleStep) && (!IsPawnCode(mover) || captured)) return 0;

  if (move & MoveEnPassant) {
    if (!IsPawnCode(mover) || (flags & EnPassantMask) != uint32_t(to) || board[to] != 0) return 0;
    if (captured != WPawn + (side ^ 1) * BlackBit || board[PawnAhead[side ^ 1][to]] != captured) return 0;
    return PawnMoveFits(move, board, side);
  }
  if (board[to] != captured) return 0;
  if (move & MoveCastle) return PieceKind(mover) == WKing && CastlingFits(move, board, flags, side);
  if (IsPawnCode(mover)) return PawnMoveFits(move, board, side);
  return !PieceMissesSquare(board, mover, from, to);
}

int PieceMissesSquare(const int8_t board[65], int code, int from, int to) {
  if ((AttackKindBits[code] & LineKindOf(from, to)) == 0) return 1;
  if (!IsSlider(code)) return 0;
  const int step = StepBetween[from][to];
  int s = from + step;
  while (s != to && board[s] == 0) s += step;  // stops at `to` even when it is empty
  return s == to ? 0 : 1;
}

