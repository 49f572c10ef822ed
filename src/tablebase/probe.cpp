#include "tablebase/probe.h"

#include "board/position.h"
#include "tablebase/endgame_lookup.h"
#include "tablebase/registry.h"
#include "tablebase/table_read.h"

constexpr int SquareListSize = 24;

// The squares used by the counts are on the board, on different squares, with no pawn on
// the first or last rank.
static int SquaresAreSound(const int32_t* counts, const int32_t* white, const int32_t* black) {
  uint64_t occupied = 0;
  for (int color = 0; color < 2; ++color) {
    const int32_t* list = color == 0 ? white : black;
    for (int entry = 0; entry < SquareListSize; ++entry) {
      int kind = entry / 4;
      if (kind > 0 && entry % 4 >= counts[color * 5 + kind - 1]) continue;
      if (kind == 0 && entry > 0) continue;
      int32_t square = list[entry];
      if (square < 0 || square > 63 || (occupied >> square & 1)) return 0;
      if (kind == TbPawn && (square < 8 || square > 55)) return 0;
      occupied |= uint64_t(1) << square;
    }
  }
  return 1;
}

static int HasPawnOn(const int32_t* counts, const int32_t* list, int color, int square) {
  for (int i = 0; i < counts[color * 5 + TbPawn - 1]; ++i)
    if (list[4 * TbPawn + i] == square) return 1;
  return 0;
}

static int SquareIsEmpty(const int32_t* counts, const int32_t* white, const int32_t* black, int square) {
  for (int color = 0; color < 2; ++color) {
    const int32_t* list = color == 0 ? white : black;
    if (list[0] == square) return 0;
    for (int kind = 1; kind <= 5; ++kind)
      for (int i = 0; i < counts[color * 5 + kind - 1]; ++i)
        if (list[4 * kind + i] == square) return 0;
  }
  return 1;
}

// The en-passant square kept for the index, or TbNoEnPassant: only when the last move can
// have been a double step onto the square in front of it (an opposing pawn there, the
// square and the one behind it empty) and a pawn of the side to move can take.
static int32_t EnPassantForIndex(const int32_t* counts, const int32_t* white, const int32_t* black, int side,
                                 int32_t ep) {
  if (ep <= 0 || ep > 63) return TbNoEnPassant;
  const int32_t* mover = side == 0 ? white : black;
  const int32_t* other = side == 0 ? black : white;
  int file = ep % 8;
  if (side == 0) {
    if (ep < 40 || ep > 47 || !HasPawnOn(counts, other, 1, ep - 8)) return TbNoEnPassant;
    if (!SquareIsEmpty(counts, white, black, ep) || !SquareIsEmpty(counts, white, black, ep + 8)) return TbNoEnPassant;
    if ((file > 0 && HasPawnOn(counts, mover, 0, ep - 9)) || (file < 7 && HasPawnOn(counts, mover, 0, ep - 7)))
      return ep;
  } else {
    if (ep < 16 || ep > 23 || !HasPawnOn(counts, other, 0, ep + 8)) return TbNoEnPassant;
    if (!SquareIsEmpty(counts, white, black, ep) || !SquareIsEmpty(counts, white, black, ep - 8)) return TbNoEnPassant;
    if ((file > 0 && HasPawnOn(counts, mover, 1, ep + 7)) || (file < 7 && HasPawnOn(counts, mover, 1, ep + 9)))
      return ep;
  }
  return TbNoEnPassant;
}

static int32_t ResultOfRaw(int32_t raw) {
  if (raw == 0 || raw == NoTableValue) return 0;
  if (raw >= 1) return 32767 - raw;
  if (raw >= -32766) return -32767 - raw;
  return raw == -32767 ? CheckmatedResult : 32767;
}

int ProbeTablebaseList(const int32_t* counts, const int32_t* white, const int32_t* black, int32_t side,
                       int32_t epSquare, int32_t* result) {
  if (!counts || !white || !black || !result || (side != 0 && side != 1) || TbMaxPieces == 0) return 0;
  int record = EndgameLookup(counts);
  if (record == 0 || !SquaresAreSound(counts, white, black)) return 0;
  const int32_t ep = EnPassantForIndex(counts, white, black, side, epSquare);
  int32_t flip = 0, tableSideToMove = side;
  if (record < 0) {
    record = -record;
    const int32_t* swap = white;
    white = black;
    black = swap;
    tableSideToMove = side ^ 1;
    flip = 1;
  }
  const int tableSide = TableSideOf(record, tableSideToMove);
  if (!FileSideIsRegistered(record, tableSide)) return 0;
  // Each side to move has its routine; a symmetric record's Black routine indexes into the
  // one shared file.
  const EndgameRecord& entry = EndgameTable[record];
  TbIndexRoutine routine = tableSideToMove == 0 ? entry.indexWhite : entry.indexBlack;
  if (!routine) return 0;
  const uint64_t index = routine(white, black, ep, flip);
  if (index >= IndexCountOf(record, tableSide)) return 0;
  int32_t raw = 0;
  if (!ReadTableValue(record, tableSide, index, &raw)) return 0;
  *result = ResultOfRaw(raw);
  return 1;
}

int ProbeTablebaseResult(const Position* pos, const PlyState* ps, int32_t* result) {
  int32_t counts[10] = {}, squares[2][SquareListSize] = {};
  for (int color = 0; color < 2; ++color) {
    const uint8_t* list = pos->pieceList[color];
    squares[color][0] = list[0] - 1;
    for (int entry = 1; entry < PieceListSize && list[entry]; ++entry) {
      if (list[entry] == CapturedMark) continue;
      int code = pos->board[list[entry]];
      static const int KindOfCode[8] = {0, 0, TbPawn, TbKnight, 0, TbBishop, TbRook, TbQueen};
      int kind = KindOfCode[code & 7];
      if (kind == 0) return 0;
      int32_t& count = counts[color * 5 + kind - 1];
      if (count == 4) return 0;
      squares[color][4 * kind + count++] = list[entry] - 1;
    }
  }
  const int epField = int(ps->flags & EnPassantMask);
  return ProbeTablebaseList(counts, squares[0], squares[1], ps->side, epField ? epField - 1 : 0, result);
}

int ProbeTablebase(const Position* pos, const PlyState* ps) {
  int32_t result;
  if (!ProbeTablebaseResult(pos, ps, &result)) return NoTablebaseResult;
  if (result == CheckmatedResult) return -MateScore;
  if (result > 0) return (15000 - result) * 2;
  return result < 0 ? (-15001 - result) * 2 : 0;
}
