// Legality of table positions, the decoder entry and the index counts derived from the rule.
#include <cstdlib>
#include <cstring>

#include "tablebase/endgame_table.h"
#include "tablebase/index_count.h"
#include "tablebase/index_tables.h"
#include "tablebase/index_layout.h"

static bool ValidRecordSide(int record, int side) {
  return record >= 1 && record < EndgameRecordCount && (side == 0 || side == 1);
}

static bool IsSymmetric(int record) { return (EndgameTable[record].flags & EndgameSymmetric) != 0; }

uint64_t TbNormalIndexCount(int record, int side) {
  if (!ValidRecordSide(record, side)) return 0;
  BuildTablebaseIndexTables();
  return TbLayouts[record][IsSymmetric(record) ? 0 : side].normalCount;
}

bool TbIndexToPosition(int record, int side, uint64_t index, int32_t* white, int32_t* black,
                       int32_t* epSquare) {
  if (!ValidRecordSide(record, side)) return false;
  BuildTablebaseIndexTables();
  if (!IsSymmetric(record) || side == 0)
    return TbDecode(TbLayouts[record][side], index, white, black, epSquare);
  // Black to move in a symmetric record: the colour-swapped, rank-mirrored position.
  int32_t w[24], b[24], ep;
  if (!TbDecode(TbLayouts[record][0], index, w, b, &ep)) return false;
  for (int i = 0; i < 24; i++) {
    white[i] = b[i] ^ 56;
    black[i] = w[i] ^ 56;
  }
  *epSquare = ep == TbNoEnPassant ? ep : ep ^ 56;
  return true;
}

static int FileDistance(int a, int b) { return std::abs((a & 7) - (b & 7)); }
static int RankDistance(int a, int b) { return std::abs((a >> 3) - (b >> 3)); }

// Whether a piece of `kind` (White pawns move up, Black ones down) on `from` attacks `to`.
static bool Attacks(int kind, int side, int from, int to, uint64_t occupied) {
  int df = FileDistance(from, to), dr = RankDistance(from, to);
  switch (kind) {
    case TbPawn: return df == 1 && to - from == (side == 0 ? 1 : -1) * 8 + ((to & 7) - (from & 7));
    case TbKnight: return (df == 1 && dr == 2) || (df == 2 && dr == 1);
    case TbBishop: if (df != dr) return false; break;
    case TbRook: if (df != 0 && dr != 0) return false; break;
    case TbQueen: if (df != dr && df != 0 && dr != 0) return false; break;
    default: return false;
  }
  if (from == to) return false;
  int fileStep = (to & 7) > (from & 7) ? 1 : (to & 7) < (from & 7) ? -1 : 0;
  int rankStep = (to >> 3) > (from >> 3) ? 8 : (to >> 3) < (from >> 3) ? -8 : 0;
  for (int sq = from + fileStep + rankStep; sq != to; sq += fileStep + rankStep)
    if (occupied & (uint64_t(1) << sq)) return false;
  return true;
}

bool TbPositionIsLegal(int record, int side, const int32_t* white, const int32_t* black,
                       int32_t epSquare) {
  if (!ValidRecordSide(record, side)) return false;
  BuildTablebaseIndexTables();
  const int32_t* lists[2] = {white, black};
  uint64_t occupied = 0, sidePawns[2] = {0, 0};
  for (int s = 0; s < 2; s++) {
    for (int kind = 0; kind <= TbQueen; kind++) {
      int count = kind == 0 ? 1 : TbPieceCounts[record][s][kind];
      for (int j = 0; j < count; j++) {
        int sq = lists[s][kind == 0 ? 0 : 4 * kind + j];
        if (sq < 0 || sq > 63 || (occupied & (uint64_t(1) << sq))) return false;
        if (kind == TbPawn) {
          if (sq < 8 || sq > 55) return false;
          sidePawns[s] |= uint64_t(1) << sq;
        }
        occupied |= uint64_t(1) << sq;
      }
    }
  }
  int ownKing = lists[side][0], otherKing = lists[1 - side][0];
  if (FileDistance(ownKing, otherKing) <= 1 && RankDistance(ownKing, otherKing) <= 1) return false;
  for (int kind = TbPawn; kind <= TbQueen; kind++)
    for (int j = 0; j < TbPieceCounts[record][side][kind]; j++)
      if (Attacks(kind, side, lists[side][4 * kind + j], otherKing, occupied)) return false;
  if (epSquare == TbNoEnPassant) return true;
  // The pawn that just advanced two squares stands `step` beyond the square it passed.
  int step = side == 0 ? -8 : 8;
  if (epSquare < 0 || epSquare > 63 || (side == 0 ? epSquare >> 3 != 5 : epSquare >> 3 != 2))
    return false;
  int pushed = epSquare + step, origin = epSquare - step;
  auto has = [](uint64_t set, int sq) { return (set >> sq) & 1; };
  if (!has(sidePawns[1 - side], pushed) || has(occupied, epSquare) || has(occupied, origin))
    return false;
  return ((pushed & 7) > 0 && has(sidePawns[side], pushed - 1)) ||
         ((pushed & 7) < 7 && has(sidePawns[side], pushed + 1));
}

uint64_t TbDerivedIndexCount(int record, int side) {
  if (!ValidRecordSide(record, side)) return 0;
  BuildTablebaseIndexTables();
  if (IsSymmetric(record)) side = 0;
  const TbSideLayout& layout = TbLayouts[record][side];
  int32_t white[24], black[24], ep;
  for (uint64_t index = layout.fullCount; index-- > 0;) {
    if (TbDecode(layout, index, white, black, &ep) &&
        TbPositionIsLegal(record, side, white, black, ep))
      return index + 1;
  }
  return 0;
}

uint32_t TbDerivedFlags(int record, uint64_t countWhite, uint64_t countBlack) {
  if (!ValidRecordSide(record, 0)) return 0;
  const char* name = EndgameTable[record].name;
  const char* second = strchr(name + 1, 'k');
  size_t strong = size_t(second - name - 1), weak = strlen(second + 1);
  bool symmetric = strong == weak && strncmp(name + 1, second + 1, strong) == 0;
  bool pawns = strchr(name, 'p') != nullptr;
  bool twoByte = !symmetric && !pawns && strong == 2 && weak == 2;
  uint64_t largest = countWhite > countBlack ? countWhite : countBlack;
  bool split = largest * (twoByte ? 2 : 1) > (uint64_t(1) << 31);
  return (symmetric ? EndgameSymmetric : 0) | (twoByte ? EndgameTwoByte : 0) |
         (split ? EndgameSplit : 0);
}
