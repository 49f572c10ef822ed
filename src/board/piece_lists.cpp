// Piece lists, slots, counts and attack tables derived from the board.
#include "board/piece_lists.h"
#include <cstring>

#include "board/attack_update.h"

namespace {

bool KindInScan(int kind, int scan) {
  static const int ScanKinds[5][2] = {{WKing, WPawn}, {WKnight, 0}, {WBishop, 0}, {WRook, 0}, {WQueen, 0}};
  return kind == ScanKinds[scan][0] || kind == ScanKinds[scan][1];
}

}  // namespace

void BuildPieceLists(Position* pos) {
  pos->board[0] = -1;
  std::memset(pos->pieceCount, 0, sizeof pos->pieceCount);
  std::memset(pos->slots, 0, sizeof pos->slots);
  std::memset(pos->pieceList, 0, sizeof pos->pieceList);
  std::memset(pos->listCode, 0, sizeof pos->listCode);
  std::memset(pos->entryOf, 0, sizeof pos->entryOf);
  int length[2] = {1, 1};
  // King and pawns, then knights, bishops, rooks and queens, each by ascending square.
  for (int scan = 0; scan < 5; scan++) {
    for (int sq = 1; sq <= 64; sq++) {
      int code = pos->board[sq];
      if (code <= 0 || code > 15) continue;
      if (scan == 0) pos->pieceCount[code]++;
      if (!KindInScan(PieceKind(code), scan)) continue;
      int side = PieceSide(code);
      int index;
      if (PieceKind(code) == WKing) {
        index = 0;
      } else {
        if (length[side] >= PieceListSize - 1) continue;  // more pieces than a side can have
        index = length[side]++;
      }
      pos->pieceList[side][index] = uint8_t(sq);
      pos->listCode[side][index] = code;
      pos->entryOf[sq] = uint8_t(index);
    }
  }
  for (int side = 0; side < 2; side++) {
    pos->pieceList[side][length[side]] = 0;
    pos->listCode[side][0] = WKing + side * BlackBit;
    for (int index = 1; index < length[side]; index++) {
      int code = pos->board[pos->pieceList[side][index]];
      if (IsPawnCode(code)) continue;
      PieceSlots* slots = &pos->slots[code];
      if (slots->count >= MaxSlotPieces) continue;
      slots->entry[slots->count++] = uint8_t(index);
      slots->entry[slots->count] = 0;
    }
  }
  pos->undoTop = 0;
}

void BuildAttackTables(Position* pos) {
  std::memset(pos->attacks, 0, sizeof pos->attacks);
  for (int side = 0; side < 2; side++) {
    const uint8_t* list = pos->pieceList[side];
    if (list[0] != 0) AddAttacks(pos->board, &pos->attacks[side], list[0], pos->board[list[0]]);
    for (int index = 1; list[index] != 0; index++)
      if (list[index] != CapturedMark) AddAttacks(pos->board, &pos->attacks[side], list[index], pos->board[list[index]]);
  }
}
