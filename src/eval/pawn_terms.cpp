// The per-node pawn terms: passed pawns against the pieces and kings, weak and hanging
// pawns. Told for `us`; results go to the pawn-structure accumulator with us's sign.
#include "eval/pawn_terms.h"
#include "board/types.h"
#include <initializer_list>
#include "eval/prepare_root.h"
#include "eval/root_tables.h"
#include "eval/square_geometry.h"
#include "eval/squares.h"

// Support from own pieces behind the pawn and the enemy's rooks on its file.
static int SliderSupport(const EvalNode* n, int us, int s, int* support) {
  int r = RelRank(us, s), f = SquareFile(s), v = 0;
  for (int pass = 0; pass < 2; pass++) {
    int owner = pass == 0 ? us : us ^ 1;
    const AttackCell* cell = &n->pos->attacks[owner].cell[s];
    for (int i = cell->count - 1; i >= 0; i--) {
      int a = cell->from[i], code = n->board[a];
      if (!IsSlider(code)) continue;
      int behind = SquareFile(a) == f && RelRank(us, a) < r;
      int above = RelRank(us, a) > r;
      if (code == OwnPiece(owner, WRook)) {
        if (above) {
          v += owner == us ? -10 : 10;
          break;
        }
        if (behind) {
          v += owner == us ? 10 : -10;
          *support += owner == us ? 1 : -1;
          break;
        }
      } else if (code == OwnPiece(owner, WQueen) && behind) {
        *support += owner == us ? 1 : -1;
        break;
      }
    }
  }
  return v;
}

static int PasserValue(const EvalNode* n, int us, int s) {
  int them = us ^ 1, fwd = Forward(us), r = RelRank(us, s), f = SquareFile(s), v = 0;
  int enemyKing = n->king[them];
  if (Abs(SquareFile(enemyKing) - f) <= 1 && RelRank(us, enemyKing) >= r) v -= 20;
  if (r < 4) return v;
  int front = s + fwd, blocker = n->board[front];
  if (blocker && PieceSide(blocker) == them) {
    static const int byKind[8] = {0, 0, 0, -10, 0, -5, 4, 6};
    v += byKind[PieceKind(blocker)];
  }
  int support = 0;
  v += SliderSupport(n, us, s, &support);
  int middle = (PhaseCode & 2) && !n->afterCaptures;
  int general = middle ? PassedGeneralMid : PassedGeneral, freePath = middle ? PassedFreeMid : PassedFree;
  int advance = !blocker && AttackCount(n, them, front) <= AttackCount(n, us, front) + support;
  if (advance) v += (PassedByRank(general, r + 1) - PassedByRank(general, r)) / 3;
  for (int t = front; t >= 1 && t <= 64; t += fwd) {
    int code = n->board[t];
    if (!code) {
      if (AttackCount(n, us, t) + support < AttackCount(n, them, t)) return v;
    } else if (PieceSide(code) == us || AttackCount(n, us, t) <= AttackCount(n, them, t)) {
      return v;
    }
  }
  v += PassedByRank(freePath, r);
  if (advance) v += (PassedByRank(freePath, r + 1) - PassedByRank(freePath, r)) / 3;
  return v;
}

void PassedPawnTerms(EvalNode* n, int us, int s) {
  int them = us ^ 1, r = RelRank(us, s), fwd = Forward(us);
  int v = PasserValue(n, us, s);
  if (((PhaseCode & 4) || n->afterCaptures) && r >= 5 && Distance(n->king[us], s + fwd) <= 1)
    v += r == 5 ? 11 : r == 6 ? 35 : 60;
  int promotion = SquareOf(SquareFile(s), us ? 1 : 8);
  int limit = 8 - r + (n->side == them ? 1 : 0);
  if (Distance(n->king[them], promotion) > limit) {
    n->unstoppable[us]++;
    v += n->phase[them] == 0 ? 400 : 30;
  }
  n->pawnAcc[GroupPassedPawns] += Sign(us) * v;
}
