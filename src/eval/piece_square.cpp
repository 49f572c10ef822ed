#include "eval/piece_square.h"
#include <initializer_list>
#include "board/option_values.h"
#include "board/piece_square_table.h"
#include "board/types.h"
#include "eval/base_tables.h"
#include "eval/prepare_root.h"
#include "eval/squares.h"

void AddSideSquare(int side, int kind, int whiteFrameSquare, int v) {
  PieceSquareTable[kind | side << 3][SideSquare(side, whiteFrameSquare)] += v;
}

static void CopyBase(int side, int kind, const int16_t* base) {
  int32_t* table = PieceSquareTable[kind | side << 3];
  for (int s = 1; s <= 64; s++) table[s] = BaseValue(base, side, s);
}

// Both tables of a kind from one base table.
static void CopyBoth(int kind, const int16_t* base) {
  CopyBase(White, kind, base);
  CopyBase(Black, kind, base);
}

// The bare king's table against bishop and knight: its lowest corners are of the
// bishop's square colour, whichever side the bare king is.
static void CopyBareBishopKnight(int side, int bishopDark) {
  int32_t* table = PieceSquareTable[WKing | side << 3];
  for (int s = 1; s <= 64; s++) table[s] = KingBareBishopKnightBase[(bishopDark ? s : SideSquare(Black, s)) - 1];
}

static void BuildKingAndPawnTables(const RootCounts* rc) {
  int cls = rc->phaseClass;
  if (cls & 1) {
    CopyBoth(WKing, KingShelterBase);
    CopyBoth(WPawn, PawnOpeningBase);
    for (int side = White; side <= Black; side++) {
      uint32_t kingSide = side ? BlackKingSide : WhiteKingSide;
      uint32_t queenSide = side ? BlackQueenSide : WhiteQueenSide;
      if (rc->castling & kingSide) AddSideSquare(side, WKing, sq::G1, 8);
      if (rc->castling & queenSide) AddSideSquare(side, WKing, sq::C1, 6);
    }
  } else if (cls & 2) {
    CopyBoth(WPawn, PawnOpeningBase);
    for (int side = White; side <= Black; side++) {
      int opp = side ^ 1;
      if (rc->queens[opp] == 0 && rc->knights[opp] + rc->bishops[opp] + rc->rooks[opp] <= 5) {
        CopyBase(side, WKing, KingCentralBase);
        continue;
      }
      CopyBase(side, WKing, KingShelterBase);
      if (RootHas(rc, side, WKing, sq::G1) && RootHas(rc, side, WPawn, sq::F2) &&
          (RootHas(rc, side, WPawn, sq::G2) || RootHas(rc, side, WPawn, sq::G3))) {
        AddSideSquare(side, WKing, sq::G1, 6);
        AddSideSquare(side, WKing, sq::H1, -6);
        AddSideSquare(side, WKing, sq::H2, -6);
      }
      if (RootHas(rc, side, WKing, sq::B1) && RootHas(rc, side, WPawn, sq::C2) &&
          (RootHas(rc, side, WPawn, sq::B2) || RootHas(rc, side, WPawn, sq::B3))) {
        AddSideSquare(side, WKing, sq::B1, 6);
        AddSideSquare(side, WKing, sq::A1, -6);
        AddSideSquare(side, WKing, sq::A2, -6);
      }
    }
  } else if (cls & 4) {
    CopyBoth(WKing, KingEndgameBase);
    CopyBoth(WPawn, PawnEndgameBase);
  } else {
    // A bare king (class 0x20 for White, 0x40 for Black) against more than a pawn.
    int bare = (cls & 0x20) ? White : Black, strong = bare ^ 1;
    CopyBoth(WPawn, PawnEndgameBase);
    CopyBase(strong, WKing, KingEndgameBase);
    int majors = rc->rooks[0] + rc->rooks[1] + rc->queens[0] + rc->queens[1];
    if (majors == 0 && rc->knights[strong] == 1 && rc->bishops[strong] == 1)
      CopyBareBishopKnight(bare, rc->lastBishopDark[strong]);
    else
      CopyBase(bare, WKing, KingBareBase);
  }
}

static void BuildQueenTables(const RootCounts* rc, int endgameLike) {
  CopyBoth(WQueen, endgameLike ? QueenEndgameBase : QueenOpeningBase);
  for (int side = White; side <= Black; side++) {
    if ((rc->phaseClass & 1) && rc->development[side]) AddSideSquare(side, WQueen, sq::D1, 15);
    if (RootHas(rc, side, WPawn, sq::B2) && RootHas(rc, side, WPawn, sq::C4))
      AddSideSquare(side, WQueen, sq::B3, -10);
  }
}

static void BuildBishopTables(const RootCounts* rc, int endgameLike) {
  CopyBoth(WBishop, BishopBase);
  for (int side = White; side <= Black; side++) {
    if (rc->phaseClass & 1) {
      AddSideSquare(side, WBishop, sq::C1, -15);
      AddSideSquare(side, WBishop, sq::F1, -15);
    } else if (rc->phaseClass & 2) {
      int kingLeft = !RootHas(rc, side, WKing, sq::E1);
      if (kingLeft && RootHas(rc, side, WBishop, sq::C1)) AddSideSquare(side, WBishop, sq::C1, -15);
      if (kingLeft && RootHas(rc, side, WBishop, sq::F1)) AddSideSquare(side, WBishop, sq::F1, -15);
    }
  }
  for (int code : {int(WBishop), int(BBishop)})
    for (int s = 1; s <= 64; s++) PieceSquareTable[code][s] += 4;
  if (!endgameLike) {
    for (int side = White; side <= Black; side++) {
      int kingFile = FileOf(rc->king[side]);
      if (RootHas(rc, side, WPawn, sq::G2) || kingFile < 5) continue;
      // Without the g-pawn the long light diagonal (dark for Black) is open.
      int onF1 = RootHas(rc, side, WBishop, sq::F1);
      int32_t* table = PieceSquareTable[WBishop | side << 3];
      for (int s = 1; s <= 64; s++)
        if (IsDarkSquare(s) == side) table[s] += onF1 ? 4 : 8;
      AddSideSquare(side, WBishop, sq::G2, onF1 ? 20 : 4);
    }
  }
  for (int side = White; side <= Black; side++) {
    int opp = side ^ 1;
    if (RootHas(rc, side, WPawn, sq::C3) && RootHasAt(rc, opp, WPawn, SideSquare(side, sq::C4)))
      AddSideSquare(side, WBishop, sq::B2, -12);
    if (RootHas(rc, side, WPawn, sq::F3) && RootHasAt(rc, opp, WPawn, SideSquare(side, sq::F4)))
      AddSideSquare(side, WBishop, sq::G2, -10);
  }
}

static void BuildKnightTables(const RootCounts* rc) {
  CopyBoth(WKnight, KnightBase);
  if (!(rc->phaseClass & 1)) return;
  for (int side = White; side <= Black; side++) {
    AddSideSquare(side, WKnight, sq::B1, -18);
    AddSideSquare(side, WKnight, sq::G1, -18);
    if (rc->development[side]) {
      AddSideSquare(side, WKnight, sq::B5, -10);
      AddSideSquare(side, WKnight, sq::G5, -10);
    }
  }
}

static void BuildRookTables(const RootCounts* rc, int endgameLike) {
  if (endgameLike) {
    CopyBoth(WRook, RookEndgameBase);
    // Rooks lose half their square values when the opponent has few pawns to attack.
    for (int side = White; side <= Black; side++) {
      if (rc->pawns[side ^ 1] >= 4) continue;
      int32_t* table = PieceSquareTable[WRook | side << 3];
      for (int s = 1; s <= 64; s++) table[s] /= 2;
    }
    return;
  }
  CopyBoth(WRook, RookOpeningBase);
  for (int side = White; side <= Black; side++) {
    if (RootHas(rc, side, WKing, sq::G1) || RootHas(rc, side, WKing, sq::F1)) {
      AddSideSquare(side, WRook, sq::H1, -20);
      AddSideSquare(side, WRook, sq::G1, -20);
      AddSideSquare(side, WRook, sq::H2, -8);
    }
    if (RootHas(rc, side, WKing, sq::B1) || RootHas(rc, side, WKing, sq::C1)) {
      AddSideSquare(side, WRook, sq::A1, -20);
      AddSideSquare(side, WRook, sq::B1, -20);
      AddSideSquare(side, WRook, sq::A2, -8);
    }
  }
}

// The d4/d5 structure makes the c-pawn's advance to c5 (c4 for Black) pointless.
static void ApplyQueenPawnTweak(const RootCounts* rc) {
  if (!(rc->board[sq::D4] == WPawn && rc->board[sq::D5] == BPawn)) return;
  if (rc->board[sq::C4] == WPawn && (rc->board[sq::C7] == BPawn || rc->board[sq::C6] == BPawn))
    PieceSquareTable[WPawn][sq::C5] -= 25;
  if (rc->board[sq::C5] == BPawn && (rc->board[sq::C2] == WPawn || rc->board[sq::C3] == WPawn))
    PieceSquareTable[BPawn][sq::C4] -= 25;
}

void BuildPieceSquareTables(const RootCounts* rc) {
  int endgameLike = IsEndgameLike(rc->phaseClass);
  for (int code = 0; code < 16; code++)
    for (int s = 0; s <= 64; s++) PieceSquareTable[code][s] = 0;
  BuildKingAndPawnTables(rc);
  if (rc->phaseClass & 3) ApplyQueenPawnTweak(rc);
  BuildQueenTables(rc, endgameLike);
  BuildBishopTables(rc, endgameLike);
  BuildKnightTables(rc);
  BuildRookTables(rc, endgameLike);
}

void ApplyOptionScaling(const RootCounts* rc) {
  static const int kinds[5] = {WPawn, WKnight, WBishop, WRook, WQueen};
  static const int values[5] = {100, 325, 325, 541, 1055};
  int first = IsEndgameLike(rc->phaseClass) ? WeightPawnEnd : 0;
  for (int i = 0; i < 5; i++) {
    int p = OptionWeights[first + i];
    if (p == 100) continue;
    int add = (p - 100) * values[i] / 100;
    for (int side = White; side <= Black; side++)
      for (int s = 1; s <= 64; s++) PieceSquareTable[kinds[i] | side << 3][s] += add;
  }
}
