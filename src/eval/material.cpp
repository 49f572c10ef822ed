#include "eval/material.h"
#include <initializer_list>
#include "board/check.h"
#include "board/keys.h"
#include "board/types.h"
#include "eval/root_tables.h"

static MaterialEntry MaterialHash[MaterialHashSize];

// Pieceless-side term by the pawns of the side with the pieces.
static int PiecelessTerm(int pawns) { return pawns == 0 ? -40 : pawns == 1 ? -20 : pawns == 2 ? -10 : 0; }

// Opposite-bishop scale by pawn-count difference and the side's PhaseCount; 0 none.
static int OppositeBishopScale(int difference, int phase) {
  static const int alone[5] = {45, 50, 60, 75, 85};
  static const int heavy[5] = {90, 92, 92, 95, 98};
  static const int medium[5] = {66, 72, 82, 90, 95};
  if (phase == 1) return alone[difference];
  if (phase == 2 || phase == 7 || phase == 10) return heavy[difference];
  if (phase == 4 || phase == 8) return medium[difference];
  return 0;
}

static int Colours(const MaterialCounts* c) { return (c->light > 0) + (c->dark > 0); }
static int Minors(const MaterialCounts* c) { return c->knights + c->bishops; }

// The rook-and-minor balance: unequal rook counts and the minor-piece majorities.
static int UnequalRooks(const MaterialCounts* w, const MaterialCounts* b, uint8_t* flags) {
  int score = 0, mW = Minors(w), mB = Minors(b);
  if (mW == 0 && mB == 0) {
    if (w->rooks == 2 && w->queens == 0 && b->queens == 1 && b->rooks == 0) score += 40;
    if (b->rooks == 2 && b->queens == 0 && w->queens == 1 && w->rooks == 0) score -= 40;
  }
  if (w->rooks + mW == b->rooks + mB) {
    if (w->rooks > b->rooks) {
      *flags |= MaterialWhiteExchangeUp;
      score += 30 + PiecelessTerm(w->pawns);
    } else {
      *flags |= MaterialBlackExchangeUp;
      score -= 30 + PiecelessTerm(b->pawns);
    }
  }
  if (mW > mB + 1) score += (Colours(w) == 2 ? 72 : 65) + PiecelessTerm(w->pawns);
  if (mB > mW + 1) score -= (Colours(b) == 2 ? 72 : 65) + PiecelessTerm(b->pawns);
  if (w->queens == 1 && w->rooks == 0 && mW == 0 && b->queens == 0 && b->rooks == 1 && mB == 1) score -= 30;
  if (b->queens == 1 && b->rooks == 0 && mB == 0 && w->queens == 0 && w->rooks == 1 && mW == 1) score += 30;
  return score;
}

// Minor-piece majority with equal rooks, told for `strong` (sign +1 White, -1 Black).
// Returns 1 when the lone extra minor without pawns ends the rook-and-minor balance.
static int MinorMajority(const MaterialCounts* s, const MaterialCounts* o, int sign, int* score, int* scale) {
  int mS = Minors(s), mO = Minors(o);
  int bonus = mS > mO + 2 ? 100 : 50;
  if (s->pawns == 0 && mS - mO == 1 && s->rooks == 0 && s->queens == 0) {
    if (s->knights == 0 && o->bishops == 0) {
      *score += sign * (bonus - 70);
    } else {
      *score += sign * (bonus - 140);
      *scale = 50;
    }
    return 1;
  }
  if (s->pawns == 0 && mS - mO == 1) bonus -= 50;
  *score += sign * (bonus + PiecelessTerm(s->pawns));
  return 0;
}

void MaterialBalance(const PlyState* ps, const MaterialCounts counts[2], MaterialEntry* e) {
  const MaterialCounts* w = &counts[White];
  const MaterialCounts* b = &counts[Black];
  int pW = ps->phaseCount[White], pB = ps->phaseCount[Black];
  int matW = ps->material[White], matB = ps->material[Black];
  int score = 0, scale = 0;
  uint8_t flags = 0;

  int d = matW - matB;
  if (d > 325) d = 325;
  if (d < -325) d = -325;
  int behindHasQueen = d > 0 ? b->queens > 0 : w->queens > 0;
  score = behindHasQueen ? -d / 10 : d / 10;
  score += (37 - pB - pW) * d / 150;
  if (pW == 0 && pB == 0) score += d / 2;

  // Opposite-coloured bishops, else bishop pairs.
  int whitePair = 1, blackPair = 1, skipPieceless = 0;
  if ((w->knights + b->knights == 0 || pW == 2) && Colours(w) == 1) {
    whitePair = 0;
    if (Colours(b) == 1) {
      blackPair = 0;
      if ((w->dark > 0) != (b->dark > 0) && pW == pB && w->rooks == b->rooks) {
        int diff = w->pawns > b->pawns ? w->pawns - b->pawns : b->pawns - w->pawns;
        if (pW == 1 && w->pawns <= 1 && b->pawns <= 1) {
          scale = 5;
          skipPieceless = 1;
        } else if (diff <= 4) {
          int column = (pW == 7 && (w->queens > 0 || b->queens > 0)) ? 8 : pW;
          scale = OppositeBishopScale(diff, column);
          skipPieceless = 1;
        }
      }
    }
  }
  int fewerPawns = w->pawns < RootPawnCount[White] && b->pawns < RootPawnCount[Black];
  if (whitePair && Colours(w) == 2) {
    score += BishopPairBonus;
    if (b->knights == 0 && b->bishops == 0) score += 10;
    if (fewerPawns) score += 5;
  }
  if (blackPair && Colours(b) == 2) {
    score -= BishopPairBonus;
    if (w->knights == 0 && w->bishops == 0) score -= 10;
    if (fewerPawns) score -= 5;
  }

  int bothWithPieces = pW > 0 && pB > 0;
  if (!skipPieceless && !bothWithPieces) {
    if (pW == 0 && pB > 0) score += -50 - PiecelessTerm(b->pawns);
    if (pB == 0 && pW > 0) score += 50 + PiecelessTerm(w->pawns);
  }
  if (bothWithPieces) {
    int mW = Minors(w), mB = Minors(b);
    if (w->rooks == b->rooks) {
      if (mW > mB)
        MinorMajority(w, b, 1, &score, &scale);
      else if (mB > mW)
        MinorMajority(b, w, -1, &score, &scale);
      if (mW == mB) {
        flags |= MaterialPawnCountTerm;
        if (mW == 1) {
          if (w->knights == 1 && w->queens > 0 && w->rooks == 0) score += 5;
          if (w->bishops == 1 && w->rooks > 0 && w->queens == 0) score += 3;
          if (b->knights == 1 && b->queens > 0 && b->rooks == 0) score -= 5;
          if (b->bishops == 1 && b->rooks > 0 && b->queens == 0) score -= 3;
        }
      }
    } else {
      score += UnequalRooks(w, b, &flags);
    }
  }

  if (w->queens + w->knights + Colours(w) + w->rooks < 2) score -= 10;
  if (b->queens + b->knights + Colours(b) + b->rooks < 2) score += 10;

  // Rook and minor against rook and pawns.
  static const int rookMinorScore[3] = {-250, -150, -100};
  static const int rookMinorScale[3] = {40, 45, 50};
  if (matW == 866 && b->pawns > 0 && matB - 100 * b->pawns == 541) {
    int i = b->pawns >= 3 ? 2 : b->pawns - 1;
    score += rookMinorScore[i];
    scale = rookMinorScale[i];
  }
  if (matB == 866 && w->pawns > 0 && matW - 100 * w->pawns == 541) {
    int i = w->pawns >= 3 ? 2 : w->pawns - 1;
    score -= rookMinorScore[i];
    scale = rookMinorScale[i];
  }
  // A lone minor against a few pawns.
  static const int lonePawnBase[4] = {0, 375, 350, 325};
  static const int lonePawnScale[4] = {0, 50, 75, 90};
  if (matW == 325 && pB == 0 && b->pawns >= 1 && b->pawns <= 3) {
    score += matB - lonePawnBase[b->pawns];
    scale = lonePawnScale[b->pawns];
  }
  if (matB == 325 && pW == 0 && w->pawns >= 1 && w->pawns <= 3) {
    score -= matW - lonePawnBase[w->pawns];
    scale = lonePawnScale[w->pawns];
  }
  // Two knights cannot force mate.
  if (w->pawns == 0 && w->knights == 2 && w->bishops + w->rooks + w->queens == 0 && matW > matB) {
    score += matB - matW;
    scale = 20;
  }
  if (b->pawns == 0 && b->knights == 2 && b->bishops + b->rooks + b->queens == 0 && matB > matW) {
    score -= matW - matB;
    scale = 20;
  }
  if (w->pawns + b->pawns == 1 && pW == 2 && pB == 2) scale = 40;

  e->score = int16_t(score);
  e->scale = uint8_t(scale);
  e->flags = uint8_t(flags | MaterialFilled);
}

static uint32_t MaterialIndex(uint32_t ws, uint32_t bs) {
  return (ZobristKey1[WPawn][1 + (ws >> 6 & 63)] ^ ZobristKey1[WBishop][1 + (bs >> 6 & 63)] ^
          ZobristKey1[WKing][1 + (ws & 63)] ^ ZobristKey1[WKnight][1 + (bs & 63)]) &
         (MaterialHashSize - 1);
}

void PrefetchMaterialEntry(const PlyState* ps) {
  __builtin_prefetch(&MaterialHash[MaterialIndex(ps->signature[White], ps->signature[Black])]);
}

static int FitsSignature(const MaterialCounts* c) {
  return c->knights <= 3 && c->light <= 1 && c->dark <= 1 && c->rooks <= 3 && c->queens <= 3 && c->pawns <= 8;
}

const MaterialEntry* MaterialLookup(const Position* pos, const PlyState* ps, MaterialEntry* scratch) {
  MaterialCounts counts[2];
  CountMaterial(pos, ps, White, &counts[White]);
  CountMaterial(pos, ps, Black, &counts[Black]);
  return MaterialLookupCounted(pos, ps, counts, scratch);
}

const MaterialEntry* MaterialLookupCounted(const Position* pos, const PlyState* ps, const MaterialCounts counts[2],
                                           MaterialEntry* scratch) {
  uint32_t ws = ps->signature[White], bs = ps->signature[Black];
  if (!FitsSignature(&counts[White]) || !FitsSignature(&counts[Black])) {
    MaterialBalance(ps, counts, scratch);
    return scratch;
  }
  uint32_t key = ws << 16 | bs;
  MaterialEntry* e = &MaterialHash[MaterialIndex(ws, bs)];
  if (e->key == key && (e->flags & MaterialFilled)) {
    KESTRANE_ASSERT(MaterialEntryIsOk(e, pos, ps));
    return e;
  }
  e->key = key;
  MaterialBalance(ps, counts, e);
  return e;
}

// The root values the filled entries were balanced under; valid is false after a clear.
static struct {
  bool valid;
  int32_t rootPawns[2], bishopPair;
} FilledUnder;

void ClearMaterialHash() {
  for (int i = 0; i < MaterialHashSize; i++) MaterialHash[i] = MaterialEntry{};
  FilledUnder.valid = false;
}

// An entry depends on the two signatures and, from the root, on the root pawn counts and
// the bishop-pair bonus only: while those stay, every entry stays right.
void PrepareMaterialHash() {
  if (FilledUnder.valid && FilledUnder.rootPawns[White] == RootPawnCount[White] &&
      FilledUnder.rootPawns[Black] == RootPawnCount[Black] && FilledUnder.bishopPair == BishopPairBonus)
    return;
  ClearMaterialHash();
  FilledUnder = {true, {RootPawnCount[White], RootPawnCount[Black]}, BishopPairBonus};
}

int MaterialHashFilled() {
  int filled = 0;
  for (int i = 0; i < MaterialHashSize; i++) filled += (MaterialHash[i].flags & MaterialFilled) != 0;
  return filled;
}

int MaterialEntryIsOk(const MaterialEntry* e, const Position* pos, const PlyState* ps) {
  MaterialCounts counts[2];
  CountMaterial(pos, ps, White, &counts[White]);
  CountMaterial(pos, ps, Black, &counts[Black]);
  MaterialEntry fresh{};
  MaterialBalance(ps, counts, &fresh);
  uint32_t key = ps->signature[White] << 16 | ps->signature[Black];
  return e->key == key && e->score == fresh.score && e->scale == fresh.scale && e->flags == fresh.flags;
}
