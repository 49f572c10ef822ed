// Knight, bishop, rook and queen terms, the file interplay of rooks and minor pieces and
// the bishop terms by pawn colour. Each term is told for `us`; the result is added with
// us's sign.
#include "eval/pieces.h"
#include "board/geometry.h"
#include "board/piece_values.h"
#include "board/types.h"
#include <initializer_list>
#include "eval/base_tables.h"
#include "eval/mobility.h"
#include "eval/pawn_terms.h"
#include "eval/prepare_root.h"
#include "eval/root_tables.h"
#include "eval/square_geometry.h"
#include "eval/squares.h"

static const int KnightKingWing[9] = {8, 8, 8, 8, 5, 3, 1, 0, 0};
static const int BadBishop[17] = {44, 35, 27, 20, 14, 9, 5, 2, 0, -2, -5, -9, -14, -20, -27, -35, -44};

static int OwnPawnAt(const EvalNode* n, int us, int s) { return IsCode(n, s, OwnPiece(us, WPawn)); }
static int EnemyPawnAt(const EvalNode* n, int us, int s) { return IsCode(n, s, OwnPiece(us ^ 1, WPawn)); }
static int Occupied(const EvalNode* n, int s) { return s >= 1 && s <= 64 && n->board[s] != 0; }

// Some enemy slider attacks s and, beyond s on its line, stands a piece of s's colour
// worth more than that slider.
static int PinnedToMore(const EvalNode* n, int s, int enemy) {
  const AttackCell* cell = &n->pos->attacks[enemy].cell[s];
  if (cell->sliders == 0) return 0;
  int colour = PieceSide(n->board[s]);
  for (int i = 0; i < cell->count; i++) {
    int a = cell->from[i], code = n->board[a];
    if (!IsSlider(code)) continue;
    for (const uint8_t* beyond = BeyondList[s][a]; *beyond; beyond++) {
      int there = n->board[*beyond];
      if (!there) continue;
      if (PieceSide(there) == colour && PieceValue[there] > PieceValue[code]) return 1;
      break;
    }
  }
  return 0;
}

// Shared by knights, bishops (markFile set) and rooks: an unguarded piece pinned to more
// behind it loses 10; a pawn-guarded one on a file without pawns marks that file in minorFiles.
static inline int DefendedOrPinned(EvalNode* n, int us, int s, int markFile) {
  if (!(n->pe->pawnAttacks[us] & SquareBit(s))) {
    if (n->pos->attacks[us ^ 1].cell[s].sliders && PinnedToMore(n, s, us ^ 1)) return -10;
    return 0;
  }
  if (markFile && n->pe->pawnsOnFile[SquareFile(s)] == 0) n->minorFiles[us] |= uint8_t(1 << (SquareFile(s) - 1));
  return 0;
}

static int Knight(EvalNode* n, int us, int s) {
  const PawnEntry* e = n->pe;
  int them = us ^ 1, v = 0, fwd = Forward(us);
  if (e->flags & PawnClosedCentre) v += 5;
  if (RelRank(us, s) >= 5 && OwnPawnAt(n, us, s - fwd)) v -= 10;
  int pawnGuarded = (e->pawnAttacks[us] & SquareBit(s)) != 0;
  if (!(CentreMask[us] & SquareBit(s))) {
    if (s == SideSquare(us, sq::C3) && NamedHas(n, us, us, WPawn, sq::C2) && NamedHas(n, us, us, WPawn, sq::D4) &&
        NamedHas(n, us, them, WPawn, sq::D5) && SquareFile(n->king[us]) >= 5 && !n->endgame)
      v -= 20;
  } else {
    if (e->outposts[us] & SquareBit(s)) {
      int sameColourBishops = IsDarkSquare(s) ? n->darkBishops[them] : n->lightBishops[them];
      v += (pawnGuarded && n->knights[them] == 0 && sameColourBishops == 0) ? 15 : 5;
    }
    if (pawnGuarded)
      v += 14;
    else if (RelRank(us, s) <= 6 && EnemyPawnAt(n, us, s + fwd))
      v += 5;
  }
  if (n->queens[us] && WingOf(SquareFile(s)) == WingOf(SquareFile(n->king[them])))
    v += KnightKingWing[Abs(SquareRank(s) - SquareRank(n->king[them]))];
  return v + DefendedOrPinned(n, us, s, 1);
}

static int Bishop(EvalNode* n, int us, int s) {
  const PawnEntry* e = n->pe;
  PrefetchBishopMobility(n, us, s);
  int them = us ^ 1, v = 0, fwd = Forward(us);
  if (e->flags & PawnOpenCentre) v += 6;
  v -= 3 * e->blockedColour[us][IsDarkSquare(s)];
  if (RelRank(us, s) >= 5 && OwnPawnAt(n, us, s - fwd)) v -= 10;
  if (!n->endgame) {
    if (OnDiagonal(s, n->king[them])) v += 5;
    if (n->queen[them] && OnDiagonal(s, n->queen[them])) v += 3;
  } else {
    v += 3;
  }
  // Trapped and hemmed bishops, squares named from us's side; all of them on the a- or h-file.
  int file = SquareFile(s);
  if (file == 1 || file == 8) {
    int x = SideSquare(us, s);
    auto enemyPawn = [&](int named) { return NamedHas(n, us, them, WPawn, named); };
    auto enemyPawnGuards = [&](int named) { return (e->pawnAttacks[them] & SquareBit(SideSquare(us, named))) != 0; };
    if (x == sq::A7 && enemyPawn(sq::B6)) {
      v -= enemyPawn(sq::C7) ? 120 : 60;
    } else if (x == sq::H7 && enemyPawn(sq::G6)) {
      v -= enemyPawn(sq::F7) ? 120 : 60;
    } else if (x == sq::A2 && enemyPawn(sq::C4)) {
      v -= enemyPawnGuards(sq::C4) ? 24 : 14;
    } else if (x == sq::H2 && enemyPawn(sq::F4)) {
      v -= enemyPawnGuards(sq::F4) ? 24 : 14;
    } else if (x == sq::A1 && enemyPawn(sq::C3)) {
      v -= (enemyPawn(sq::B4) || enemyPawn(sq::D4)) ? 65 : 15;
    } else if (x == sq::H1 && enemyPawn(sq::F3)) {
      v -= (enemyPawn(sq::G4) || enemyPawn(sq::E4)) ? 65 : 15;
    } else if (file == 1 && RelRank(us, s) >= 3 && OwnPawnAt(n, us, s - fwd + 1)) {
      v -= 12;
    } else if (file == 8 && RelRank(us, s) >= 3 && OwnPawnAt(n, us, s - fwd - 1)) {
      v -= 12;
    }
  }
  return v + DefendedOrPinned(n, us, s, 1);
}

// The queen term for rooks: the own queen on the enemy king's wing.
static int QueenOnKingWing(const EvalNode* n, int us) {
  int q = n->queen[us], k = n->king[us ^ 1];
  if (!q || WingOf(SquareFile(q)) != WingOf(SquareFile(k))) return 0;
  return 20 - 2 * Abs(SquareRank(q) - SquareRank(k));
}

static int Rook(EvalNode* n, int us, int s) {
  const PawnEntry* e = n->pe;
  const ClassConstants* c = &PieceConstants;
  int them = us ^ 1, v = 0, fwd = Forward(us), f = SquareFile(s), r = RelRank(us, s);
  int left = f > 1 ? n->board[s - 1] : 1, right = f < 8 ? n->board[s + 1] : 1;
  if (left && right) {
    v -= 8;
    int x = SideSquare(us, s);
    if (x == sq::A2 && NamedHas(n, us, us, WPawn, sq::B2)) v -= NamedHas(n, us, us, WPawn, sq::A3) ? 20 : 12;
    if (x == sq::H2 && NamedHas(n, us, us, WPawn, sq::G2)) v -= NamedHas(n, us, us, WPawn, sq::H3) ? 20 : 12;
  }
  int enemyKingRank = RelRank(us, n->king[them]);
  if (r == 7 && (enemyKingRank == 7 || enemyKingRank == 8)) {
    if (enemyKingRank == 7) {
      v += c->rookSeventhKingSeventh;
    } else {
      v += c->rookSeventhKingEighth;
      if (e->flags & (us ? PawnBlackPasserFar : PawnWhitePasserFar)) v += 20;
    }
    if (n->queen[us] && RelRank(us, n->queen[us]) == 7) n->acc[GroupPieces] += Sign(us) * 18;
  }
  const AttackCell* own = &n->pos->attacks[us].cell[s];
  if (n->rooks[us] >= 2 && own->sliders) {
    for (int i = own->count - 1; i >= 0; i--) {
      int a = own->from[i];
      if (n->board[a] != OwnPiece(us, WRook)) continue;
      if (SquareRank(a) == SquareRank(s)) {
        if (r == 1) v += c->rooksConnectedFirst;
        else if (r >= 7) v += c->rooksConnectedSeventh;
      } else if (e->sidePawnsOnFile[us][f] == 0) {
        v += e->sidePawnsOnFile[them][f] ? c->rooksHalfOpenFile : c->rooksOpenFile;
      }
      break;
    }
  }
  int ownPawns = e->sidePawnsOnFile[us][f], enemyPawns = e->sidePawnsOnFile[them][f];
  int kingFile = SquareFile(n->king[them]), dk = Abs(f - kingFile);
  int attack = 0;
  if (!(PhaseCode & 4) && !n->afterCaptures) {
    if (ownPawns == 0 && enemyPawns == 0) {
      n->rookOpenFiles[us] |= uint8_t(1 << (f - 1));
      if (n->queen[them] && SquareFile(n->queen[them]) == f) v += 12;
      if (FlankOf(f) == WingOf(kingFile) && n->queen[us] && WingOf(SquareFile(n->queen[us])) == WingOf(kingFile))
        attack += QueenOnKingWing(n, us);
      else if (n->queen[us] && SquareFile(n->queen[us]) == f && RelRank(us, n->queen[us]) < r)
        attack += 8;
      v += 20 - e->openFiles;
      if (dk <= 2) v += 2 * n->phase[us] - 4 * dk + (FlankOf(f) ? 26 : 7);
    } else if (ownPawns == 0) {
      int rear = SquareOf(f, e->rearmost[them][f]);
      v += (e->pawnAttacks[them] & SquareBit(rear)) ? 4 : 10;
      if (dk <= 2) {
        v += n->phase[us] - 2 * dk;
        if (FlankOf(f)) {
          v += 15;
          if (FlankOf(f) == WingOf(kingFile)) attack += QueenOnKingWing(n, us);
        } else {
          v += 4;
        }
      }
    } else if (r > OwnRearRank(e, us, f)) {
      if (FlankOf(f) == WingOf(kingFile)) {
        v += enemyPawns ? 5 : 10;
        attack += QueenOnKingWing(n, us);
      } else {
        if (r < EnemyRearRank(e, us, f)) v -= 8;
        if (OwnPawnAt(n, us, s - fwd)) v -= Occupied(n, s + fwd) ? 42 : 12;
      }
    } else if (EnemyRearRank(e, us, f) == OwnRearRank(e, us, f) + 1) {
      v -= 7;
    }
  } else {
    v += 3;
    if (ownPawns == 0 && enemyPawns == 0) {
      v += 16 - e->openFiles;
      n->rookOpenFiles[us] |= uint8_t(1 << (f - 1));
      if (n->queen[them] && SquareFile(n->queen[them]) == f) v += 10;
    } else if (ownPawns == 0) {
      if (5 - e->openFiles > 0) v += 5 - e->openFiles;
    } else {
      int p = SquareOf(f, e->rearmost[us][f]), pr = RelRank(us, p);
      if (r < pr) {
        if (!(e->passed[us] & SquareBit(p))) v -= 4 * ((8 - pr) + (EnemyPawnAt(n, us, p + fwd) ? 2 : 0));
      } else {
        if (r < EnemyRearRank(e, us, f)) v -= 8;
        if (OwnPawnAt(n, us, s - fwd)) v -= Occupied(n, s + fwd) ? 42 : 12;
      }
    }
  }
  n->acc[GroupPieces] += Sign(us) * attack;
  return v + DefendedOrPinned(n, us, s, 0);
}

static int Queen(EvalNode* n, int us, int s) {
  const PawnEntry* e = n->pe;
  int them = us ^ 1, v = 0, fwd = Forward(us), f = SquareFile(s), k = n->king[them];
  if (!SameWingFlag && WingOf(f) == WingOf(SquareFile(k))) v += 18 - 2 * Abs(SquareRank(s) - SquareRank(k));
  if (Distance(s, k) <= 2) v += 13;
  if (e->sidePawnsOnFile[us][f] == 0) {
    if (e->sidePawnsOnFile[them][f] == 0) {
      if (n->rooks[them] == 0) v += 16 - 2 * e->openFiles;
    } else {
      v += 5;
    }
  }
  if (RelRank(us, s) != 1) {
    int below = s - fwd, side = f == 1 ? 1 : -1;
    int count = (f == 1 || f == 8) ? OwnPawnAt(n, us, below) + OwnPawnAt(n, us, below + side) + OwnPawnAt(n, us, s + side) : 0;
    if (count >= 2)
      v -= 10;
    else if (RelRank(us, s) >= 4 && OwnPawnAt(n, us, below))
      v -= 8;
  }
  return v;
}

int PieceTerm(EvalNode* n, int us, int s) {
  switch (PieceKind(n->board[s])) {
    case WKnight: return Knight(n, us, s);
    case WBishop: return Bishop(n, us, s);
    case WRook: return Rook(n, us, s);
    case WQueen: return Queen(n, us, s);
    default: return 0;
  }
}

// The terms add up in any order: pawns are read from the pawn entry's set and the
// pieces kind by kind from their slots, which keeps each loop's branches predictable.
template <int (*Term)(EvalNode*, int, int)>
static int SlotTerms(EvalNode* n, int us, int kind) {
  const uint8_t* list = n->pos->pieceList[us];
  const PieceSlots* slots = &n->pos->slots[OwnPiece(us, kind)];
  int v = 0;
  for (int i = 0; i < slots->count; i++) {
    int s = list[slots->entry[i]];
    if (s && s != CapturedMark) v += Term(n, us, s);
  }
  return v;
}

void EvaluatePieces(EvalNode* n) {
  for (int us = White; us <= Black; us++) {
    for (uint64_t m = n->pe->pawns[us]; m; m &= m - 1) PawnTerms(n, us, __builtin_ctzll(m) + 1);
    int v = SlotTerms<Knight>(n, us, WKnight) + SlotTerms<Bishop>(n, us, WBishop) + SlotTerms<Rook>(n, us, WRook) +
            SlotTerms<Queen>(n, us, WQueen);
    n->acc[GroupPieces] += Sign(us) * v;
  }
}

void EvaluatePieceCorrections(EvalNode* n) {
  const PawnEntry* e = n->pe;
  for (int us = White; us <= Black; us++) {
    if (!n->rooks[us]) continue;
    n->pawnAcc[GroupPawnStructure] += e->rookCorrection[us];
    // Counted bit by bit: the set is nearly always empty.
    int blocked = 0;
    for (unsigned files = n->rookOpenFiles[us] & n->minorFiles[us ^ 1]; files; files &= files - 1) blocked++;
    n->acc[GroupPieces] -= Sign(us) * 8 * blocked;
  }
  if (n->afterCaptures) n->pawnAcc[GroupPawnStructure] += e->endgameCorrection;
}

void EvaluateBishopColours(EvalNode* n) {
  const PawnEntry* e = n->pe;
  for (int us = White; us <= Black; us++) {
    int them = us ^ 1;
    if (n->bishops[us] == 1) {
      int c = n->darkBishops[us] ? 1 : 0;
      int d = e->colourCount[us][c] - e->colourCount[us][c ^ 1];
      int v = BadBishop[(d < -8 ? -8 : d > 8 ? 8 : d) + 8];
      if (n->knights[us] == 0 && n->bishops[them] == 0)
        v += (e->nonPassedColour[them][c] - e->nonPassedColour[them][c ^ 1]) * (n->phase[us] == 1 ? 4 : 2);
      n->acc[GroupPieces] += Sign(us) * v;
    } else if (n->bishops[us] >= 2) {
      n->pawnAcc[GroupPawnStructure] += e->bishopPairCorrection[us];
    }
  }
}
