#include "search/node_patterns.h"
#include <cstdlib>
#include "board/movegen.h"

static int Sign(int x) { return (x > 0) - (x < 0); }

int LineStep(int a, int b) {
  const int df = FileOf(b) - FileOf(a), dr = RankOf(b) - RankOf(a);
  if (df == 0 && dr == 0) return 0;
  if (df != 0 && dr != 0 && std::abs(df) != std::abs(dr)) return 0;
  return Sign(df) + 8 * Sign(dr);
}

// The squares next to `sq`, 0-terminated.
static int Neighbours(int sq, int out[9]) {
  int n = 0;
  for (int dr = -1; dr <= 1; dr++) {
    for (int df = -1; df <= 1; df++) {
      const int f = FileOf(sq) + df, r = RankOf(sq) + dr;
      if ((df || dr) && f >= 1 && f <= 8 && r >= 1 && r <= 8) out[n++] = SquareOf(f, r);
    }
  }
  out[n] = 0;
  return n;
}

int ThreatGain(const Position* pos, const PlyState* node) {
  const int side = node->side, other = side ^ 1;
  const AttackTable& own = pos->attacks[side];
  int around[9];
  Neighbours(pos->pieceList[other][0], around);
  for (int i = 0; around[i]; i++)
    if (own.cell[around[i]].count) return 2110;
  int gain = 0;
  for (int i = 1; pos->pieceList[other][i]; i++) {
    const int sq = pos->pieceList[other][i];
    if (sq == CapturedMark || !own.cell[sq].count) continue;
    const int value = PieceValue[pos->board[sq]];
    if (value > gain) gain = value;
  }
  return gain;
}

static int HasBackingSlider(const Position* pos, int side, int piece, int target) {
  const AttackCell& cell = pos->attacks[side].cell[piece];
  const int step = LineStep(piece, target);
  for (int i = 0; i < cell.count; i++) {
    const int a = cell.from[i];
    if (IsSlider(pos->board[a]) && LineStep(a, piece) == step) return 1;
  }
  return 0;
}

int QueenMatePattern(const Position* pos, const PlyState* node) {
  const int side = node->side, other = side ^ 1;
  const int queen = other == White ? WQueen : BQueen;
  int around[9];
  Neighbours(pos->pieceList[side][0], around);
  for (int i = 0; around[i]; i++) {
    const int sq = around[i];
    const AttackCell& enemy = pos->attacks[other].cell[sq];
    if (pos->board[sq] != 0 || enemy.sliders < 1 || pos->attacks[side].cell[sq].count > 1) continue;
    for (int j = 0; j < enemy.count; j++) {
      const int a = enemy.from[j];
      if (pos->board[a] != queen) continue;
      if (enemy.count >= 2 || HasBackingSlider(pos, other, a, sq)) return 1;
    }
  }
  return 0;
}

int KingHasFreeSquare(const Position* pos, const PlyState* node) {
  const int side = node->side;
  int around[9];
  Neighbours(pos->pieceList[side][0], around);
  for (int i = 0; around[i]; i++) {
    const int code = pos->board[around[i]];
    if (code && PieceSide(code) == side) continue;
    if (!pos->attacks[side ^ 1].cell[around[i]].count) return 1;
  }
  return 0;
}

int HasTwoFreePawnPushes(const Position* pos, const PlyState* node) {
  const int side = node->side;
  const int pawn = side == White ? WPawn : BPawn, forward = side == White ? 8 : -8;
  int free = 0;
  for (int i = 1; pos->pieceList[side][i]; i++) {
    const int sq = pos->pieceList[side][i];
    if (sq == CapturedMark || pos->board[sq] != pawn) continue;
    const int push = sq + forward;
    if (push >= 1 && push <= 64 && pos->board[push] == 0 && !pos->attacks[side ^ 1].cell[push].count && ++free >= 2)
      return 1;
  }
  return 0;
}

int SliderBehind(const Position* pos, int side, int from, int to) {
  if (pos->attacks[side].cell[from].sliders < 1) return 0;
  return HasBackingSlider(pos, side, from, to);
}

int GivesDirectCheck(const Position* pos, const PlyState* node, Move move) {
  const int king = pos->pieceList[node->side ^ 1][0];
  return PieceMissesSquare(pos->board, MoveResultPiece(move), MoveTo(move), king) == 0;
}
