// The position index of every endgame record, derived from the record's name by one rule.
//
// The rule, for the side to move S of a record (its "own" king and pieces) and the other
// side O:
//  1. Symmetry from S's king: without pawns, XOR every square with its quadrant value, then
//     transpose every square when S's king is off the a1-d1-d4 triangle, or on the diagonal
//     with O's king above it. With pawns, XOR every square with the king's file mirror, with
//     56 when the caller swapped the colours (flip), and once more with 56 when Black is to
//     move and Black has no piece but pawns (so that a Black pawn placed first moves up).
//  2. The king part is the pair number of (S's king, O's king): 462 pawnless, 1806 pawn pairs.
//  3. The pieces form groups of alike pieces (same colour and kind) in mixed-radix order: S's
//     groups, then O's, each side's in the order queens, rooks, bishops, knights, pawns.
//  4. The first group goes through a placement table of O's king, less one for S's king when
//     it stands on a lower allowed square: S's pieces may not give contact check (pawn
//     kind "may check" for pawns), O's pawns take the plain pawn table, O's pieces any square.
//     Per king pair it takes C(n, size) numbers; the offset table adds the pairs before.
//  5. Each later pawn group counts its squares from a2, less the earlier pawns below them;
//     each later piece group counts its squares less the kings, all pawns and the earlier
//     pieces below them. A group of m alike pieces with reduced squares a < b < c is numbered
//     a, C(b,2) + a or C(c,3) + C(b,2) + a, radix C(free squares, m).
//  6. index = (offset[pair] + first group) * R1 * R2 ... + later groups in mixed radix.
//  7. En-passant area, records where both sides have pawns: a position in which S can take
//     en passant gets N + (pair * 14 + c) * T + rest, N the normal indexes. With the capturing
//     pawn on file f (after the symmetry), c = f - 1 when it takes towards the a-file, f + 7
//     towards the h-file; when two pawns can take, the one taking towards the a-file is used.
//     The rest are every group without the capturing and the captured pawn, numbered as in 5
//     with those two pawns counted as earlier pawns; T is the product of their radices.
//  8. A side's index count is one more than the highest index of a legal position, so a
//     range ends with its last legal position.
#include "tablebase/index_layout.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "tablebase/endgame_table.h"

TbSideLayout TbLayouts[EndgameRecordCount][2];
uint8_t TbPieceCounts[EndgameRecordCount][2][6];

static uint64_t Bit(int sq) { return uint64_t(1) << sq; }
static int Below(uint64_t mask, int sq) { return std::popcount(mask & (Bit(sq) - 1)); }
static int PairCount(bool pawns) { return pawns ? PawnKingPairs : PawnlessKingPairs; }

// Number of a sorted group of reduced squares among all such groups.
static uint64_t Combine(const int* v, int size) {
  uint64_t r = uint64_t(v[0]);
  if (size >= 2) r += uint64_t(v[1]) * uint64_t(v[1] - 1) / 2;
  if (size >= 3) r += uint64_t(v[2]) * uint64_t(v[2] - 1) * uint64_t(v[2] - 2) / 6;
  return r;
}

// C(n, k) for n < 65 and k <= 3, for Uncombine.
static constexpr struct ChooseTable {
  uint64_t value[65][MaxGroupSize + 1];
  constexpr ChooseTable() : value{} {
    for (int n = 0; n < 65; n++)
      for (int k = 0; k <= MaxGroupSize; k++) value[n][k] = TbChoose(n, k);
  }
} Choose;

// Inverse of Combine: the reduced squares, ascending.
static void Uncombine(uint64_t number, int size, int* v) {
  for (int j = size; j >= 1; j--) {
    int low = j - 1, high = 64;  // C(low, j) = 0 <= number < C(high, j)
    while (high - low > 1) {
      int mid = (low + high) / 2;
      if (Choose.value[mid][j] <= number) low = mid; else high = mid;
    }
    v[j - 1] = low;
    number -= Choose.value[low][j];
  }
}

static void SortSmall(int* v, int size) {
  if (size >= 2 && v[0] > v[1]) std::swap(v[0], v[1]);
  if (size >= 3) {
    if (v[1] > v[2]) std::swap(v[1], v[2]);
    if (v[0] > v[1]) std::swap(v[0], v[1]);
  }
}

static int GroupListOffset(const TbGroup& g) { return 4 * g.kind; }

void BuildTbLayouts() {
  for (int record = 1; record < EndgameRecordCount; record++) {
    const char* name = EndgameTable[record].name;
    TbGroup sideGroups[2][MaxTbGroups] = {};
    int sideGroupCount[2] = {0, 0}, pawnCount[2] = {0, 0};
    int side = 0;
    for (const char* p = name + 1; *p && p < name + 8; p++) {
      if (*p == 'k') { side = 1; continue; }
      int kind = *p == 'p' ? TbPawn : *p == 'n' ? TbKnight : *p == 'b' ? TbBishop
               : *p == 'r' ? TbRook : TbQueen;
      if (kind == TbPawn) pawnCount[side]++;
      TbPieceCounts[record][side][kind]++;
      int& n = sideGroupCount[side];
      if (n > 0 && sideGroups[side][n - 1].kind == kind) {
        sideGroups[side][n - 1].size++;
      } else {
        sideGroups[side][n++] = TbGroup{uint8_t(side), uint8_t(kind), 1};
      }
    }
    int totalPawns = pawnCount[0] + pawnCount[1];
    for (int stm = 0; stm < 2; stm++) {
      TbSideLayout& L = TbLayouts[record][stm];
      L = TbSideLayout{};
      L.pawns = totalPawns > 0;
      L.sideToMove = uint8_t(stm);
      bool blackOnlyPawns = sideGroupCount[1] == 0 ||
                            (sideGroupCount[1] == 1 && sideGroups[1][0].kind == TbPawn);
      L.mirrorRanks = L.pawns && stm == 1 && blackOnlyPawns;
      for (int s : {stm, 1 - stm})
        for (int i = 0; i < sideGroupCount[s]; i++) L.group[L.groupCount++] = sideGroups[s][i];
      const TbGroup& first = L.group[0];
      if (first.side == stm) {
        L.firstKind = first.kind == TbPawn ? PlaceCheckPawn : first.kind;  // knight..queen
      } else {
        L.firstKind = first.kind == TbPawn ? PlacePawn : PlaceAnywhere;
      }
      L.firstOffsets = TbPlacementOffsets(L.pawns, L.firstKind, first.size);
      int pawnsBefore = first.kind == TbPawn ? first.size : 0;
      int piecesBefore = first.kind == TbPawn ? 0 : first.size;
      L.tail = 1;
      for (int g = 1; g < L.groupCount; g++) {
        const TbGroup& grp = L.group[g];
        if (grp.kind == TbPawn) {
          L.range[g] = uint32_t(TbChoose(48 - pawnsBefore, grp.size));
          pawnsBefore += grp.size;
        } else {
          L.range[g] = uint32_t(TbChoose(62 - totalPawns - piecesBefore, grp.size));
          piecesBefore += grp.size;
        }
        L.tail *= L.range[g];
      }
      L.normalCount = uint64_t(L.firstOffsets[PairCount(L.pawns)]) * L.tail;
      L.fullCount = L.normalCount;
      L.enPassant = pawnCount[0] > 0 && pawnCount[1] > 0;
      if (L.enPassant) {
        pawnsBefore = 2;
        piecesBefore = 0;
        L.epTail = 1;
        for (int g = 0; g < L.groupCount; g++) {
          const TbGroup& grp = L.group[g];
          if (grp.kind == TbPawn) {
            L.epRange[g] = uint32_t(TbChoose(48 - pawnsBefore, grp.size - 1));
            pawnsBefore += grp.size - 1;
          } else {
            L.epRange[g] = uint32_t(TbChoose(62 - totalPawns - piecesBefore, grp.size));
            piecesBefore += grp.size;
          }
          L.epTail *= L.epRange[g];
        }
        L.fullCount += uint64_t(PawnKingPairs) * 14 * L.epTail;
      }
    }
  }
}

// The squares of a position after the board symmetry chosen from the side to move's king,
// grouped as the layout says.
struct TbPlaced {
  int own, other;                     // kings
  int sq[MaxTbGroups][MaxGroupSize];  // sorted per group
  uint64_t kings, pawns, all;
  int ep;                             // mapped en-passant square, or -1
};

static bool PlacePosition(const TbSideLayout& L, const int32_t* white, const int32_t* black,
                          int32_t epSquare, int32_t flip, TbPlaced& P) {
  const int32_t* lists[2] = {white, black};
  int own = lists[L.sideToMove][0], other = lists[1 - L.sideToMove][0];
  if (uint32_t(own) > 63 || uint32_t(other) > 63) return false;
  int x = 0;
  bool transpose = false;
  if (L.pawns) {
    x = TbPawnMirror[own] ^ TbFlip[flip != 0] ^ (L.mirrorRanks ? 56 : 0);
  } else {
    x = TbQuadrant[own];
    int o = own ^ x;
    transpose = !TbTriangle[o] || (!TbOffDiagonal[o] && !TbOnOrBelow[other ^ x]);
  }
  auto map = [&](int sq) { return transpose ? int(TbTranspose[sq ^ x]) : sq ^ x; };
  P.own = map(own);
  P.other = map(other);
  P.kings = Bit(P.own) | Bit(P.other);
  P.all = P.kings;
  P.pawns = 0;
  if (P.all == Bit(P.own)) return false;  // both kings on one square
  for (int g = 0; g < L.groupCount; g++) {
    const TbGroup& grp = L.group[g];
    for (int j = 0; j < grp.size; j++) {
      int sq = lists[grp.side][GroupListOffset(grp) + j];
      if (uint32_t(sq) > 63) return false;
      sq = map(sq);
      if (P.all & Bit(sq)) return false;
      if (grp.kind == TbPawn) {
        if (sq < 8 || sq > 55) return false;
        P.pawns |= Bit(sq);
      }
      P.all |= Bit(sq);
      P.sq[g][j] = sq;
    }
    SortSmall(P.sq[g], grp.size);
  }
  P.ep = uint32_t(epSquare) <= 63 ? map(epSquare) : -1;
  return true;
}

// Direction of the side to move's pawns after the symmetry: +8 up, -8 down.
static int OwnPawnStep(const TbSideLayout& L) {
  return L.sideToMove == 0 || L.mirrorRanks ? 8 : -8;
}

static int PawnGroupOf(const TbSideLayout& L, int side) {
  for (int g = 0; g < L.groupCount; g++)
    if (L.group[g].side == side && L.group[g].kind == TbPawn) return g;
  return -1;
}

// The groups after the first (each reduced by the men placed before it), or every group of
// the en-passant rest, in mixed radix.
static uint64_t LaterGroups(const TbSideLayout& L, const TbPlaced& P, int from,
                            const uint32_t* range, uint64_t skip, uint64_t pawnsBefore,
                            uint64_t piecesBefore, uint64_t index) {
  for (int g = from; g < L.groupCount; g++) {
    const TbGroup& grp = L.group[g];
    int v[MaxGroupSize] = {0, 0, 0}, n = 0;
    uint64_t placed = 0;
    for (int j = 0; j < grp.size; j++) {
      int sq = P.sq[g][j];
      if (skip & Bit(sq)) continue;
      v[n++] = grp.kind == TbPawn ? sq - 8 - Below(pawnsBefore, sq)
                                  : sq - Below(P.kings | P.pawns | piecesBefore, sq);
      placed |= Bit(sq);
    }
    if (grp.kind == TbPawn) pawnsBefore |= placed; else piecesBefore |= placed;
    index = index * range[g] + (n > 0 ? Combine(v, n) : 0);
  }
  return index;
}

static uint64_t EncodeEnPassant(const TbSideLayout& L, const TbPlaced& P) {
  int step = OwnPawnStep(L);
  int e = P.ep;
  if (step > 0 ? (e < 40 || e > 47) : (e < 16 || e > 23)) return TbNoIndex;
  int captured = e - step;
  int own = PawnGroupOf(L, L.sideToMove), other = PawnGroupOf(L, 1 - L.sideToMove);
  uint64_t ownPawns = 0, otherPawns = 0;
  for (int j = 0; j < L.group[own].size; j++) ownPawns |= Bit(P.sq[own][j]);
  for (int j = 0; j < L.group[other].size; j++) otherPawns |= Bit(P.sq[other][j]);
  if (!(otherPawns & Bit(captured))) return TbNoIndex;
  int file = captured & 7, capturer, code;
  if (file < 7 && (ownPawns & Bit(captured + 1))) {
    capturer = captured + 1;
    code = file;
  } else if (file > 0 && (ownPawns & Bit(captured - 1))) {
    capturer = captured - 1;
    code = file + 6;
  } else {
    return TbNoIndex;
  }
  uint64_t both = Bit(captured) | Bit(capturer);
  uint64_t head = uint64_t(TbPawnPair[P.own][P.other]) * 14 + uint64_t(code);
  return L.normalCount + LaterGroups(L, P, 0, L.epRange, both, both, 0, head);
}

uint64_t TbEncode(const TbSideLayout& L, const int32_t* white, const int32_t* black,
                  int32_t epSquare, int32_t flip) {
  TbPlaced P;
  if (!PlacePosition(L, white, black, epSquare, flip, P)) return TbNoIndex;
  uint16_t pair = L.pawns ? TbPawnPair[P.own][P.other] : TbPawnlessPair[P.own][P.other];
  if (pair == NoKingPair) return TbNoIndex;
  if (L.enPassant && P.ep >= 0) {
    uint64_t index = EncodeEnPassant(L, P);
    if (index != TbNoIndex) return index;
  }
  const TbGroup& first = L.group[0];
  const uint8_t* numbers = TbPlacement[L.firstKind][P.other];
  int ownNumber = numbers[P.own];
  int v[MaxGroupSize] = {0, 0, 0};
  for (int j = 0; j < first.size; j++) {
    int sq = P.sq[0][j];
    if (numbers[sq] == NoPlacement) return TbNoIndex;
    v[j] = numbers[sq] - (ownNumber != NoPlacement && P.own < sq);
  }
  uint64_t firstBits = 0;
  for (int j = 0; j < first.size; j++) firstBits |= Bit(P.sq[0][j]);
  uint64_t head = L.firstOffsets[pair] + Combine(v, first.size);
  bool pawnFirst = first.kind == TbPawn;
  return LaterGroups(L, P, 1, L.range, 0, pawnFirst ? firstBits : 0, pawnFirst ? 0 : firstBits,
                     head);
}

// The square of the reduced value `v` once the squares of `taken` are skipped (from `base`).
static int Unreduce(int v, int base, uint64_t taken) {
  int sq = v + base;
  while (taken) {
    int t = std::countr_zero(taken);
    taken &= taken - 1;
    if (t <= sq) sq++; else break;
  }
  return sq;
}

// Squares of groups `from`.. from their digits: pawns first (they reduce the pieces).
static bool ResolveLaterGroups(const TbSideLayout& L, const uint64_t* digit, int from,
                               uint64_t skipPawns, int sq[MaxTbGroups][MaxGroupSize],
                               int* filled, uint64_t kings, uint64_t firstPieces,
                               uint64_t firstPawns) {
  uint64_t pawnsBefore = firstPawns | skipPawns;
  for (int g = from; g < L.groupCount; g++) {
    const TbGroup& grp = L.group[g];
    if (grp.kind != TbPawn) continue;
    int n = grp.size - filled[g], v[MaxGroupSize];
    if (n == 0) continue;
    Uncombine(digit[g], n, v);
    uint64_t placed = 0;
    for (int j = 0; j < n; j++) {
      int s = Unreduce(v[j], 8, pawnsBefore);
      if (s > 55) return false;
      sq[g][filled[g]++] = s;
      placed |= Bit(s);
    }
    pawnsBefore |= placed;
  }
  uint64_t allPawns = pawnsBefore, piecesBefore = firstPieces;
  for (int g = from; g < L.groupCount; g++) {
    const TbGroup& grp = L.group[g];
    if (grp.kind == TbPawn) continue;
    int n = grp.size, v[MaxGroupSize];
    Uncombine(digit[g], n, v);
    uint64_t placed = 0;
    for (int j = 0; j < n; j++) {
      int s = Unreduce(v[j], 0, kings | allPawns | piecesBefore);
      if (s > 63) return false;
      sq[g][filled[g]++] = s;
      placed |= Bit(s);
    }
    piecesBefore |= placed;
  }
  return true;
}

bool TbDecode(const TbSideLayout& L, uint64_t index, int32_t* white, int32_t* black,
              int32_t* epSquare) {
  if (L.groupCount == 0 || index >= L.fullCount) return false;
  int sq[MaxTbGroups][MaxGroupSize], filled[MaxTbGroups] = {0, 0, 0, 0};
  uint64_t digit[MaxTbGroups] = {0, 0, 0, 0};
  int own, other, ep = -1;
  if (index >= L.normalCount) {
    uint64_t rest = index - L.normalCount;
    for (int g = L.groupCount - 1; g >= 0; g--) {
      digit[g] = rest % L.epRange[g];
      rest /= L.epRange[g];
    }
    int pair = int(rest / 14), code = int(rest % 14);
    own = TbPawnPairKings[pair][0];
    other = TbPawnPairKings[pair][1];
    int step = OwnPawnStep(L);
    int file = code < 7 ? code : code - 6;
    int captured = (step > 0 ? 32 : 24) + file;
    int capturer = code < 7 ? captured + 1 : captured - 1;
    ep = captured + step;
    int ownGroup = PawnGroupOf(L, L.sideToMove), otherGroup = PawnGroupOf(L, 1 - L.sideToMove);
    sq[ownGroup][filled[ownGroup]++] = capturer;
    sq[otherGroup][filled[otherGroup]++] = captured;
    uint64_t both = Bit(captured) | Bit(capturer);
    if (!ResolveLaterGroups(L, digit, 0, both, sq, filled, Bit(own) | Bit(other), 0, 0))
      return false;
  } else {
    uint64_t rest = index;
    for (int g = L.groupCount - 1; g >= 1; g--) {
      digit[g] = rest % L.range[g];
      rest /= L.range[g];
    }
    int pairs = PairCount(L.pawns);
    int pair = int(std::upper_bound(L.firstOffsets, L.firstOffsets + pairs + 1, uint32_t(rest)) -
                   L.firstOffsets) - 1;
    const uint8_t(*kings)[2] = L.pawns ? TbPawnPairKings : TbPawnlessPairKings;
    own = kings[pair][0];
    other = kings[pair][1];
    const TbGroup& first = L.group[0];
    int v[MaxGroupSize];
    Uncombine(rest - L.firstOffsets[pair], first.size, v);
    int ownNumber = TbPlacement[L.firstKind][other][own];
    uint64_t firstBits = 0;
    for (int j = 0; j < first.size; j++) {
      int number = v[j] + (ownNumber != NoPlacement && v[j] >= ownNumber);
      if (number >= TbPlacementCount[L.firstKind][other]) return false;
      sq[0][j] = TbPlacementSquare[L.firstKind][other][number];
      firstBits |= Bit(sq[0][j]);
    }
    filled[0] = first.size;
    bool pawnFirst = first.kind == TbPawn;
    if (!ResolveLaterGroups(L, digit, 1, 0, sq, filled, Bit(own) | Bit(other),
                            pawnFirst ? 0 : firstBits, pawnFirst ? firstBits : 0))
      return false;
  }
  int32_t* lists[2] = {white, black};
  int undo = L.mirrorRanks ? 56 : 0;
  for (int i = 0; i < 24; i++) white[i] = black[i] = 0;
  lists[L.sideToMove][0] = own ^ undo;
  lists[1 - L.sideToMove][0] = other ^ undo;
  for (int g = 0; g < L.groupCount; g++)
    for (int j = 0; j < L.group[g].size; j++)
      lists[L.group[g].side][GroupListOffset(L.group[g]) + j] = sq[g][j] ^ undo;
  *epSquare = ep >= 0 ? ep ^ undo : TbNoEnPassant;
  return TbEncode(L, white, black, *epSquare, 0) == index;
}
