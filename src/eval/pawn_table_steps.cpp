// The root steps that bend the pawn tables towards the plans of the pawn structure:
// majorities, wing plans by king position, pawn chains and levers.
#include "eval/pawn_table_steps.h"
#include "board/types.h"
#include <initializer_list>
#include "board/option_values.h"
#include "board/piece_square_table.h"
#include "eval/prepare_root.h"
#include "eval/root_tables.h"
#include "eval/squares.h"

// Adds (rank - 6) * amount to White's pawn table on the file, or (3 - rank) * amount to
// Black's: a positive amount pushes that side's pawns forward on the file.
static void FilePawnAdvance(int file, int amount, int side) {
  for (int rank = 1; rank <= 8; rank++) {
    int s = SquareOf(file, rank);
    if (side == White)
      PieceSquareTable[WPawn][s] += (rank - 6) * amount;
    else
      PieceSquareTable[BPawn][s] += (3 - rank) * amount;
  }
}

static int PawnDifference(const RootCounts* rc, int firstFile, int lastFile) {
  int d = 0;
  for (int f = firstFile; f <= lastFile; f++) d += rc->pawnsOnFile[White][f] - rc->pawnsOnFile[Black][f];
  return d;
}

// A group with more pawns of one side: its majority advances, the minority holds back.
static int AdvanceMajority(const RootCounts* rc, int firstFile, int lastFile) {
  int d = PawnDifference(rc, firstFile, lastFile);
  if (d == 0) return 0;
  int amount = d > 0 ? d + 1 : d - 1;
  for (int f = firstFile; f <= lastFile; f++) {
    FilePawnAdvance(f, amount, White);
    FilePawnAdvance(f, -amount, Black);
  }
  return 1;
}

static void EndgameMajorities(const RootCounts* rc) {
  int differs = 0, file = 1;
  while (file <= 8) {
    if (rc->pawnsOnFile[White][file] + rc->pawnsOnFile[Black][file] == 0) {
      file++;
      continue;
    }
    int last = file;
    while (last < 8 && last - file < 3 && rc->pawnsOnFile[White][last + 1] + rc->pawnsOnFile[Black][last + 1] > 0)
      last++;
    differs |= AdvanceMajority(rc, file, last);
    file = last + 1;
  }
  if (differs) return;
  AdvanceMajority(rc, 1, 4);
  AdvanceMajority(rc, 5, 8);
}

struct FileAmount {
  int file, amount;
};

static void Advance(int side, const FileAmount* calls, int n) {
  for (int i = 0; i < n; i++) FilePawnAdvance(calls[i].file, calls[i].amount, side);
}

static const FileAmount HoldQueenWing[3] = {{1, -2}, {2, -3}, {3, -2}};
static const FileAmount PushQueenWing[3] = {{1, 3}, {2, 2}, {3, 2}};
static const FileAmount PushKingWing[3] = {{6, 1}, {7, 2}, {8, 3}};
static const FileAmount HoldKingWing[3] = {{6, -2}, {7, -3}, {8, -2}};
static const FileAmount HoldCastledKingWing[3] = {{6, -1}, {7, -3}, {8, -2}};

static int Has(const RootCounts* rc, int code, int s) { return rc->board[s] == code; }

// Kings on opposite wings: storm with the pawns in front of the enemy king.
static void MiddlegameWingPlans(const RootCounts* rc) {
  int w = FileOf(rc->king[White]), b = FileOf(rc->king[Black]);
  if (w <= 3 && b >= 6) {
    Advance(White, HoldQueenWing, 3);
    Advance(Black, PushQueenWing, 3);
    Advance(White, PushKingWing, 3);
    Advance(Black, HoldKingWing, 3);
    return;
  }
  if (w >= 6 && b <= 3) {
    Advance(Black, HoldQueenWing, 3);
    Advance(White, PushQueenWing, 3);
    Advance(Black, PushKingWing, 3);
    Advance(White, HoldKingWing, 3);
    return;
  }
  for (int side = White; side <= Black; side++) {
    int kf = side ? b : w;
    if (kf <= 3) Advance(side, HoldQueenWing, 3);
    else if (kf >= 6) Advance(side, HoldCastledKingWing, 3);
  }
  int d = PawnDifference(rc, 1, 4);
  const int* wf = rc->pawnsOnFile[White];
  const int* bf = rc->pawnsOnFile[Black];
  if (d == -1 && Has(rc, WPawn, sq::D4) && Has(rc, BPawn, sq::D5) && Has(rc, BPawn, sq::C6) &&
      Has(rc, BPawn, sq::B7) && !Has(rc, WPawn, sq::C5) && w >= 6 && bf[5] == 0 && wf[3] == 0) {
    RootPatternFlags |= PatternMinorityWhite;
  } else if (d == 1 && Has(rc, BPawn, sq::D5) && Has(rc, WPawn, sq::D4) && Has(rc, WPawn, sq::C3) &&
             Has(rc, WPawn, sq::B2) && !Has(rc, BPawn, sq::C4) && b >= 6 && bf[3] == 0 && wf[5] == 0) {
    RootPatternFlags |= PatternMinorityBlack;
  } else if ((d > 0 && w >= 6) || (d < 0 && b >= 6)) {
    for (int f = 1; f <= 4; f++) {
      FilePawnAdvance(f, d, White);
      FilePawnAdvance(f, -d, Black);
    }
  }
  d = PawnDifference(rc, 5, 8);
  if ((d > 0 && w <= 3) || (d < 0 && b <= 3)) {
    for (int f = 5; f <= 8; f++) {
      FilePawnAdvance(f, d, White);
      FilePawnAdvance(f, -d, Black);
    }
  }
}

// Head-to-head blocked pawns on neighbouring files form chains; the squares beside the
// chain's ends are where both sides want to lever.
static void ChainSteps(const RootCounts* rc) {
  int32_t* w = PieceSquareTable[WPawn];
  int32_t* b = PieceSquareTable[BPawn];
  int list[8], n = 0;
  for (int f = 1; f <= 8; f++)
    for (int r = 2; r <= 6; r++) {
      int s = SquareOf(f, r);
      if (rc->board[s] == WPawn && rc->board[s + 8] == BPawn) {
        list[n++] = s;
        break;
      }
    }
  for (int i = 0; i + 1 < n; i++) {
    int left = list[i], right = list[i + 1], f = FileOf(left);
    if (FileOf(right) != f + 1) continue;
    if (right == left - 7) {
      if (f >= 2) {
        w[left - 1] += 17;
        b[left - 1] += 17;
        b[left + 8] += 10;
      }
      if (f <= 6) {
        w[left + 2] += 17;
        b[left + 2] += 17;
        w[right] += 10;
      }
    } else if (right == left + 9) {
      if (f <= 6) {
        w[right + 1] += 17;
        b[right + 1] += 17;
        b[right + 8] += 10;
      }
      if (f >= 2) {
        w[right - 2] += 17;
        b[right - 2] += 17;
        w[left] += 10;
      }
    }
  }
}

// A lever of `side`'s pawn on file x (second rank seen from its side) against an enemy
// pawn on file y, fourth rank seen from the pawn's side.
static int Lever(const RootCounts* rc, int side, int x, int y) {
  int own = SideSquare(side, SquareOf(x, 2)), enemy = SideSquare(side, SquareOf(y, 4));
  if (rc->board[own] != (WPawn | side << 3) || rc->board[enemy] != (WPawn | (side ^ 1) << 3)) return 0;
  int32_t* mine = PieceSquareTable[WPawn | side << 3];
  int32_t* theirs = PieceSquareTable[WPawn | (side ^ 1) << 3];
  mine[own] -= 10;
  mine[SideSquare(side, SquareOf(x, 4))] -= 5;
  theirs[SideSquare(side, SquareOf(x, 3))] += 10;
  theirs[SideSquare(side, SquareOf(y, 3))] += 10;
  return 1;
}

static void LeverSteps(const RootCounts* rc) {
  for (int x = 3; x <= 6; x++)
    if (!Lever(rc, White, x, x - 1)) Lever(rc, White, x, x + 1);
  int wk = FileOf(rc->king[White]);
  if (wk >= 6) {
    Lever(rc, White, 1, 2);
    Lever(rc, White, 2, 3);
  } else if (wk <= 3) {
    Lever(rc, White, 7, 6);
    Lever(rc, White, 8, 7);
  }
  for (int x = 3; x <= 6; x++)
    if (!Lever(rc, Black, x, x + 1)) Lever(rc, Black, x, x - 1);
  int bk = FileOf(rc->king[Black]);
  if (bk <= 3) {
    Lever(rc, Black, 7, 6);
    Lever(rc, Black, 8, 7);
  } else if (bk >= 6) {
    Lever(rc, Black, 1, 2);
    Lever(rc, Black, 2, 3);
  }
}

void ApplyPawnStructureSteps(const RootCounts* rc) {
  if (IsEndgameLike(rc->phaseClass))
    EndgameMajorities(rc);
  else
    MiddlegameWingPlans(rc);
  ChainSteps(rc);
  if (PreferOpenPositions) LeverSteps(rc);
}

int PawnTableBalance(const int8_t* board) {
  int sum = 0;
  for (int s = 1; s <= 64; s++) {
    if (board[s] == WPawn) sum += PieceSquareTable[WPawn][s];
    else if (board[s] == BPawn) sum -= PieceSquareTable[BPawn][s];
  }
  return sum;
}
