// King safety: the danger to each king from the attack tables and the pawn shelter, the
// king-position terms around it and the root's king-attack patterns.
#include "eval/king_safety.h"
#include "board/geometry.h"
#include "board/piece_values.h"
#include "board/types.h"
#include <initializer_list>
#include "board/option_values.h"
#include "eval/prepare_root.h"
#include "eval/root_tables.h"
#include "eval/square_geometry.h"
#include "eval/squares.h"

static const int AttackerCountValue[14] = {6, 2, -3, -9, -16, -24, -33, -43, -54, -66, -79, -93, -108, -124};
static const int ShelterValue[9] = {-50, -35, -25, -12, 0, 0, 0, 0, 0};
static const int LoneQueenContact[9] = {-5, -5, -4, -2, -2, -2, -2, -2, -2};
static const int SupportedQueenContact[12] = {-20, -20, -10, -5, -2, -2, -2, -2, -2, -2, -2, -2};

static int Min(int a, int b) { return a < b ? a : b; }
static int IsEdge(int s) {
  return SquareFile(s) == 1 || SquareFile(s) == 8 || SquareRank(s) == 1 || SquareRank(s) == 8;
}
static int PawnsOn(const EvalNode* n, int side, int f) { return n->pe->sidePawnsOnFile[side][f]; }


static int EndgameKingSafety(const EvalNode* n, int us, int k) {
  int them = us ^ 1, p = n->phase[them];
  if (!n->queens[them] && p < 2) return 0;
  const uint8_t* t = KingTargets[k];
  int sum = 0, over = 0;
  for (int i = 0; t[i]; i++) {
    int c = AttackCount(n, them, t[i]);
    sum += c;
    over += c > AttackCount(n, us, t[i]);
  }
  if (!n->queens[them]) return IsEdge(k) ? -((6 * sum + 20 * over) * p) / 10 : -((over + sum) * p) / 2;
  int shelter = 0;
  for (int i = 0; t[i]; i++)
    if (IsCode(n, t[i], OwnPiece(us, WPawn)) && RelRank(us, t[i]) >= RelRank(us, k))
      shelter += RelRank(us, t[i]) > RelRank(us, k) ? 2 : 1;
  return (ShelterValue[Min(shelter, 8)] - 21 * over - 6 * sum) * p / 10;
}

// The enemy queen on `q` next to the king with nothing behind it on its line through t.
static int QueenIsAlone(const EvalNode* n, int them, int q, int t) {
  const AttackCell* cell = &n->pos->attacks[them].cell[q];
  const int8_t* steps = StepBetween[t];
  int step = steps[q];
  for (int i = 0; i < cell->count; i++) {
    int a = cell->from[i];
    if (IsSlider(n->board[a]) && steps[a] == step) return 0;
  }
  return 1;
}

struct KingZone {
  int defence, attacks, distinct, weight, freeSquares, overpowered, shelter, queenTerms, queenContact;
  uint64_t counted;
};

static void CountAttackers(const EvalNode* n, int them, int t, KingZone* z) {
  const AttackCell* cell = &n->pos->attacks[them].cell[t];
  for (int i = 0; i < cell->count; i++) {
    int a = cell->from[i];
    if (z->counted & SquareBit(a)) continue;
    z->counted |= SquareBit(a);
    z->distinct++;
    z->weight += PhaseWeight[n->board[a]];
  }
}

static int MiddlegameKingSafety(EvalNode* n, int us, int k) {
  int them = us ^ 1, p = n->phase[them], fwd = Forward(us);
  KingZone z{};
  int enemyQueen = OwnPiece(them, WQueen);
  for (const uint8_t* t = KingTargets[k]; *t; t++) {
    int s = *t, code = n->board[s];
    // A neighbour's square difference from the king, told forwards for us: 7 to 9 is the
    // rank in front, -1 and 1 the king's rank.
    int ahead = us ? k - s : s - k;
    int front = ahead > 1;
    int own = AttackCount(n, us, s), enemy = AttackCount(n, them, s);
    if (front) z.defence += own - 1 + (code && PieceSide(code) == us && PieceKind(code) != WPawn);
    if (enemy > 0) {
      z.attacks += enemy + (front && !IsPawnCode(code));
      const AttackCell* cell = &n->pos->attacks[them].cell[s];
      int queens = 0;
      for (int j = 0; j < cell->count; j++) {
        int a = cell->from[j], attacker = n->board[a];
        queens += attacker == enemyQueen;
        if (z.counted & SquareBit(a)) continue;
        z.counted |= SquareBit(a);
        z.distinct++;
        z.weight += PhaseWeight[attacker];
      }
      for (int j = 0; queens && j < cell->count; j++) {
        int q = cell->from[j];
        if (n->board[q] != enemyQueen) continue;
        if (enemy == 1 && QueenIsAlone(n, them, q, s)) {
          z.queenTerms += LoneQueenContact[Min(own, 8)];
        } else {
          z.queenTerms += SupportedQueenContact[Min(own, 11)];
          z.queenContact = 1;
          if (CombinationQuiesceChecks && n->side == them && own < 2) n->attackFlag = 1;
        }
      }
    } else if (!code || PieceSide(code) == them) {
      z.freeSquares++;
    }
    if (enemy > own) z.overpowered++;
    if (code == OwnPiece(us, WPawn) && ahead >= -1) z.shelter += front ? 2 : 1;
  }
  int q = z.queenTerms;
  if (z.freeSquares == 0) q -= z.queenContact ? 27 : 12;
  int x3 = 0, x4 = 0;
  int file = SquareFile(k);
  if (RelRank(us, k) == 1 && (file <= 3 || file >= 6)) {
    int first = file <= 3 ? 1 : 6;
    for (int f = first; f < first + 3; f++) {
      int s3 = SquareOf(f, Rel(us, 3)), s4 = SquareOf(f, Rel(us, 4));
      CountAttackers(n, them, s3, &z);
      x3 += AttackCount(n, them, s3);
      x4 += AttackCount(n, them, s4);
    }
  }
  int v = AttackerCountValue[Min(z.distinct, 13)] - z.weight;
  int attackPart = q + ((n->pe->flags & PawnClosedCentre) ? v : (n->pe->flags & PawnOpenCentre) ? v / 2 : 2 * v / 3);
  int h = ShelterValue[Min(z.shelter, 8)];
  int r = 2 * (z.defence - 3 * z.attacks - 2 * x3) - 4 - ((v + 10) * h) / 64 - 21 * z.overpowered - x4;
  int score = attackPart + ((r + h) * p) / 10;
  if (IsCode(n, k + fwd, OwnPiece(them, WPawn))) score += 30;

  int enemyKingFile = SquareFile(n->king[them]);
  int hasQueen = n->queens[them] > 0, queenAndRook = hasQueen && n->rooks[them] > 0;
  int low = RelRank(us, k) <= 2;
  auto own = [&](int x) { return NamedHas(n, us, us, WPawn, x); };
  if (file <= 4) {
    if (hasQueen && file <= 3 && low) {
      if (enemyKingFile <= 5) {
        score += own(sq::A2) ? 20 : own(sq::A3) ? 8 : 0;
        if (own(sq::B2)) score += 14;
      } else {
        if (PawnsOn(n, us, 1)) score += 3;
        if (own(sq::A2)) score += 26;
        if (own(sq::B2)) score += 21;
      }
    }
    if (!PawnsOn(n, us, 2)) score -= p;
    if (queenAndRook) {
      if (SameWingFlag) {
        int eq = SquareFile(n->queen[them]);
        if (n->pe->pawnsOnFile[1] == 0 && n->queen[them] && eq <= 2) score -= 20;
      } else {
        if (!PawnsOn(n, them, 2)) score -= 15;
        if (!PawnsOn(n, them, 1)) score -= PawnsOn(n, us, 1) ? 15 : 30;
      }
    }
  } else {
    if (hasQueen && file >= 6 && low) {
      if (NamedHas(n, us, them, WPawn, sq::E4) || enemyKingFile <= 3) {
        if (own(sq::G2)) score += 21;
        if (enemyKingFile <= 3) {
          if (PawnsOn(n, us, 8)) score += 3;
          if (own(sq::H2)) score += 26;
        } else {
          score += own(sq::H2) ? 20 : own(sq::H3) ? 8 : 0;
        }
      } else {
        if (own(sq::G2)) score += 14;
        score += own(sq::H2) ? 20 : own(sq::H3) ? 8 : 0;
      }
      if (NamedHas(n, us, them, WPawn, sq::F3) && own(sq::F2)) score -= 6;
    }
    if (!PawnsOn(n, us, 7)) score -= p;
    if (queenAndRook) {
      if (SameWingFlag) {
        int eq = SquareFile(n->queen[them]);
        if (n->pe->pawnsOnFile[8] == 0 && n->queen[them] && eq >= 7) score -= 20;
      } else {
        if (!PawnsOn(n, them, 7)) score -= 15;
        if (!PawnsOn(n, them, 8)) score -= PawnsOn(n, us, 8) ? 15 : 30;
      }
    }
  }
  return score;
}

int KingSafety(EvalNode* n, int us) {
  int k = n->king[us], p = n->phase[us ^ 1];
  if ((PhaseCode & 4) || n->afterCaptures) {
    if (!n->queens[us ^ 1] || p < 9) return EndgameKingSafety(n, us, k);
  }
  return MiddlegameKingSafety(n, us, k);
}

// Files beside the king's file that count for its open-file term.
static const uint8_t NeighbourFiles[9] = {0, 0x06, 0x05, 0x0B, 0x14, 0x28, 0xD0, 0xA0, 0x60};

static int OpenFilesAroundKing(const EvalNode* n, int k) {
  const int8_t* pawns = n->pe->pawnsOnFile;
  int file = SquareFile(k), v = pawns[file] == 0 ? -3 : pawns[file] == 1 ? -2 : 0;
  for (int f = 1; f <= 8; f++)
    if ((NeighbourFiles[file] >> (f - 1) & 1) && pawns[f] < 2) v -= 1;
  return v;
}

// Two rooks with the king between them and no castling right left.
static int KingBetweenRooks(const EvalNode* n, int us) {
  if (n->rooks[us] != 2) return 0;
  uint32_t rights = us ? (BlackKingSide | BlackQueenSide) : (WhiteKingSide | WhiteQueenSide);
  if (n->ps->flags & rights) return 0;
  const PieceSlots* slots = &n->pos->slots[OwnPiece(us, WRook)];
  int files[2], count = 0;
  for (int i = 0; i < slots->count && count < 2; i++) {
    int s = n->pos->pieceList[us][slots->entry[i]];
    if (s != CapturedMark && s) files[count++] = SquareFile(s);
  }
  if (count < 2) return 0;
  int kf = SquareFile(n->king[us]);
  return (kf > files[0] && kf < files[1]) || (kf > files[1] && kf < files[0]);
}

void EvaluateKingSafety(EvalNode* n) {
  const PawnEntry* e = n->pe;
  int k = KingSafety(n, White) - KingSafety(n, Black);
  if (n->afterCaptures) {
    k += KingEndgameBlend[White][n->king[White]] - KingEndgameBlend[Black][n->king[Black]];
  } else if (!(PhaseCode & 0x64)) {
    for (int us = White; us <= Black; us++) {
      int them = us ^ 1, ks = n->king[us], v = 0;
      if (!n->queens[them] && n->knights[them] + n->bishops[them] + n->rooks[them] < 6)
        v = KingCentralBlend[us][ks];
      else if (!(e->flags & PawnClosedCentre))
        v = KingSecondShelterBlend[us][ks];
      k += Sign(us) * v;
    }
  }
  if (!(PhaseCode & 0x64) && !n->afterCaptures) {
    for (int us = White; us <= Black; us++) {
      int them = us ^ 1;
      if (n->phase[them] > 7 && KingBetweenRooks(n, us))
        k -= Sign(us) * (n->queens[them] ? 4 : 2) * n->phase[them];
    }
    int wf = SquareFile(n->king[White]), bf = SquareFile(n->king[Black]);
    if (((e->flags & PawnBlackKingWingFixed) && wf >= 7) || ((e->flags & PawnBlackQueenWingFixed) && wf <= 2)) k += 20;
    if (((e->flags & PawnWhiteKingWingFixed) && bf >= 7) || ((e->flags & PawnWhiteQueenWingFixed) && bf <= 2)) k -= 20;
    k += OpenFilesAroundKing(n, n->king[White]) * n->phase[Black];
    k -= OpenFilesAroundKing(n, n->king[Black]) * n->phase[White];
  }
  n->kingAcc = k;
}

// The root's patterns: an h-file attack against the engine's king behind a stone wall,
// the minority structures, and the opening of a locked rook file.
void EvaluateKingAttackPatterns(EvalNode* n) {
  int flags = RootPatternFlags;
  if (!flags) return;
  const PawnEntry* e = n->pe;
  if (flags & PatternStonewall) {
    int defender = EngineSide, attacker = defender ^ 1, sg = Sign(attacker), v = 0;
    int noHPawn = e->sidePawnsOnFile[defender][8] == 0;
    int wedge = NamedHas(n, attacker, attacker, WPawn, sq::G6);
    int unit = 10;
    if (noHPawn) {
      v += wedge ? 85 : 50;
      unit = 25;
    }
    int rear = e->sidePawnsOnFile[attacker][8] ? OwnRearRank(e, attacker, 8) : 0;
    int q = n->queen[attacker], queenTerm = 0, rookTerm = 0;
    if (q && SquareFile(q) == 8 && RelRank(attacker, q) > rear) {
      v += unit;
      queenTerm = 1;
    }
    const PieceSlots* slots = &n->pos->slots[OwnPiece(attacker, WRook)];
    for (int i = 0; i < slots->count; i++) {
      int s = n->pos->pieceList[attacker][slots->entry[i]];
      if (s == CapturedMark || !s || SquareFile(s) != 8 || RelRank(attacker, s) <= rear) continue;
      v += unit;
      rookTerm = 1;
    }
    if (noHPawn && queenTerm && (rookTerm || wedge)) {
      v += 75;
      if (n->side == attacker) n->attackFlag = 1;
    }
    n->pawnAcc[GroupKingSafety] += sg * v;
  }
  if (flags & PatternMinorityBlack) {
    if (!e->sidePawnsOnFile[White][2] || !e->sidePawnsOnFile[White][3]) n->pawnAcc[GroupKingSafety] -= 12;
  } else if (flags & PatternMinorityWhite) {
    if (!e->sidePawnsOnFile[Black][2] || !e->sidePawnsOnFile[Black][3]) n->pawnAcc[GroupKingSafety] += 12;
  }
  int file = (flags & PatternHFile) ? 8 : (flags & PatternAFile) ? 1 : 0;
  if (file && e->pawnsOnFile[file] == 0) n->acc[GroupKingSafety] += EngineSide == Black ? 325 : -325;
}
