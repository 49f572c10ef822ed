// Capture scores and taking moves out of the per-ply lists.
#include "board/move_order.h"
#include "board/geometry.h"
#include "board/piece_values.h"

namespace {

int LowestAttackerValue(const int8_t* board, const AttackCell* cell) {
  int lowest = PieceValue[WKing];
  for (int k = 0; k < cell->count; k++) {
    int value = PieceValue[board[cell->from[k]]];
    if (value < lowest) lowest = value;
  }
  return lowest;
}

// An own slider behind the mover on the line of its move, which recaptures after it.
bool HasXraySupporter(const Position* pos, const AttackCell* fromCell, int from, int to) {
  if (fromCell->sliders == 0) return false;
  int step = StepBetween[from][to];
  if (step == 0) return false;
  for (int k = fromCell->count - 1; k >= 0; k--) {
    int a = fromCell->from[k];
    if (IsSlider(pos->board[a]) && StepBetween[a][to] == step) return true;
  }
  return false;
}

}  // namespace

int CaptureScore(Move move, const Position* pos) {
  const int from = MoveFrom(move), mover = MovePiece(move);
  int to = MoveTo(move);
  const int side = PieceSide(mover);
  const int G = PieceValue[MoveCaptured(move)];
  const int M = PieceValue[mover];
  const int D = G - M;
  const int D16 = D / 16;
  const AttackTable* own = &pos->attacks[side];
  const AttackTable* enemy = &pos->attacks[side ^ 1];

  if (MovePromotion(move)) {
    if (enemy->cell[to].count == 0) return PieceValue[MovePromotion(move)] - M + G;
    int n = own->cell[to].count + (HasXraySupporter(pos, &own->cell[from], from, to) ? 1 : 0);
    if (n == 0) return -M - 1;
    if (n >= 2) return D16;
    return G > 0 ? D : -(M / 16);
  }
  if (move & MoveEnPassant) to = PawnAhead[side ^ 1][to];
  const AttackCell* enemyCell = &enemy->cell[to];
  const int m = enemyCell->count;
  if (m == 0) return G;
  if (own->cell[to].count != 1) {
    int L = LowestAttackerValue(pos->board, enemyCell);
    if (m == 1) return L >= M ? G : L - M + G;
    return M <= L + G ? D16 : L - M + G;
  }
  // The x-ray supporter is looked for on the move's line, before en passant moved `to`.
  if (G >= M || PieceKind(mover) == WKnight || !HasXraySupporter(pos, &own->cell[from], from, MoveTo(move))) return D;
  int L = LowestAttackerValue(pos->board, enemyCell);
  return M > L + G ? L - M + G : D16;
}

// The first entry of the best score above the threshold; the scan keeps both the score and
// the entry with conditional moves, without a data-dependent branch.
Move PickBest(int32_t threshold, MoveEntry* list) {
  MoveEntry* best = nullptr;
  int32_t bestScore = threshold;
  MoveEntry* entry = list;
  for (; entry->score != MoveListEnd; entry++) {
    const int32_t score = entry->score;
    const bool better = score > bestScore;
    best = better ? entry : best;
    bestScore = better ? score : bestScore;
  }
  if (best == nullptr) return 0;
  Move move = best->move;
  MoveEntry* last = entry - 1;
  *best = *last;
  last->score = MoveListEnd;
  return move;
}

void RemoveMove(PlyState* ps, Move move) {
  bool tactical = (move & MoveTacticalMask) != 0;
  if ((ps->listsMade & (tactical ? 1 : 2)) == 0) return;  // that list holds nothing yet
  MoveEntry* entry = tactical ? ps->tacticalBase : ps->quietBase;
  MoveEntry* found = nullptr;
  for (; entry->score != MoveListEnd; entry++)
    if (found == nullptr && entry->move == move) found = entry;
  if (found == nullptr) return;
  MoveEntry* last = entry - 1;
  *found = *last;
  last->score = MoveListEnd;
}
