#include "search/extensions.h"
#include <cstdlib>
#include "board/piece_values.h"
#include "eval/prepare_root.h"
#include "eval/running_bounds.h"
#include "search/search.h"

int ComputeExtension(const Position* pos, const PlyState* node, int depth, int alpha, int lazy) {
  const int ply = node->ply;
  if (depth + ply >= MaxSearchPly || ply == 0) return 0;
  const Move last = node[-1].move;
  const int balance = node->material[White] - node->material[Black];
  const int drift = std::abs(balance - RootBalance);
  const bool grandparentInCheck = ply >= 2 && (node[-2].flags & InCheckFlag);

  if (node->flags & InCheckFlag) {
    const int to = MoveTo(last);
    const bool heavyChecker = PieceValue[pos->board[to] & 15] >= 541 && pos->board[to] == MovePiece(last);
    if (ply <= CheckExtensionPlyLimit || heavyChecker) {
      if (!node->hangingFlag) {
        if (grandparentInCheck || drift <= 541) return 1;
      } else if (ply <= 4) {
        return 1;
      }
    }
    if (grandparentInCheck) return 1;
  }
  if (node->hangingFlag || drift > 541) return 0;

  const bool quietLine = NullDepth + VerifyDepth == 0;
  const bool noPieces = node->phaseCount[White] == 0 && node->phaseCount[Black] == 0;
  if ((last & MoveTacticalMask) && balance == RootBalance && quietLine && ply >= 2) {
    const Move previous = node[-2].move;
    if (MoveCaptured(previous) && MoveTo(previous) == MoveTo(last) &&
        PieceValue[MoveCaptured(previous)] == PieceValue[MoveCaptured(last)]) {
      const PlyState* root = node - ply;
      const bool rootHadPieces = root->phaseCount[White] + root->phaseCount[Black] > 0;
      return PawnEndingExtensionSwitch && noPieces && rootHadPieces ? 3 : 1;
    }
  }
  if (PawnEndingExtensionSwitch && PhaseWeight[MoveCaptured(last)] > 0 && quietLine && noPieces) return 1;

  const int side = node->side;
  if (lazy < alpha + PositionalMin[side]) return 0;
  // A pawn of the opponent on its seventh rank, as well supported as attacked on its square
  // and on the promotion square.
  const int pusher = side ^ 1;
  const int to = MoveTo(last);
  if (!IsPawnCode(MovePiece(last)) || RankOf(to) != (pusher == White ? 7 : 2)) return 0;
  const int promotionSquare = to + (pusher == White ? 8 : -8);
  if (pos->board[promotionSquare] != 0) return 0;
  const AttackTable& own = pos->attacks[pusher];
  const AttackTable& other = pos->attacks[side];
  return own.cell[to].count >= other.cell[to].count &&
         own.cell[promotionSquare].count >= other.cell[promotionSquare].count;
}
