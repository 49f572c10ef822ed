// Board patterns the main and quiescence searches test at a node: threats for futility,
// the queen-mate pattern, the null-move guards and x-ray support.
#pragma once
#include "board/position.h"

// 2110 when the side to move attacks a square next to the enemy king, else the value of the
// most valuable enemy piece it attacks (0 for none).
int ThreatGain(const Position* pos, const PlyState* node);
// An empty square next to the side to move's king that the opponent attacks with a slider,
// the side defends at most once, and among whose attackers is a queen that has company or a
// slider of its own behind it on the line.
int QueenMatePattern(const Position* pos, const PlyState* node);
// The king of the side to move has a square to go to that the opponent does not attack.
int KingHasFreeSquare(const Position* pos, const PlyState* node);
// The side to move has at least two pawns that can advance to a square the opponent does
// not attack.
int HasTwoFreePawnPushes(const Position* pos, const PlyState* node);
// A slider of `side` stands behind its piece on `from`, on the line from `from` to `to`.
int SliderBehind(const Position* pos, int side, int from, int to);
// The piece landing on `to` (MoveResultPiece) attacks the enemy king from there on the
// current board.
int GivesDirectCheck(const Position* pos, const PlyState* node, Move move);
// A quiet check of the quiescence search into a square the opponent attacks is searched
// only next to the enemy king and with support (a second attacker of the square, or a slider
// behind a piece other than a knight); into a square attacked twice, never.
int QuietCheckWorthSearching(const Position* pos, const PlyState* node, Move move);
