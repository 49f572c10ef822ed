// King and pawn against king: the exact result from a table solved once by retrograde
// analysis over every placement (pawn on files a-d, both kings, both sides to move).
#pragma once

// 500 when the pawn's side wins, 0 when it is a draw (or the placement is impossible).
int KpkWins(int sideToMove, int pawnSide, int strongKing, int weakKing, int pawnSquare);
// Solves the table when it is not solved yet (a few tens of milliseconds, once).
void InitKpkTable();
