#include "board/position_check.h"

#include <algorithm>
#include <cstring>

#include "board/attack_update.h"
#include "board/keys.h"
#include "board/piece_values.h"

namespace {

bool ValidCode(int code) { return code > 0 && code < 16 && (code & 7) != 0 && (code & 7) != 4; }

bool ListsAreOk(const Position* pos) {
  int seen[65] = {};
  for (int side = 0; side < 2; side++) {
    const uint8_t* list = pos->pieceList[side];
    int index = 0;
    for (; index < PieceListSize && (index == 0 || list[index] != 0); index++) {
      int sq = list[index];
      if (sq == CapturedMark && index > 0) continue;
      if (sq < 1 || sq > 64 || seen[sq]) return false;
      int code = pos->board[sq];
      if (!ValidCode(code) || PieceSide(code) != side || pos->entryOf[sq] != index) return false;
      if ((index == 0) != (PieceKind(code) == WKing)) return false;
      seen[sq] = 1;
    }
    if (index == PieceListSize) return false;  // no terminator
  }
  int count[16] = {};
  for (int sq = 1; sq <= 64; sq++) {
    int code = pos->board[sq];
    if (code == 0) continue;
    if (!ValidCode(code) || !seen[sq]) return false;
    count[code]++;
  }
  if (pos->board[0] != -1) return false;
  for (int code = 0; code < 16; code++)
    if (pos->pieceCount[code] != count[code]) return false;

  // Slots: every live piece of a slot code listed once, entries of captured pieces allowed.
  for (int code = 0; code < 16; code++) {
    bool slotCode = ValidCode(code) && PieceKind(code) != WKing && !IsPawnCode(code);
    const PieceSlots* slots = &pos->slots[code];
    if (!slotCode) {
      if (slots->count != 0) return false;
      continue;
    }
    if (slots->count > MaxSlotPieces || slots->entry[slots->count] != 0) return false;
    int live = 0;
    for (int i = 0; i < slots->count; i++) {
      int index = slots->entry[i];
      if (index < 1 || index >= PieceListSize - 1) return false;
      int sq = pos->pieceList[PieceSide(code)][index];
      if (sq == CapturedMark) continue;
      if (sq < 1 || sq > 64 || pos->board[sq] != code) return false;
      live++;
    }
    if (live != count[code]) return false;
  }

  // Undo stack: captured entries, each marked.
  if (pos->undoTop < 0 || pos->undoTop > int(sizeof pos->undoStack)) return false;
  int marked = 0;
  for (int side = 0; side < 2; side++)
    for (int index = 1; pos->pieceList[side][index] != 0; index++) marked += pos->pieceList[side][index] == CapturedMark;
  if (marked != pos->undoTop) return false;
  for (int i = 0; i < pos->undoTop; i++) {
    int undo = pos->undoStack[i];
    if ((undo & 31) >= PieceListSize || pos->pieceList[undo >> 5][undo & 31] != CapturedMark) return false;
  }
  return true;
}

bool AttackTablesAreOk(const Position* pos) {
  AttackTable rebuilt[2];
  std::memset(rebuilt, 0, sizeof rebuilt);
  for (int side = 0; side < 2; side++) {
    const uint8_t* list = pos->pieceList[side];
    for (int index = 0; index == 0 || list[index] != 0; index++)
      if (list[index] != CapturedMark) AddAttacks(pos->board, &rebuilt[side], list[index], pos->board[list[index]]);
  }
  for (int side = 0; side < 2; side++) {
    for (int sq = 0; sq <= 64; sq++) {
      const AttackCell& have = pos->attacks[side].cell[sq];
      const AttackCell& want = rebuilt[side].cell[sq];
      if (have.count != want.count || have.sliders != want.sliders) return false;
      if (have.count < 0 || have.count > MaxCellAttackers) return false;
      // Same attacker squares, each listed once: the rebuild's are distinct.
      for (int i = 0; i < have.count; i++) {
        if (std::count(have.from, have.from + have.count, have.from[i]) != 1) return false;
        if (std::count(want.from, want.from + want.count, have.from[i]) != 1) return false;
      }
    }
  }
  return true;
}

bool StateIsOk(const Position* pos, const PlyState* ps) {
  uint32_t key1, key2, pawn1, pawn2;
  ComputeKeys(pos->board, &key1, &key2);
  ComputePawnKeys(pos->board, &pawn1, &pawn2);
  if (ps->key1 != key1 || ps->key2 != key2 || ps->pawnKey1 != pawn1 || ps->pawnKey2 != pawn2) return false;
  if (pos->keyPtr != nullptr && *pos->keyPtr != ps->key2) return false;
  int material[2] = {}, phase[2] = {}, men = 0;
  uint32_t signature[2] = {};
  for (int sq = 1; sq <= 64; sq++) {
    int code = pos->board[sq];
    if (code == 0) continue;
    int side = PieceSide(code);
    men++;
    if (PieceKind(code) != WKing) material[side] += PieceValue[code];
    phase[side] += PhaseWeight[code];
    signature[side] += PieceSignatureWeight(code, sq);
  }
  for (int side = 0; side < 2; side++)
    if (ps->material[side] != material[side] || ps->phaseCount[side] != phase[side] || ps->signature[side] != signature[side])
      return false;
  if (ps->menCount != men) return false;
  int side = ps->side & 1;
  bool inCheck = pos->attacks[side ^ 1].cell[pos->pieceList[side][0]].count != 0;
  return ((ps->flags & InCheckFlag) != 0) == inCheck;
}

}  // namespace

int PositionIsOk(const Position* pos, const PlyState* ps) {
  return ListsAreOk(pos) && AttackTablesAreOk(pos) && StateIsOk(pos, ps);
}
