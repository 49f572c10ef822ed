// Endgame knowledge: the special material configurations checked first in endgame roots,
// the material-table terms, the endgame pawn terms and the pawn-ending draw rules.
// Rules are told for the stronger side `us`; the mirror applies with the signs reversed.
#include "eval/endgame.h"
#include "board/types.h"
#include <initializer_list>
#include "eval/base_tables.h"
#include "eval/evaluate.h"
#include "eval/kpk.h"
#include "eval/material.h"
#include "eval/root_tables.h"
#include "eval/square_geometry.h"
#include "eval/squares.h"

static const int KingDistanceValue[8] = {1, -2, -7, -16, -28, -40, -55, -65};
static const int KingFileValue[8] = {0, 0, -6, -11, -25, -40, -50, -60};
static const int KingFilePawnEnding[8] = {0, 0, -6, -20, -40, -55, -70, -90};
static const int PawnShortage[9] = {0, 0, -2, -4, -6, -8, -10, -12, -14};

static void Narrow(EvalNode* n, int p) { n->drawScale = ScalePercent(n->drawScale, p); }
static int Material(const EvalNode* n, int side) { return n->ps->material[side]; }
static int Pawns(const EvalNode* n, int side) { return n->pe->pawnCount[side]; }

// The squares of `side`'s pieces of one code, skipping captured entries.
static int PieceSquares(const EvalNode* n, int side, int kind, int* out, int max) {
  const PieceSlots* slots = &n->pos->slots[OwnPiece(side, kind)];
  int count = 0;
  for (int i = 0; i < slots->count && count < max; i++) {
    int s = n->pos->pieceList[side][slots->entry[i]];
    if (s && s != CapturedMark) out[count++] = s;
  }
  return count;
}
static int FirstPiece(const EvalNode* n, int side, int kind) {
  int s = 0;
  return PieceSquares(n, side, kind, &s, 1) ? s : 0;
}
// The first pawn of `side` from its piece list, 0 when none.
static int FirstPawn(const EvalNode* n, int side) {
  for (int i = 1; n->pos->pieceList[side][i]; i++) {
    int s = n->pos->pieceList[side][i];
    if (s != CapturedMark && n->board[s] == OwnPiece(side, WPawn)) return s;
  }
  return 0;
}

// The defending king stands on the file of one of us's pawns, in front of it.
static int KingBlockades(const EvalNode* n, int us) {
  int k = n->king[us ^ 1];
  uint64_t pawnsOnFile = 0;
  for (int r = 1; r <= 8; r++) {
    int s = SquareOf(FileOf(k), r);
    if (n->board[s] == OwnPiece(us, WPawn) && RelRank(us, s) < RelRank(us, k)) pawnsOnFile |= SquareBit(s);
  }
  return pawnsOnFile != 0;
}

static void DeadDraw(EvalNode* n) { n->drawFlag = 1; }
static void Fixed(EvalNode* n, int v) {
  n->fixedValue = v;
  n->hasFixedValue = 1;
}

static int QueenAgainstPawn(EvalNode* n, int us) {
  int them = us ^ 1, sg = Sign(us);
  if (Material(n, us) != 1055 || n->ps->signature[them] != 1 || n->queens[us] != 1) return 0;
  int pawn = FirstPawn(n, them);
  if (!pawn) return 0;
  int promotion = SquareOf(FileOf(pawn), them ? 1 : 8);
  int limit = (n->king[them] == promotion && n->side == us) ? 6 : 5;
  if (n->queen[us] == promotion) n->pawnAcc[GroupMaterialAndEndings] += sg * 60;
  int distance = Distance(n->king[us], promotion);
  int f = FileOf(pawn), x = SideSquare(them, pawn), k = SideSquare(them, n->king[them]);
  int seventh = RelRank(them, pawn) == 7 && (f == 1 || f == 3 || f == 6 || f == 8) &&
                Distance(n->king[them], promotion) <= 1;
  if (seventh || (x == sq::C7 && k == sq::A8) || (x == sq::F7 && k == sq::H8)) {
    int uf = FileOf(n->king[us]);
    if ((x == sq::F7 && uf >= 7) || (x == sq::C7 && uf <= 2)) limit--;
    if (distance >= limit) {
      DeadDraw(n);
      return 1;
    }
  }
  n->pawnAcc[GroupMaterialAndEndings] += sg * (8 - distance) * 24;
  return 1;
}

static int MinorPawnAgainstMinor(EvalNode* n, int us) {
  int them = us ^ 1;
  if (Material(n, us) != 425 || Material(n, them) != 325 || Pawns(n, us) != 1) return 0;
  if (KingBlockades(n, us)) {
    int bishop = FirstPiece(n, us, WBishop);
    if (bishop && IsDarkSquare(bishop) != IsDarkSquare(n->king[them])) {
      DeadDraw(n);
      return 1;
    }
    Narrow(n, n->bishops[them] ? 10 : 20);
  } else if (!n->pe->sidePawnsOnFile[us][1] && !n->pe->sidePawnsOnFile[us][8]) {
    Narrow(n, n->bishops[them] ? 50 : 70);
  }
  return 1;
}

static int RookPawnAgainstRook(EvalNode* n, int us) {
  int them = us ^ 1;
  if (Material(n, us) != 641 || Material(n, them) != 541 || n->rooks[us] != 1 || n->rooks[them] != 1) return 0;
  if (!KingBlockades(n, us)) return 1;
  int pawn = FirstPawn(n, us), rook = FirstPiece(n, them, WRook), k = n->king[them];
  int kf = FileOf(k);
  if ((pawn && RelRank(us, pawn) >= 6) || (rook && RelRank(us, rook) == 6) ||
      (rook && (kf <= 2 || kf >= 7) && RankOf(k) == RankOf(rook)))
    DeadDraw(n);
  else
    Narrow(n, 30);
  return 1;
}

static int ExtraPawn(EvalNode* n, int us) {
  int them = us ^ 1;
  if (Material(n, us) != Material(n, them) + 100 || Pawns(n, them) != 0 || Pawns(n, us) == 0) return 0;
  int queen = Material(n, them) == 1055;
  if (KingBlockades(n, us))
    Narrow(n, queen ? 40 : 20);
  else
    Narrow(n, queen ? 60 : 30);
  return 1;
}

// Bishop and rook pawns of the wrong colour: the defender's king holds the corner.
static int WrongBishop(EvalNode* n, int us) {
  int them = us ^ 1;
  if (n->phase[us] + n->phase[them] != 1 || n->bishops[us] != 1 || Pawns(n, us) == 0) return 0;
  const PawnEntry* e = n->pe;
  int bishop = FirstPiece(n, us, WBishop);
  if (!bishop) return 0;
  // The corner the bishop cannot control, named from us's side.
  int file = 0;
  int cornerDark = IsDarkSquare(SquareOf(8, Rel(us, 8)));
  if (IsDarkSquare(bishop) != cornerDark && e->sidePawnsOnFile[us][8] == Pawns(n, us)) file = 8;
  if (IsDarkSquare(bishop) == cornerDark && e->sidePawnsOnFile[us][1] == Pawns(n, us)) file = 1;
  if (!file) return 1;
  int corner = SquareOf(file, Rel(us, 8)), beside = file == 8 ? 7 : 2;
  int rearmost = OwnRearRank(e, us, file);
  int enemyBeside = 1;  // the enemy's pawns on the file beside are not above our rearmost pawn
  for (int r = 1; r <= 8; r++) {
    int s = SquareOf(beside, r);
    if (n->board[s] == OwnPiece(them, WPawn) && RelRank(us, s) > rearmost) enemyBeside = 0;
  }
  int enemyOnFile = e->sidePawnsOnFile[them][file] == Pawns(n, them);
  if (enemyBeside && Distance(n->king[them], corner) <= 1) {
    if (enemyOnFile || Pawns(n, them) < 4)
      DeadDraw(n);
    else
      Narrow(n, 40);
    return 1;
  }
  if (!enemyOnFile) return 1;
  int reach = Distance(n->king[them], corner) + (n->side == us ? 1 : 0);
  if (Distance(n->king[us], corner) <= reach) return 1;
  for (int i = 1; n->pos->pieceList[us][i]; i++) {
    int s = n->pos->pieceList[us][i];
    if (s == CapturedMark || n->board[s] != OwnPiece(us, WPawn)) continue;
    int steps = Distance(s, corner) - (RelRank(us, s) == 2 ? 1 : 0);
    if (steps <= reach) return 1;
  }
  DeadDraw(n);
  return 1;
}

static int NoPawns(EvalNode* n) {
  if (Pawns(n, White) + Pawns(n, Black) != 0) return 0;
  for (int us = White; us <= Black; us++) {
    int them = us ^ 1;
    if (n->phase[them] != 0) continue;
    // The side `them` has a bare king.
    int p = n->phase[us];
    int onlyKnights = n->bishops[us] + n->rooks[us] + n->queens[us] == 0;
    int onlyBishops = n->knights[us] + n->rooks[us] + n->queens[us] == 0;
    if (p < 2 || (onlyKnights && n->knights[us] < 3) ||
        (onlyBishops && (n->lightBishops[us] == 0 || n->darkBishops[us] == 0))) {
      DeadDraw(n);
    } else if (onlyKnights) {
      Fixed(n, 0);
    } else if (n->knights[us] == 1 && n->bishops[us] == 1 && n->rooks[us] + n->queens[us] == 0) {
      int k = n->king[them];
      int v = 3 * (Distance(k, FirstPiece(n, us, WKnight)) + Distance(k, FirstPiece(n, us, WBishop))) +
              8 * Distance(k, n->king[us]);
      Fixed(n, Sign(them) * v);
    }
    return 1;
  }
  int difference = Abs(Material(n, White) - Material(n, Black));
  if (difference == 0)
    DeadDraw(n);
  else if (difference < 326 && WinningChancesFlag)
    Narrow(n, 20);
  return 1;
}

void EvaluateSpecialEndings(EvalNode* n) {
  if (Material(n, White) + Material(n, Black) == 100) {
    int pawnSide = Pawns(n, White) ? White : Black;
    int pawn = FirstPawn(n, pawnSide);
    if (!pawn || !KpkWins(n->side, pawnSide, n->king[pawnSide], n->king[pawnSide ^ 1], pawn))
      DeadDraw(n);
    else
      Fixed(n, Sign(pawnSide) * 500);
    return;
  }
  int (*const rules[])(EvalNode*, int) = {QueenAgainstPawn, MinorPawnAgainstMinor, RookPawnAgainstRook,
                                           ExtraPawn, WrongBishop};
  for (auto rule : rules)
    if (rule(n, White) || rule(n, Black)) return;
  NoPawns(n);
}

void EvaluateMaterialEntry(EvalNode* n) {
  MaterialEntry scratch;
  const MaterialEntry* m = MaterialLookupCounted(n->pos, n->ps, n->counts, &scratch);
  if (m->scale) Narrow(n, m->scale);
  int v = m->score;
  if (m->flags & MaterialPawnCountTerm)
    v += n->pe->pawnCountTerm;
  else if (m->flags & MaterialWhiteExchangeUp)
    v -= PawnShortage[n->pe->isolated[Black] > 8 ? 8 : n->pe->isolated[Black]];
  else if (m->flags & MaterialBlackExchangeUp)
    v += PawnShortage[n->pe->isolated[White] > 8 ? 8 : n->pe->isolated[White]];
  n->acc[GroupMaterialAndEndings] += v;
}

// Rook and two pawns against rook without an unstoppable passer.
static void RookTwoPawns(EvalNode* n, int us) {
  int them = us ^ 1, sg = Sign(us);
  if (Material(n, us) != 741 || Material(n, them) != 541 || n->rooks[us] != 1 || n->unstoppable[us]) return;
  const int8_t* files = n->pe->sidePawnsOnFile[us];
  int k = n->king[them], fwd = Forward(us);
  if ((files[6] && files[8]) || (files[1] && files[3])) {
    n->pawnAcc[GroupMaterialAndEndings] -= sg * (RelRank(us, k) == 8 ? 25 : 50);
    Narrow(n, 80);
    return;
  }
  if (!((files[1] && files[2]) || (files[7] && files[8]))) return;
  int blockade = IsCode(n, k - fwd, OwnPiece(us, WPawn)) &&
                 (IsCode(n, StepFrom(k, -1, 0), OwnPiece(us, WPawn)) || IsCode(n, StepFrom(k, 1, 0), OwnPiece(us, WPawn)));
  int rook = FirstPiece(n, us, WRook);
  int behind = rook && files[FileOf(rook)] && RelRank(us, rook) > OwnRearRank(n->pe, us, FileOf(rook));
  if (blockade || behind) {
    n->pawnAcc[GroupMaterialAndEndings] -= sg * 25;
    Narrow(n, 80);
  }
}

void EvaluateEndgamePawnTerms(EvalNode* n) {
  RookTwoPawns(n, White);
  RookTwoPawns(n, Black);
  const PawnEntry* e = n->pe;
  int v = 0;
  if (e->centreSquare[White]) {
    int white = e->centreSquare[White] + 8, black = e->centreSquare[Black] - 8;
    if (white > 64) white -= 8;
    if (black < 1) black += 8;
    v += KingDistanceValue[Distance(n->king[White], white)] - KingDistanceValue[Distance(n->king[Black], black)];
  }
  // Without pawns there is no average file to walk the kings to.
  if (n->pos->pieceCount[WPawn] + n->pos->pieceCount[BPawn] > 0) {
    const int* table = n->pawnEnding ? KingFilePawnEnding : KingFileValue;
    int wd = Abs(FileOf(n->king[White]) - e->averageFile), bd = Abs(FileOf(n->king[Black]) - e->averageFile);
    v += table[wd > 7 ? 7 : wd] - table[bd > 7 ? 7 : bd];
  }
  n->pawnAcc[GroupMaterialAndEndings] += v;
  for (int us = White; us <= Black; us++)
    if (n->unstoppable[us] >= 2 && n->phase[us ^ 1] == 1) n->pawnAcc[GroupPassedPawns] += Sign(us) * 50;
}

void EvaluatePawnEnding(EvalNode* n) {
  const PawnEntry* e = n->pe;
  n->pawnAcc[GroupPawnStructure] += e->endingScore;
  for (int us = White; us <= Black; us++) {
    int them = us ^ 1;
    if (Pawns(n, us) != 0 || Pawns(n, them) == 0) continue;
    for (int file : {1, 8}) {
      int corner = SquareOf(file, Rel(us, 1));
      if (e->sidePawnsOnFile[them][file] == Pawns(n, them) && Distance(n->king[us], corner) <= 1) DeadDraw(n);
    }
  }
}
