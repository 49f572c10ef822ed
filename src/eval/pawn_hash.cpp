// The pawn-structure table of the search context, its lookups and the entry checker.
#include "eval/pawn_hash.h"
#include <cstddef>
#include <initializer_list>
#include "board/check.h"
#include "board/types.h"
#include "eval/pawn_structure.h"
#include "eval/root_tables.h"
#include "eval/square_geometry.h"
#include "eval/squares.h"

static PawnEntry PawnHash[PawnHashSize];

static inline uint32_t EntryCheck(uint32_t pawnKey2) { return pawnKey2 ^ PawnStamp; }

const PawnEntry* FindPawnEntry(const Position* pos, uint32_t pawnKey1, uint32_t pawnKey2) {
  const PawnEntry* e = &PawnHash[pawnKey1 & (PawnHashSize - 1)];
  uint32_t check = EntryCheck(pawnKey2);
  if (check == 0 || e->key != check) return nullptr;
  KESTRANE_ASSERT(PawnEntryIsOk(e, pos->board));
  return e;
}

const PawnEntry* LookupPawnEntry(Position* pos, const PlyState* ps) {
  PawnEntry* e = &PawnHash[ps->pawnKey1 & (PawnHashSize - 1)];
  uint32_t check = EntryCheck(ps->pawnKey2);
  if (check != 0 && e->key == check) {
    KESTRANE_ASSERT(PawnEntryIsOk(e, pos->board));
    return e;
  }
  AnalysePawns(pos, e);
  e->key = check;
  return e;
}

void PrefetchPawnEntry(uint32_t pawnKey1) {
  const char* e = reinterpret_cast<const char*>(&PawnHash[pawnKey1 & (PawnHashSize - 1)]);
  for (size_t offset = 0; offset < sizeof(PawnEntry); offset += 64) __builtin_prefetch(e + offset);
}

int PawnEntryHasAdvancedPasser(const PawnEntry* entry, int side) {
  return (entry->flags & (side ? PawnBlackPasserFar : PawnWhitePasserFar)) != 0;
}

void ClearPawnHash() {
  for (int i = 0; i < PawnHashSize; i++) PawnHash[i] = PawnEntry{};
}

int PawnEntryIsOk(const PawnEntry* e, const int8_t board[65]) {
  PawnEntry fresh{};
  for (int f = 0; f <= 9; f++) {
    fresh.rearmost[White][f] = 9;
    fresh.rearmost[Black][f] = 0;
  }
  uint64_t pawns[2] = {0, 0};
  for (int s = 1; s <= 64; s++) {
    int code = board[s];
    if (code != WPawn && code != BPawn) continue;
    int side = PieceSide(code), f = FileOf(s), r = RankOf(s);
    pawns[side] |= SquareBit(s);
    fresh.pawnCount[side]++;
    fresh.pawnsOnFile[f]++;
    fresh.sidePawnsOnFile[side][f]++;
    fresh.colourCount[side][IsDarkSquare(s)]++;
    if (side == White ? r < fresh.rearmost[White][f] : r > fresh.rearmost[Black][f]) fresh.rearmost[side][f] = int8_t(r);
    int ahead = s + Forward(side);
    if (f > 1) fresh.pawnAttacks[side] |= SquareBit(ahead - 1);
    if (f < 8) fresh.pawnAttacks[side] |= SquareBit(ahead + 1);
  }
  for (int side = White; side <= Black; side++) {
    if (e->pawnCount[side] != fresh.pawnCount[side] || e->pawnAttacks[side] != fresh.pawnAttacks[side]) return 0;
    if (e->pawns[side] != pawns[side] || ((e->passed[side] | e->weak[side]) & ~pawns[side])) return 0;
    for (int c = 0; c < 2; c++) {
      if (e->colourCount[side][c] != fresh.colourCount[side][c]) return 0;
      if (e->nonPassedColour[side][c] < 0 || e->nonPassedColour[side][c] > e->colourCount[side][c]) return 0;
    }
    for (int f = 0; f <= 9; f++)
      if (e->sidePawnsOnFile[side][f] != fresh.sidePawnsOnFile[side][f] || e->rearmost[side][f] != fresh.rearmost[side][f])
        return 0;
  }
  for (int f = 0; f <= 9; f++)
    if (e->pawnsOnFile[f] != fresh.pawnsOnFile[f]) return 0;
  return 1;
}
