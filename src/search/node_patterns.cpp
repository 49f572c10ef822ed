#include "search/node_patterns.h"
#include <algorithm>
#include <cstdlib>
#include "board/geometry.h"
#include "board/move_checks.h"
#include "board/piece_values.h"

int ThreatGain(const Position* pos, const PlyState* node) {
  const int side = node->side, other = side ^ 1;
  const AttackTable& own = pos->attacks[side];
  for (const uint8_t* t = KingTargets[pos->pieceList[other][0]]; *t; t++)
    if (own.cell[*t].count) return 2110;
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
  const int step = StepBetween[piece][target];
  for (int i = 0; i < cell.count; i++) {
    const int a = cell.from[i];
    if (IsSlider(pos->board[a]) && StepBetween[a][piece] == step) return 1;
  }
  return 0;
}

int QueenMatePattern(const Position* pos, const PlyState* node) {
  const int side = node->side, other = side ^ 1;
  const int queen = other == White ? WQueen : BQueen;
  for (const uint8_t* t = KingTargets[pos->pieceList[side][0]]; *t; t++) {
    const int sq = *t;
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
  for (const uint8_t* t = KingTargets[pos->pieceList[side][0]]; *t; t++) {
    const int code = pos->board[*t];
    if (code && PieceSide(code) == side) continue;
    if (!pos->attacks[side ^ 1].cell[*t].count) return 1;
  }
  return 0;
}

int HasTwoFreePawnPushes(const Position* pos, const PlyState* node) {
  const int side = node->side;
  const int pawn = side == White ? WPawn : BPawn;
  int free = 0;
  for (int i = 1; pos->pieceList[side][i]; i++) {
    const int sq = pos->pieceList[side][i];
    if (sq == CapturedMark || pos->board[sq] != pawn) continue;
    const int push = PawnAhead[side][sq];
    if (push && pos->board[push] == 0 && !pos->attacks[side ^ 1].cell[push].count && ++free >= 2)
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

static int KingDistance(int a, int b) {
  return std::max(std::abs(FileOf(a) - FileOf(b)), std::abs(RankOf(a) - RankOf(b)));
}

int QuietCheckWorthSearching(const Position* pos, const PlyState* node, Move move) {
  const int side = node->side, other = side ^ 1;
  const int from = MoveFrom(move), to = MoveTo(move);
  const int defenders = pos->attacks[other].cell[to].count;
  if (defenders == 0) return 1;
  if (defenders >= 2) return 0;
  if (KingDistance(to, pos->pieceList[other][0]) != 1) return 0;
  if (pos->attacks[side].cell[to].count >= 2) return 1;
  return PieceKind(MovePiece(move)) != PieceKind(WKnight) && SliderBehind(pos, side, from, to);
}
