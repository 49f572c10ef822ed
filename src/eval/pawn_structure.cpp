// AnalysePawns: the facts and scores of one pawn configuration, seen from each side in turn.
#include "eval/pawn_structure.h"
#include <initializer_list>
#include "board/option_values.h"
#include "board/types.h"
#include "eval/prepare_root.h"
#include "eval/root_tables.h"
#include "eval/square_geometry.h"
#include "eval/squares.h"

static const int DoubledPenalty = -7;
static const int WeakByFile[10] = {0, -3, -6, -8, -10, -10, -8, -6, -3, 0};
static const int IsolatedByCount[9] = {0, 0, -2, -4, -8, -14, -20, -28, -34};
static const int BishopPairByIsolated[9] = {0, -2, -4, -6, -8, -10, -13, -16, -20};
static const int PawnCountDifference[17] = {49, 39, 30, 22, 15, 9, 4, 0, 0, 0, -4, -9, -15, -22, -30, -39, -49};

// Analysis state beside the entry: everything is seen from one side at a time, with ranks
// counted from that side and scores signed by it (+ White, - Black).
struct PawnScan {
  const int8_t* board;
  PawnEntry* e;
  int score, ending, correction;
  int rookCorrection[2], bishopPair[2];
  int fileSum, rankSum[2], weight;
  int spread[2];
  int passers[2];
  int allNonPassedRammed, allRammed;
  int lowFile, highFile;
};

static inline int IsPawn(const int8_t* board, int s, int side) {
  return s >= 1 && s <= 64 && board[s] == (WPawn | side << 3);
}
// The enemy pawns that attack square t (t inside the board).
static inline int EnemyPawnAttackers(const int8_t* board, int t, int side) {
  int fwd = Forward(side), f = FileOf(t), n = 0;
  if (f > 1) n += IsPawn(board, t + fwd - 1, side ^ 1);
  if (f < 8) n += IsPawn(board, t + fwd + 1, side ^ 1);
  return n;
}
static inline int OwnPawnDefenders(const int8_t* board, int t, int side) {
  int back = side ? 8 : -8, f = FileOf(t), n = 0;
  if (f > 1) n += IsPawn(board, t + back - 1, side);
  if (f < 8) n += IsPawn(board, t + back + 1, side);
  return n;
}

static void CountPawns(PawnScan* ps) {
  PawnEntry* e = ps->e;
  int total = 0;
  // The pawn sets first, without a branch per square; then only the pawns are visited.
  uint64_t white = 0, black = 0;
  for (int s = 1; s <= 64; s++) {
    white |= uint64_t(ps->board[s] == WPawn) << (s - 1);
    black |= uint64_t(ps->board[s] == BPawn) << (s - 1);
  }
  e->pawns[White] = white;
  e->pawns[Black] = black;
  for (uint64_t m = white | black; m; m &= m - 1) {
    int s = __builtin_ctzll(m) + 1;
    int side = (black >> (s - 1)) & 1, f = FileOf(s), r = RankOf(s), dark = IsDarkSquare(s);
    int ahead = s + Forward(side);
    e->pawnCount[side]++;
    e->pawnsOnFile[f]++;
    e->sidePawnsOnFile[side][f]++;
    e->colourCount[side][dark]++;
    if (IsPawn(ps->board, ahead, side ^ 1)) e->blockedColour[side][dark]++;
    if (side == White ? r < e->rearmost[White][f] : r > e->rearmost[Black][f]) e->rearmost[side][f] = int8_t(r);
    ps->fileSum += f;
    total++;
    if (f < ps->lowFile) ps->lowFile = f;
    if (f > ps->highFile) ps->highFile = f;
  }
  for (int side = White; side <= Black; side++)
    for (int c = 0; c < 2; c++) e->nonPassedColour[side][c] = e->colourCount[side][c];
  e->averageFile = int8_t(total ? ps->fileSum / total : 0);
  ps->fileSum = 0;
}

static void AddCentreWeight(PawnScan* ps, int s, int times) {
  ps->fileSum += times * FileOf(s);
  for (int side = White; side <= Black; side++) ps->rankSum[side] += times * Rel(side, RankOf(s));
  ps->weight += times;
}

// Connected passers, counted from the left pawn of each pair.
static void ConnectedPasser(PawnScan* ps, int side, int s, int f, int r, int sg) {
  const PawnEntry* e = ps->e;
  int fwd = Forward(side), middle = PhaseCode & 2;
  int rank = 0, half = 0;
  if (IsPawn(ps->board, s + 1, side) && EnemyRearRank(e, side, f + 2) <= r) {
    rank = r;
  } else if (IsPawn(ps->board, s + fwd + 1, side) && EnemyRearRank(e, side, f + 2) <= r + 1) {
    rank = r;
    half = 1;
  } else if (IsPawn(ps->board, s - fwd + 1, side) && r >= 5 && EnemyRearRank(e, side, f + 1) < r &&
             EnemyRearRank(e, side, f + 2) <= r - 1) {
    rank = r - 1;
    half = 1;
  }
  if (!rank) return;
  int full = PassedByRank(PassedConnected, rank), mid = PassedByRank(PassedConnectedMid, rank);
  int endgamePart = full - mid;
  if (half) {
    full /= 2;
    mid /= 2;
    endgamePart /= 2;  // halved as one difference, not as two rounded halves
  }
  if (middle) {
    ps->score += sg * mid;
    ps->correction += sg * endgamePart;
  } else {
    ps->score += sg * full;
  }
}

static void PassedPawn(PawnScan* ps, int side, int s, int f, int r, int sg) {
  PawnEntry* e = ps->e;
  e->passed[side] |= SquareBit(s);
  ps->passers[side]++;
  if (r >= 6) e->flags |= side ? PawnBlackPasserFar : PawnWhitePasserFar;
  AddCentreWeight(ps, s, 3);
  AddCentreWeight(ps, SquareOf(f, side ? 1 : 8), 1);
  e->nonPassedColour[side][IsDarkSquare(s)]--;
  ps->bishopPair[side] += sg * 10;
  int spread = (f > e->averageFile ? f - e->averageFile : e->averageFile - f) + 1;
  if (spread > ps->spread[side]) ps->spread[side] = spread;
  if (PhaseCode & 2) {
    ps->score += sg * PassedByRank(PassedGeneralMid, r);
    ps->correction += sg * (PassedByRank(PassedGeneral, r) - PassedByRank(PassedGeneralMid, r));
  } else {
    ps->score += sg * PassedByRank(PassedGeneral, r);
  }
  if (r >= 4 && OwnPawnDefenders(ps->board, s, side)) {
    ps->ending += sg * 24;
    if (PhaseCode & 4)
      ps->score += sg * 10;
    else
      ps->correction += sg * 10;
  }
  if (f < 8) ConnectedPasser(ps, side, s, f, r, sg);
}

// A rearmost doubled pawn that is not rammed yet counts as rammed when it can only walk
// into its own pawn. The walk starts on the pawn's own square: a capture from there frees it.
static int WalksIntoOwnPawn(const int8_t* board, int side, int s) {
  int fwd = Forward(side);
  for (int t = s; t >= 1 && t <= 64; t += fwd) {
    if (t != s && IsPawn(board, t, side)) return 1;
    if ((t != s && IsPawn(board, t, side ^ 1)) || EnemyPawnAttackers(board, t, side)) return 0;
  }
  return 0;
}

static void DoubledPawn(PawnScan* ps, int side, int s, int f, int r, int sg, int* rammed) {
  const PawnEntry* e = ps->e;
  int enemy = side ^ 1;
  ps->score += sg * DoubledPenalty;
  if (e->sidePawnsOnFile[enemy][f] == 0) {
    ps->rookCorrection[enemy] -= sg * 2;
    ps->score -= sg * 2;
  } else if (!*rammed && OwnRearRank(e, side, f) == r && WalksIntoOwnPawn(ps->board, side, s)) {
    *rammed = 1;
  }
  if (e->sidePawnsOnFile[side][f - 1] == 0 && e->sidePawnsOnFile[side][f + 1] == 0) {
    ps->score -= sg * 15;
    if (e->sidePawnsOnFile[enemy][f] > 0 && e->sidePawnsOnFile[enemy][f - 1] == 0 &&
        e->sidePawnsOnFile[enemy][f + 1] == 0)
      ps->score -= sg * 5;
  }
}

static void WeakPawn(PawnScan* ps, int side, int s, int f, int r, int sg) {
  PawnEntry* e = ps->e;
  int enemy = side ^ 1, ahead = s + Forward(side);
  e->weak[side] |= SquareBit(s);
  if (r <= 3) e->flags |= side ? PawnBlackWeakLow : PawnWhiteWeakLow;
  AddCentreWeight(ps, s, 1);
  ps->score += sg * WeakByFile[f];
  // Enemy pawns on both neighbouring files have passed it (or the file is off the board).
  int covered = 1, bothBelow = 1;
  for (int nf : {f - 1, f + 1}) {
    if (nf < 1 || nf > 8) continue;
    if (e->sidePawnsOnFile[enemy][nf] == 0 || EnemyRearRank(e, side, nf) > r) covered = 0;
    else if (EnemyRearRank(e, side, nf) == r) bothBelow = 0;
  }
  if (covered) ps->score -= sg * (bothBelow ? 25 : 12);
  int enemyOnFile = e->sidePawnsOnFile[enemy][f] > 0;
  if (IsPawn(ps->board, ahead, enemy)) {
    ps->score -= sg * 2;
  } else {
    int attackers = EnemyPawnAttackers(ps->board, ahead, side);
    ps->score -= sg * 10 * attackers;
    if (attackers && r <= 3) {
      ps->score -= sg * 4;
      if (!enemyOnFile) {
        ps->rookCorrection[enemy] -= sg * 5;
        return;
      }
    }
  }
  if (!enemyOnFile) {
    ps->score -= sg * 2;
    ps->rookCorrection[enemy] -= sg * 7;
  }
}

static void ScanSide(PawnScan* ps, int side) {
  PawnEntry* e = ps->e;
  const int8_t* board = ps->board;
  int sg = Sign(side), fwd = Forward(side);
  // The pawn set gives the squares in rising order, as a scan of the board would.
  for (uint64_t m = e->pawns[side]; m; m &= m - 1) {
    int s = __builtin_ctzll(m) + 1;
    int f = FileOf(s), r = Rel(side, RankOf(s)), ahead = s + fwd;
    AddCentreWeight(ps, s, 1);
    int aheadCode = (ahead >= 1 && ahead <= 64) ? board[ahead] : 0;
    // Rammed: blocked and nothing to capture (off-board capture squares count as free).
    int rammed = (aheadCode == WPawn || aheadCode == BPawn) && EnemyPawnAttackers(board, s, side) == 0;
    ps->correction += sg * PawnEndgameBlend[side][s];
    if (f > 1) e->pawnAttacks[side] |= SquareBit(ahead - 1);
    if (f < 8) e->pawnAttacks[side] |= SquareBit(ahead + 1);
    int single = e->sidePawnsOnFile[side][f] == 1;
    int passed = !(PhaseCode & 1) && EnemyRearRank(e, side, f) < r && EnemyRearRank(e, side, f - 1) <= r &&
                 EnemyRearRank(e, side, f + 1) <= r && (single || OwnRearRank(e, side, f) != r);
    if (passed) PassedPawn(ps, side, s, f, r, sg);
    if (!single) DoubledPawn(ps, side, s, f, r, sg, &rammed);
    int left = OwnRearRank(e, side, f - 1), right = OwnRearRank(e, side, f + 1);
    if (left != r && left != r - 1 && right != r && right != r - 1) WeakPawn(ps, side, s, f, r, sg);
    if (!rammed) {
      ps->allRammed = 0;
      if (!passed) ps->allNonPassedRammed = 0;
    }
  }
}

// c- to f-file centre: closed, half-open or open.
enum CentreKind { CentreOpen, CentreHalfOpen, CentreClosed };

static int FileBlocked(const int8_t* board, int f) {
  for (int r = 2; r <= 6; r++)
    if (board[SquareOf(f, r)] == WPawn && board[SquareOf(f, r + 1)] == BPawn) return 1;
  return 0;
}

static int CentreType(const PawnEntry* e, const int8_t* board) {
  int k = 0, kde = 0;
  for (int f = 3; f <= 6; f++) {
    int blocked = FileBlocked(board, f);
    k += blocked;
    if (f == 4 || f == 5) kde += blocked;
  }
  const int8_t* n = e->pawnsOnFile;
  int de = n[4] + n[5], cde = n[3] + de, def = de + n[6];
  if (k >= 2 && cde >= 4 && def >= 4) return CentreClosed;
  if (de >= 3) {
    if (de == 3 && k == 0) return cde <= 4 ? CentreOpen : (def >= 5 ? CentreHalfOpen : CentreOpen);
    if (cde >= 4 && def >= 4) {
      if (cde == 4 && k <= 1) {
        if (def > 4 && k == 1) return CentreHalfOpen;
        return kde == 0 ? CentreOpen : CentreHalfOpen;
      }
      if (def >= 5) return CentreClosed;
      if (k == 1) return CentreHalfOpen;
      return kde == 0 ? CentreOpen : CentreHalfOpen;
    }
    if (cde >= 4) return kde == 0 ? CentreOpen : CentreHalfOpen;
    return kde > 0 ? CentreHalfOpen : CentreOpen;
  }
  if (de == 2 && k >= 1 && cde >= 4 && def >= 4) return CentreHalfOpen;
  return CentreOpen;
}

// Fixed wing pawns: the side's pawns on the rook and knight files can no longer advance
// without being taken or blocked. `rook`/`knight` are the two files, `outer` the file
// beside the knight file.
static int WingFixed(const PawnEntry* e, const int8_t* board, int side, int rook, int knight, int outer) {
  int enemy = side ^ 1, fwd = Forward(side);
  if (!e->sidePawnsOnFile[side][rook] || !e->sidePawnsOnFile[side][knight]) return 0;
  if (!e->sidePawnsOnFile[enemy][rook] && !e->sidePawnsOnFile[enemy][knight]) return 0;
  int toKnight = knight - rook;  // +1 or -1: the file step from the rook file to the knight file
  for (int s = SquareOf(rook, e->rearmost[side][rook]); s + fwd >= 1 && s + fwd <= 64; s += fwd) {
    if (IsPawn(board, s + fwd + toKnight, enemy)) return 0;
    if (IsPawn(board, s + fwd, enemy)) break;
  }
  int b = SquareOf(knight, e->rearmost[side][knight]);
  if (IsPawn(board, b + fwd + (outer - knight), enemy)) return 0;
  for (int s = b; s + fwd >= 1 && s + fwd <= 64; s += fwd) {
    if (IsPawn(board, s + fwd - toKnight, enemy)) return 0;
    if (IsPawn(board, s + fwd, enemy)) break;
  }
  return 1;
}

// Squares a king can reach from its first rank through `allowed`; the target is the far rank.
static uint64_t KingCrossing(uint64_t start, uint64_t allowed) {
  uint64_t reached = start & allowed, previous = 0;
  const uint64_t notA = 0xFEFEFEFEFEFEFEFEull, notH = 0x7F7F7F7F7F7F7F7Full;
  while (reached != previous) {
    previous = reached;
    uint64_t sideways = reached | ((reached << 1) & notA) | ((reached >> 1) & notH);
    reached |= (sideways | (sideways << 8) | (sideways >> 8)) & allowed;
  }
  return reached;
}

static int PassersClose(const PawnEntry* e, int side) {
  int files[2], ranks[2], n = 0;
  for (uint64_t m = e->passed[side]; m; m &= m - 1) {
    int s = __builtin_ctzll(m) + 1;
    if (n < 2) {
      files[n] = FileOf(s);
      ranks[n] = Rel(side, RankOf(s));
    }
    n++;
  }
  if (n < 2) return n <= 2;
  if (n > 2) return 0;
  int gap = files[0] > files[1] ? files[0] - files[1] : files[1] - files[0];
  return gap <= 1 || (gap == 2 && ranks[0] <= 5 && ranks[1] <= 5);
}

static void LockedStructure(PawnScan* ps) {
  PawnEntry* e = ps->e;
  int passers = ps->passers[0] + ps->passers[1];
  int testA = ps->allNonPassedRammed && passers >= 1 && PassersClose(e, White) && PassersClose(e, Black);
  if (!(testA || ps->allRammed) || e->pawnCount[White] < 3 || e->pawnCount[Black] < 3) return;
  uint64_t whitePawns = 0, blackPawns = 0;
  for (int s = 1; s <= 64; s++) {
    if (ps->board[s] == WPawn) whitePawns |= SquareBit(s);
    if (ps->board[s] == BPawn) blackPawns |= SquareBit(s);
  }
  const uint64_t rank1 = 0xFFull, rank8 = 0xFFull << 56;
  e->kingReach[White] = KingCrossing(rank1, ~(e->pawnAttacks[Black] | whitePawns));
  e->kingReach[Black] = KingCrossing(rank8, ~(e->pawnAttacks[White] | blackPawns));
  if (!(e->kingReach[White] & rank8) && !(e->kingReach[Black] & rank1)) e->flags |= PawnLocked;
}

static int PawnCountTerm(const PawnEntry* e) {
  int w = e->pawnCount[White], b = e->pawnCount[Black];
  int whitePasser = e->passed[White] != 0, blackPasser = e->passed[Black] != 0;
  if (w >= 4) return 0;
  if (w == 0 && b == 1) return 34;
  if (w == 1 && b == 0) return -34;
  if (w == 1 && b == 2) return blackPasser ? 17 : 34;
  if (w == 2 && b == 1) return whitePasser ? -17 : -34;
  if (w == 2 && b == 3) return blackPasser ? 7 : 17;
  if (w == 3 && b == 2) return whitePasser ? -7 : -17;
  return 0;
}

static void FinishEntry(PawnScan* ps) {
  PawnEntry* e = ps->e;
  const int8_t* board = ps->board;
  for (int side = White; side <= Black; side++)
    for (int f = 1; f <= 8; f++)
      if (e->sidePawnsOnFile[side][f] && !e->sidePawnsOnFile[side][f - 1] && !e->sidePawnsOnFile[side][f + 1])
        e->isolated[side] = int8_t(e->isolated[side] + e->sidePawnsOnFile[side][f]);
  for (int f = 1; f <= 8; f++) e->openFiles = int8_t(e->openFiles + (e->pawnsOnFile[f] == 0));
  for (int f : {1, 8}) {
    if (e->sidePawnsOnFile[White][f]) {
      ps->score -= 3;
      ps->ending += 3;
    }
    if (e->sidePawnsOnFile[Black][f]) {
      ps->score += 3;
      ps->ending -= 3;
    }
  }
  int isoW = e->isolated[White] > 8 ? 8 : e->isolated[White], isoB = e->isolated[Black] > 8 ? 8 : e->isolated[Black];
  ps->score += IsolatedByCount[isoW] - IsolatedByCount[isoB];
  ps->bishopPair[Black] += BishopPairByIsolated[isoW];
  ps->bishopPair[White] -= BishopPairByIsolated[isoB];
  int d = e->pawnCount[White] - e->pawnCount[Black];
  ps->score += PawnCountDifference[(d < -8 ? -8 : d > 8 ? 8 : d) + 8];
  // The pawns' centre, rounded towards each side's own first rank.
  if (ps->weight) {
    int file = ps->fileSum / ps->weight;
    e->centreSquare[White] = uint8_t(SquareOf(file, ps->rankSum[White] / ps->weight));
    e->centreSquare[Black] = uint8_t(SquareOf(file, 9 - ps->rankSum[Black] / ps->weight));
  }
  int total = e->pawnCount[White] + e->pawnCount[Black];
  if (total >= 2 && d >= -1 && d <= 1) {
    static const int spanScale[4] = {60, 70, 78, 85};
    int span = ps->highFile - ps->lowFile;
    if (span < 4) e->narrowScale = uint8_t(spanScale[span] - (ps->passers[0] + ps->passers[1] ? 0 : 5));
  }
  if (e->pawnCount[White] >= 2 && e->pawnCount[Black] >= 2) {
    int spread = ps->spread[White] - ps->spread[Black];
    for (int side = White; side <= Black && spread; side++) {
      int sg = Sign(side);
      if (sg * spread <= 0) continue;
      if (PhaseCode & 4) {
        ps->score += sg * 12;
      } else if (ps->passers[side ^ 1] == 0) {
        ps->score += sg * 4;
        ps->correction += sg * 8;
      } else {
        ps->correction += sg * 12;
      }
      ps->ending += 4 * spread + sg * 45;
    }
  }
  e->pawnCountTerm = int8_t(PawnCountTerm(e));
  for (int side = White; side <= Black; side++)
    for (int f = 3; f <= 6; f++)
      for (int r = 4; r <= 6; r++) {
        int s = SquareOf(f, Rel(side, r));
        if (EnemyRearRank(e, side, f - 1) <= r && EnemyRearRank(e, side, f + 1) <= r) e->outposts[side] |= SquareBit(s);
      }
  if (WingFixed(e, board, White, 1, 2, 3)) e->flags |= PawnWhiteQueenWingFixed;
  if (WingFixed(e, board, Black, 1, 2, 3)) e->flags |= PawnBlackQueenWingFixed;
  if (WingFixed(e, board, White, 8, 7, 6)) e->flags |= PawnWhiteKingWingFixed;
  if (WingFixed(e, board, Black, 8, 7, 6)) e->flags |= PawnBlackKingWingFixed;
  for (int side = White; side <= Black; side++) {
    int sg = Sign(side);
    if (e->sidePawnsOnFile[side][1] + e->sidePawnsOnFile[side][2] > 2) ps->score -= sg * 10;
    if (e->sidePawnsOnFile[side][7] + e->sidePawnsOnFile[side][8] > 2) ps->score -= sg * 10;
  }
  int engineSign = EngineSide == White ? 1 : -1;
  switch (CentreType(e, board)) {
    case CentreClosed:
      e->flags |= PawnClosedCentre;
      if (PreferOpenPositions) ps->score -= engineSign * 20;
      break;
    case CentreHalfOpen:
      if (PreferOpenPositions) ps->score -= engineSign * 7;
      ps->bishopPair[White] += 6;
      ps->bishopPair[Black] -= 6;
      break;
    default:
      e->flags |= PawnOpenCentre;
      ps->bishopPair[White] += 11;
      ps->bishopPair[Black] -= 11;
      break;
  }
  LockedStructure(ps);
}

static int8_t Clamp8(int v) { return int8_t(v < -128 ? -128 : v > 127 ? 127 : v); }
static int16_t Clamp16(int v) { return int16_t(v < -32768 ? -32768 : v > 32767 ? 32767 : v); }

void AnalysePawns(const Position* pos, PawnEntry* e) {
  *e = PawnEntry{};
  e->key = 1;
  for (int f = 0; f <= 9; f++) {
    e->rearmost[White][f] = 9;
    e->rearmost[Black][f] = 0;
  }
  PawnScan ps{};
  ps.board = pos->board;
  ps.e = e;
  ps.allNonPassedRammed = ps.allRammed = 1;
  ps.lowFile = 9;
  CountPawns(&ps);
  ScanSide(&ps, White);
  ScanSide(&ps, Black);
  FinishEntry(&ps);
  e->score = Clamp16(ps.score);
  e->endingScore = Clamp16(ps.ending);
  e->endgameCorrection = Clamp16(ps.correction);
  for (int side = White; side <= Black; side++) {
    e->rookCorrection[side] = Clamp8(ps.rookCorrection[side]);
    e->bishopPairCorrection[side] = Clamp8(ps.bishopPair[side]);
  }
}
