// The blend tables and the root pattern flags with the table changes they bring.
#include "eval/root_patterns.h"
#include "board/types.h"
#include <initializer_list>
#include "eval/base_tables.h"
#include "eval/piece_square.h"
#include "eval/prepare_root.h"
#include "eval/root_tables.h"
#include "eval/squares.h"

void BuildBlendTables(const RootCounts* rc) {
  int endgameLike = IsEndgameLike(rc->phaseClass);
  for (int side = White; side <= Black; side++) {
    const int32_t* king = PieceSquareTable[WKing | side << 3];
    const int32_t* pawn = PieceSquareTable[WPawn | side << 3];
    for (int s = 0; s <= 64; s++) {
      if (s == 0) {
        KingCentralBlend[side][s] = KingSecondShelterBlend[side][s] = 0;
        KingEndgameBlend[side][s] = PawnEndgameBlend[side][s] = 0;
        continue;
      }
      KingCentralBlend[side][s] = endgameLike ? 0 : BaseValue(KingCentralBase, side, s) - king[s];
      KingSecondShelterBlend[side][s] = endgameLike ? 0 : BaseValue(KingSecondShelterBase, side, s) - king[s];
      KingEndgameBlend[side][s] = BaseValue(KingEndgameBase, side, s) - king[s];
      PawnEndgameBlend[side][s] = BaseValue(PawnEndgameBase, side, s) - pawn[s];
    }
  }
}

// Whether `pieceSide` has a piece of `kind` on the square x named from `own`'s view.
static int OwnView(const RootCounts* rc, int own, int pieceSide, int kind, int x) {
  return rc->board[SideSquare(own, x)] == (kind | pieceSide << 3);
}

static int MinorOn(const RootCounts* rc, int own, int pieceSide, int x) {
  return OwnView(rc, own, pieceSide, WKnight, x) || OwnView(rc, own, pieceSide, WBishop, x);
}

// Flags seen from the side to move at the root ("own"); squares named from own's view.
static void FindPatterns(const RootCounts* rc) {
  int own = rc->side, opp = own ^ 1;
  int ownKingFile = FileOf(rc->king[own]);
  int minors = rc->knights[0] + rc->knights[1] + rc->bishops[0] + rc->bishops[1];
  int queenWingPawns = 0;
  for (int f = 1; f <= 3; f++) queenWingPawns += rc->pawnsOnFile[0][f] + rc->pawnsOnFile[1][f];
  if (minors >= 5 && queenWingPawns >= 4 && OwnView(rc, own, opp, WPawn, sq::D5) &&
      OwnView(rc, own, opp, WPawn, sq::F5) && !OwnView(rc, own, opp, WPawn, sq::E4) &&
      OwnView(rc, own, own, WPawn, sq::D4) && OwnView(rc, own, own, WPawn, sq::E3) &&
      OwnView(rc, own, own, WPawn, sq::F2) && ownKingFile >= 5)
    RootPatternFlags |= PatternStonewall;
  if (rc->queens[opp] > 0 && rc->rooks[opp] > 0 && OwnView(rc, own, own, WPawn, sq::H3) &&
      OwnView(rc, own, opp, WPawn, sq::H5) && MinorOn(rc, own, opp, sq::G4) && ownKingFile >= 7)
    RootPatternFlags |= PatternHFile;
  else if (OwnView(rc, own, own, WPawn, sq::A3) && OwnView(rc, own, opp, WPawn, sq::A5) &&
           MinorOn(rc, own, opp, sq::B4) && ownKingFile <= 2)
    RootPatternFlags |= PatternAFile;
}

static void Add(int code, int s, int v) { PieceSquareTable[code][s] += v; }

// The opponent's stone wall: the own c-pawn stays, the own king leaves the king side
// when it still can, and the bishops of the wall's colour matter.
static void ApplyStonewall(const RootCounts* rc) {
  int own = rc->side, opp = own ^ 1;
  AddSideSquare(own, WPawn, sq::C5, -50);
  if (FileOf(rc->king[own]) <= 5) {
    static const int kingSquares[9] = {sq::F1, sq::G1, sq::H1, sq::F2, sq::G2, sq::H2, sq::F3, sq::G3, sq::H3};
    for (int s : kingSquares) AddSideSquare(own, WKing, s, -65);
  }
  for (int s = 1; s <= 64; s++) {
    if (IsDarkSquare(SideSquare(own, s)) == 0) continue;
    Add(WBishop | opp << 3, s, 8);
    Add(WBishop | own << 3, s, -6);
  }
  AddSideSquare(opp, WBishop, SideSquare(Black, sq::D6), 6);
}

static void ApplyMinorityWhite(const RootCounts* rc) {
  if (rc->board[sq::B2] == WPawn || rc->board[sq::B3] == WPawn) {
    Add(WQueen, sq::B3, -25);
    Add(WPawn, sq::A4, -12);
    Add(WPawn, sq::B2, -13);
    Add(WPawn, sq::B3, -13);
  } else if (rc->board[sq::B4] == WPawn) {
    Add(WPawn, sq::B4, -11);
  } else {
    return;  // the rest belongs to a b-pawn on b2, b3 or b4
  }
  Add(WRook, sq::C1, -5);
  Add(WQueen, sq::A4, -9);
  Add(BQueen, sq::B6, -9);
  Add(BQueen, sq::A5, -9);
  Add(WRook, sq::B1, 9);
  Add(BPawn, sq::C6, 14);
  Add(BPawn, sq::B7, 14);
}

static void ApplyMinorityBlack(const RootCounts* rc) {
  if (rc->board[sq::B7] == BPawn || rc->board[sq::B6] == BPawn) {
    Add(BQueen, sq::B6, -25);
    Add(BPawn, sq::A5, -12);
    Add(BPawn, sq::B7, -13);
    Add(BPawn, sq::B6, -13);
  } else if (rc->board[sq::B5] == BPawn) {
    Add(BPawn, sq::B5, -11);
  } else {
    return;  // the rest belongs to a b-pawn on b7, b6 or b5
  }
  Add(BRook, sq::C8, -5);
  Add(BQueen, sq::A5, -9);
  Add(WQueen, sq::B3, -9);
  Add(WQueen, sq::A4, -9);
  Add(BRook, sq::B8, 9);
  Add(WPawn, sq::C3, 14);
  Add(WPawn, sq::B2, 14);
}

void ApplyRootPatterns(const RootCounts* rc) {
  if (IsEndgameLike(rc->phaseClass)) return;
  FindPatterns(rc);
  if (RootPatternFlags & PatternStonewall) ApplyStonewall(rc);
  if (RootPatternFlags & PatternMinorityWhite)
    ApplyMinorityWhite(rc);
  else if (RootPatternFlags & PatternMinorityBlack)
    ApplyMinorityBlack(rc);
}
