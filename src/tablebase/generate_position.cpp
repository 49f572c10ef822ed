#include "tablebase/generate_position.h"

#include <cstring>

namespace {

constexpr int FileOf0(int s) { return s & 7; }
constexpr int RankOf0(int s) { return s >> 3; }
constexpr int Transpose(int s) { return (s & 7) << 3 | s >> 3; }
constexpr uint64_t Bit(int s) { return uint64_t(1) << s; }
constexpr int Abs(int x) { return x < 0 ? -x : x; }
constexpr uint16_t NoPair = 4000;
constexpr int PawnlessPairs = 462, PawnPairs = 1806;

// File and rank steps of the eight rays: rook directions first, then bishop ones.
constexpr int RayStep[8][2] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {1, 1}, {1, -1}, {-1, 1}, {-1, -1}};
// A ray runs to higher square numbers when its step is positive.
constexpr bool RayUp(int d) { return RayStep[d][1] * 8 + RayStep[d][0] > 0; }

struct KingPairPlace {
  uint16_t pair;  // NoPair when the kings touch or share a square
  uint8_t symmetry;
  uint8_t twoImages;
};

struct Geometry {
  uint64_t king[64], knight[64], pawnAttack[2][64];
  uint64_t between[64][64];  // squares strictly between two squares on a line
  uint8_t line[64][64];      // 1 same rank or file, 2 same diagonal, 0 neither
  uint64_t ray[8][64];       // squares from s outwards: four rook directions, then four bishop ones
  uint16_t pair[2][64][64];  // [with pawns][White king][Black king], kings already brought home
  uint8_t pairKing[2][2][PawnPairs];  // [with pawns][colour][pair]
  // Any two king squares: the pair number after the symmetry that brings the White king
  // home, that symmetry, and whether the transposed board is a second number.
  KingPairPlace place[2][64][64];
  uint8_t image[8][64];      // square under symmetry: bit 0 flips files, 1 ranks, 2 transposes
};

constexpr Geometry BuildGeometry() {
  Geometry g{};
  for (int s = 0; s < 64; s++) {
    for (int t = 0; t < 64; t++) {
      int df = FileOf0(t) - FileOf0(s), dr = RankOf0(t) - RankOf0(s);
      int adf = Abs(df), adr = Abs(dr);
      if (s != t && adf <= 1 && adr <= 1) g.king[s] |= Bit(t);
      if ((adf == 1 && adr == 2) || (adf == 2 && adr == 1)) g.knight[s] |= Bit(t);
      if (adf == 1 && dr == 1) g.pawnAttack[0][s] |= Bit(t);
      if (adf == 1 && dr == -1) g.pawnAttack[1][s] |= Bit(t);
      int kind = s == t ? 0 : (df == 0 || dr == 0) ? 1 : adf == adr ? 2 : 0;
      g.line[s][t] = uint8_t(kind);
      if (kind != 0) {
        int step = (dr > 0 ? 8 : dr < 0 ? -8 : 0) + (df > 0 ? 1 : df < 0 ? -1 : 0);
        for (int u = s + step; u != t; u += step) g.between[s][t] |= Bit(u);
      }
    }
  }
  for (int d = 0; d < 8; d++)
    for (int s = 0; s < 64; s++)
      for (int f = FileOf0(s) + RayStep[d][0], r = RankOf0(s) + RayStep[d][1]; f >= 0 && f < 8 && r >= 0 && r < 8;
           f += RayStep[d][0], r += RayStep[d][1])
        g.ray[d][s] |= Bit(r * 8 + f);
  for (int p = 0; p < 2; p++)
    for (int a = 0; a < 64; a++)
      for (int b = 0; b < 64; b++) g.pair[p][a][b] = NoPair;
  int n = 0;
  for (int w = 0; w < 64; w++) {
    if (FileOf0(w) > 3 || RankOf0(w) > FileOf0(w)) continue;
    for (int b = 0; b < 64; b++) {
      if (b == w || (g.king[w] & Bit(b))) continue;
      if (RankOf0(w) == FileOf0(w) && RankOf0(b) > FileOf0(b)) continue;
      g.pairKing[0][0][n] = uint8_t(w), g.pairKing[0][1][n] = uint8_t(b);
      g.pair[0][w][b] = uint16_t(n++);
    }
  }
  n = 0;
  for (int w = 0; w < 64; w++) {
    if (FileOf0(w) > 3) continue;
    for (int b = 0; b < 64; b++) {
      if (b == w || (g.king[w] & Bit(b))) continue;
      g.pairKing[1][0][n] = uint8_t(w), g.pairKing[1][1][n] = uint8_t(b);
      g.pair[1][w][b] = uint16_t(n++);
    }
  }
  for (int m = 0; m < 8; m++)
    for (int s = 0; s < 64; s++) {
      int t = s ^ (m & 1 ? 7 : 0) ^ (m & 2 ? 56 : 0);
      g.image[m][s] = uint8_t(m & 4 ? Transpose(t) : t);
    }
  for (int p = 0; p < 2; p++)
    for (int wk = 0; wk < 64; wk++)
      for (int bk = 0; bk < 64; bk++) {
        int m = FileOf0(wk) > 3 ? 1 : 0;
        bool both = false;
        if (p == 0) {
          if (RankOf0(wk) > 3) m |= 2;
          int w = g.image[m][wk], b = g.image[m][bk];
          if (RankOf0(w) > FileOf0(w)) m |= 4;
          else if (RankOf0(w) == FileOf0(w)) {
            if (RankOf0(b) > FileOf0(b)) m |= 4;
            else if (RankOf0(b) == FileOf0(b)) both = true;
          }
        }
        g.place[p][wk][bk] = {g.pair[p][g.image[m][wk]][g.image[m][bk]], uint8_t(m), uint8_t(both)};
      }
  return g;
}

constexpr Geometry Geo = BuildGeometry();

const char KindLetters[] = " pnbrqk";  // by kind 1..6

int KindOfLetter(char c) {
  for (int k = 1; k <= 5; k++)
    if (KindLetters[k] == c) return k;
  return 0;
}

uint64_t Occupancy(const GenPos* pos) {
  uint64_t occ = 0;
  for (int i = 0; i < pos->men; i++)
    if (pos->sq[i] >= 0) occ |= Bit(pos->sq[i]);
  return occ;
}

bool Attacks(int kind, int color, int from, int target, uint64_t occ) {
  switch (kind) {
    case GenKing: return (Geo.king[from] & Bit(target)) != 0;
    case 2: return (Geo.knight[from] & Bit(target)) != 0;
    case 1: return (Geo.pawnAttack[color][from] & Bit(target)) != 0;
    default: {
      int line = Geo.line[from][target];
      bool fits = (line == 1 && kind != 3) || (line == 2 && kind != 4);
      return fits && (Geo.between[from][target] & occ) == 0;
    }
  }
}

// Whether a man of `color` other than man `skip` attacks target.
bool AttackedByOthers(const GenPos* pos, uint64_t occ, int target, int color, int skip) {
  for (int i = 0; i < pos->men; i++)
    if (i != skip && pos->color[i] == color && pos->sq[i] >= 0 &&
        Attacks(pos->kind[i], color, pos->sq[i], target, occ))
      return true;
  return false;
}

bool AttackedBy(const GenPos* pos, uint64_t occ, int target, int color) {
  return AttackedByOthers(pos, occ, target, color, -1);
}

// The king of `color` is not attacked by the other side.
bool KingSafe(const GenPos* pos, int color) {
  return !AttackedBy(pos, Occupancy(pos), pos->sq[color], color ^ 1);
}

bool KingSafeOn(const GenPos* pos, uint64_t occ, int color) {
  return !AttackedBy(pos, occ, pos->sq[color], color ^ 1);
}

int ManOn(const GenPos* pos, int s) {
  for (int i = 0; i < pos->men; i++)
    if (pos->sq[i] == s) return i;
  return -1;
}

// A pawn of `color` stands beside square s on its rank.
bool PawnBeside(const GenPos* pos, int s, int color) {
  for (int i = 0; i < pos->men; i++) {
    int t = pos->sq[i];
    if (t >= 0 && pos->kind[i] == 1 && pos->color[i] == color && RankOf0(t) == RankOf0(s) &&
        Abs(FileOf0(t) - FileOf0(s)) == 1)
      return true;
  }
  return false;
}

// Destination rank of a double step and the step of a pawn of that colour.
int DoubleStepRank(int color) { return color == 0 ? 3 : 4; }
int PawnStep(int color) { return color == 0 ? 8 : -8; }

// The squares a piece reaches from s (sliders stop at the first man, which is included).
uint64_t Reach(int kind, int s, uint64_t occ) {
  if (kind == GenKing) return Geo.king[s];
  if (kind == 2) return Geo.knight[s];
  uint64_t out = 0;
  int first = kind == 3 ? 4 : 0, last = kind == 4 ? 4 : 8;
  for (int d = first; d < last; d++) {
    uint64_t ray = Geo.ray[d][s], blockers = ray & occ;
    if (blockers) ray ^= Geo.ray[d][RayUp(d) ? __builtin_ctzll(blockers) : 63 - __builtin_clzll(blockers)];
    out |= ray;
  }
  return out;
}

// Appends the positions in which the opponent of the side to move has just double-stepped
// a pawn that a pawn of the side to move may take en passant.
int AddWithEnPassantVariants(const GenPos* q, GenPos* out, int n) {
  out[n++] = *q;
  int mover = q->side, other = mover ^ 1;
  uint64_t occ = Occupancy(q);
  for (int j = 0; j < q->men; j++) {
    int s = q->sq[j];
    if (s < 0 || q->kind[j] != 1 || q->color[j] != other || RankOf0(s) != DoubleStepRank(other)) continue;
    int behind = s - PawnStep(other);
    if ((occ & (Bit(behind) | Bit(behind - PawnStep(other)))) || !PawnBeside(q, s, mover)) continue;
    out[n] = *q;
    out[n++].epMan = int8_t(j);
  }
  return n;
}

}  // namespace

uint32_t MaterialKeyOf(const GenPos* pos) {
  uint32_t key = 0;
  for (int i = 0; i < pos->men; i++)
    if (pos->sq[i] >= 0 && pos->kind[i] != GenKing) key += uint32_t(1) << (3 * (pos->color[i] * 5 + pos->kind[i] - 1));
  return key;
}

static void BuildMaterial(const int counts[2][6], GenMaterial* out) {
  memset(out, 0, sizeof *out);
  out->color[0] = 0, out->kind[0] = GenKing, out->color[1] = 1, out->kind[1] = GenKing;
  out->men = 2;
  int at = 0;
  for (int c = 0; c < 2; c++) {
    out->name[at++] = 'k';
    for (int k = 5; k >= 1; k--)
      for (int i = 0; i < counts[c][k]; i++) {
        out->color[out->men] = int8_t(c), out->kind[out->men] = int8_t(k);
        out->men++;
        out->name[at++] = KindLetters[k];
        out->key += uint32_t(1) << (3 * (c * 5 + k - 1));
        if (k == 1) out->pawns++;
      }
  }
}

// The side whose pieces, listed strongest first, are more or stronger is named first.
static bool FirstSideWeaker(const int counts[2][6]) {
  int total[2] = {0, 0};
  for (int c = 0; c < 2; c++)
    for (int k = 1; k <= 5; k++) total[c] += counts[c][k];
  if (total[0] != total[1]) return total[0] < total[1];
  for (int k = 5; k >= 1; k--)
    if (counts[0][k] != counts[1][k]) return counts[0][k] < counts[1][k];
  return false;
}

int ParseMaterialName(const char* name, GenMaterial* out) {
  int counts[2][6] = {};
  int side = -1, men = 0;
  for (const char* c = name; *c; c++) {
    if (*c == 'k') {
      if (++side > 1) return 0;
    } else {
      int k = KindOfLetter(*c);
      if (k == 0 || side < 0) return 0;
      counts[side][k]++;
    }
    if (++men > GenMaxMen) return 0;
  }
  if (side != 1 || men < 3) return 0;
  BuildMaterial(counts, out);
  return 1;
}

void MaterialOfPosition(const GenPos* pos, GenMaterial* out, int* swapped) {
  int counts[2][6] = {};
  for (int i = 0; i < pos->men; i++)
    if (pos->sq[i] >= 0 && pos->kind[i] != GenKing) counts[pos->color[i]][pos->kind[i]]++;
  *swapped = FirstSideWeaker(counts) ? 1 : 0;
  if (*swapped) {
    for (int k = 1; k <= 5; k++) {
      int t = counts[0][k];
      counts[0][k] = counts[1][k], counts[1][k] = t;
    }
  }
  BuildMaterial(counts, out);
}

uint64_t GenKingPairCount(const GenMaterial* mat) { return mat->pawns ? PawnPairs : PawnlessPairs; }

uint64_t GenSideSize(const GenMaterial* mat) {
  uint64_t size = GenKingPairCount(mat);
  for (int i = 2; i < mat->men; i++) size *= 64;
  return size;
}

int GenIndexOf(const GenMaterial* mat, const GenPos* pos, uint64_t out[2]) {
  const KingPairPlace& place = Geo.place[mat->pawns ? 1 : 0][pos->sq[0]][pos->sq[1]];
  if (place.pair == NoPair) return 0;
  int count = place.twoImages ? 2 : 1;
  for (int k = 0; k < count; k++) {
    // Both kings on the long diagonal: the transposed board keeps their pair number.
    const uint8_t* image = Geo.image[place.symmetry ^ (k == 1 ? 4 : 0)];
    uint64_t index = place.pair;
    for (int i = 2; i < pos->men; i++) {
      int s = pos->sq[i];
      if (i == pos->epMan) s = pos->color[i] == 0 ? s - 24 : s + 24;
      index = index * 64 + image[s];
    }
    out[k] = index;
  }
  return count;
}

int GenPlainKingPair(const GenMaterial* mat, int whiteKing, int blackKing) {
  const KingPairPlace& place = Geo.place[mat->pawns ? 1 : 0][whiteKing][blackKing];
  return place.pair == NoPair || place.symmetry != 0 || place.twoImages ? -1 : place.pair;
}

int GenDecodeSquares(const GenMaterial* mat, int side, uint64_t index, GenPos* out) {
  out->men = int8_t(mat->men);
  out->side = int8_t(side);
  out->epMan = -1;
  for (int i = mat->men - 1; i >= 2; i--) {
    out->sq[i] = int8_t(index & 63);
    index >>= 6;
  }
  int pawns = mat->pawns ? 1 : 0;
  if (index >= GenKingPairCount(mat)) return 0;
  out->sq[0] = int8_t(Geo.pairKing[pawns][0][index]);
  out->sq[1] = int8_t(Geo.pairKing[pawns][1][index]);
  uint64_t occ = Bit(out->sq[0]) | Bit(out->sq[1]);
  for (int i = 0; i < mat->men; i++) {
    out->kind[i] = mat->kind[i], out->color[i] = mat->color[i];
    if (i < 2) continue;
    int s = out->sq[i];
    if (mat->kind[i] == 1) {
      int home = mat->color[i] == 0 ? 0 : 7;
      if (RankOf0(s) == 7 - home) return 0;
      if (RankOf0(s) == home) {
        if (out->epMan >= 0 || mat->color[i] == side) return 0;
        out->epMan = int8_t(i);
        s = mat->color[i] == 0 ? s + 24 : s - 24;
        out->sq[i] = int8_t(s);
      }
    }
    if (occ & Bit(s)) return 0;
    occ |= Bit(s);
  }
  if (out->epMan >= 0) {
    int p = out->epMan, s = out->sq[p], step = PawnStep(mat->color[p]);
    if ((occ & (Bit(s - step) | Bit(s - 2 * step))) || !PawnBeside(out, s, side)) return 0;
  }
  return 1;
}

int GenDecode(const GenMaterial* mat, int side, uint64_t index, GenPos* out) {
  return GenDecodeSquares(mat, side, index, out) && KingSafe(out, side ^ 1) ? 1 : 0;
}

int ArrangeForMaterial(const GenMaterial* mat, const GenPos* pos, int swap, GenPos* out) {
  bool used[GenMaxMen] = {};
  out->men = int8_t(mat->men);
  out->side = int8_t(pos->side ^ swap);
  out->epMan = -1;
  for (int i = 0; i < mat->men; i++) {
    int j = 0;
    while (j < pos->men && (used[j] || pos->sq[j] < 0 || pos->kind[j] != mat->kind[i] ||
                            (pos->color[j] ^ swap) != mat->color[i]))
      j++;
    if (j == pos->men) return 0;
    used[j] = true;
    out->sq[i] = int8_t(swap ? pos->sq[j] ^ 56 : pos->sq[j]);
    out->kind[i] = mat->kind[i], out->color[i] = mat->color[i];
    if (j == pos->epMan) out->epMan = int8_t(i);
  }
  for (int j = 0; j < pos->men; j++)
    if (pos->sq[j] >= 0 && !used[j]) return 0;
  return 1;
}

bool GenInCheck(const GenPos* pos) { return !KingSafe(pos, pos->side); }

int GenSuccessors(const GenPos* pos, GenPos out[GenMaxMoves]) {
  int n = 0, mover = pos->side, other = mover ^ 1;
  uint64_t occ = Occupancy(pos), own = 0;
  for (int i = 0; i < pos->men; i++)
    if (pos->sq[i] >= 0 && pos->color[i] == mover) own |= Bit(pos->sq[i]);
  int king = pos->sq[mover];
  bool inCheck = !KingSafeOn(pos, occ, mover);
  // Out of check, a piece whose removal uncovers no attack on its king cannot expose it.
  bool unpinned = false;
  // Moves man i to t, taking the man on `taken` (-1 none), promoting to `promo` (0 none).
  auto add = [&](int i, int t, int taken, int promo, int epMan) {
    GenPos& q = out[n];
    q = *pos;
    int from = q.sq[i];
    uint64_t after = occ & ~Bit(from);
    bool sideways = false;  // an en-passant capture empties a square besides `from`
    if (taken >= 0) {
      sideways = q.sq[taken] != t;
      after &= ~Bit(q.sq[taken]);
      q.sq[taken] = -1;
    }
    after |= Bit(t);
    q.sq[i] = int8_t(t);
    if (promo) q.kind[i] = int8_t(promo);
    q.side = int8_t(other);
    q.epMan = int8_t(epMan);
    if ((unpinned && !sideways) || KingSafeOn(&q, after, mover)) n++;
  };
  for (int i = 0; i < pos->men; i++) {
    int s = pos->sq[i];
    if (s < 0 || pos->color[i] != mover) continue;
    unpinned = !inCheck && i != mover && (Geo.line[s][king] == 0 || KingSafeOn(pos, occ & ~Bit(s), mover));
    if (pos->kind[i] != 1) {
      uint64_t targets = Reach(pos->kind[i], s, occ) & ~own;
      while (targets) {
        int t = __builtin_ctzll(targets);
        targets &= targets - 1;
        int taken = ManOn(pos, t);
        if (taken >= 0 && pos->kind[taken] == GenKing) continue;
        add(i, t, taken, 0, -1);
      }
      continue;
    }
    int step = PawnStep(mover), last = mover == 0 ? 7 : 0;
    auto addPawn = [&](int t, int taken) {
      if (RankOf0(t) == last) {
        for (int k = 5; k >= 2; k--) add(i, t, taken, k, -1);
      } else {
        add(i, t, taken, 0, -1);
      }
    };
    int t = s + step;
    if (!(occ & Bit(t))) {
      addPawn(t, -1);
      int t2 = t + step;
      if (RankOf0(s) == (mover == 0 ? 1 : 6) && !(occ & Bit(t2)))
        add(i, t2, -1, 0, PawnBeside(pos, t2, other) ? i : -1);
    }
    uint64_t captures = Geo.pawnAttack[mover][s] & occ & ~own;
    while (captures) {
      int c = __builtin_ctzll(captures);
      captures &= captures - 1;
      int taken = ManOn(pos, c);
      if (pos->kind[taken] != GenKing) addPawn(c, taken);
    }
    int e = pos->epMan;
    if (e >= 0 && RankOf0(pos->sq[e]) == RankOf0(s) && Abs(FileOf0(pos->sq[e]) - FileOf0(s)) == 1)
      add(i, pos->sq[e] + step, e, 0, -1);
  }
  return n;
}

int GenPredecessors(const GenPos* pos, GenPos out[GenMaxMoves], int8_t movedMan[GenMaxMoves]) {
  int n = 0, mover = pos->side ^ 1, victim = pos->side;
  uint64_t occ = Occupancy(pos);
  int victimKing = pos->sq[victim];
  // En-passant variants need a pawn on each side; retractions change no kind.
  bool pawns[2] = {false, false};
  for (int i = 2; i < pos->men; i++)
    if (pos->sq[i] >= 0 && pos->kind[i] == 1) pawns[pos->color[i]] = true;
  bool variants = pawns[0] && pawns[1];
  // When the mover's other men do not attack the victim's king with man i lifted, only man
  // i on its earlier square can: one test instead of a scan of every man.
  bool othersQuiet = false;
  GenPos q;
  auto consider = [&](int i, int from) {
    q = *pos;
    q.sq[i] = int8_t(from);
    q.side = int8_t(mover);
    q.epMan = -1;
    uint64_t before = (occ & ~Bit(pos->sq[i])) | Bit(from);
    bool legal = othersQuiet ? !Attacks(q.kind[i], mover, from, victimKing, before) : KingSafeOn(&q, before, victim);
    if (!legal) return;
    int first = n;
    if (variants) n = AddWithEnPassantVariants(&q, out, n);
    else out[n++] = q;
    for (int k = first; k < n; k++) movedMan[k] = int8_t(i);
  };
  if (pos->epMan >= 0) {
    int p = pos->epMan;
    consider(p, pos->sq[p] - 2 * PawnStep(mover));
    return n;
  }
  for (int i = 0; i < pos->men; i++) {
    int t = pos->sq[i];
    if (t < 0 || pos->color[i] != mover) continue;
    othersQuiet = !AttackedByOthers(pos, occ & ~Bit(t), victimKing, mover, i);
    if (pos->kind[i] != 1) {
      // Moves are reversible: the squares reached from t over empty squares.
      uint64_t sources = Reach(pos->kind[i], t, occ) & ~occ;
      while (sources) {
        int from = __builtin_ctzll(sources);
        sources &= sources - 1;
        consider(i, from);
      }
      continue;
    }
    int step = PawnStep(mover), from = t - step;
    int home = mover == 0 ? 1 : 6;
    if (RankOf0(from) == 0 || RankOf0(from) == 7 || (occ & Bit(from))) continue;
    consider(i, from);
    // A double step leads here only when no pawn could take it en passant.
    if (RankOf0(t) == DoubleStepRank(mover) && !(occ & Bit(from - step)) && !PawnBeside(pos, t, victim) &&
        RankOf0(from - step) == home)
      consider(i, from - step);
  }
  return n;
}
