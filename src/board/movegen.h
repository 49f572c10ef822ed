// Pseudo-legal move generation into the per-ply lists, move scoring and list picking.
#pragma once
#include <cstdint>
#include "board/position.h"

enum GenerateMode { GenTactical = 0, GenQuiet = 1, GenAll = 2, GenQuietChecks = 3 };

// Writes scored moves at the ply's cursors: tactical moves (captures, en passant,
// promotions; CaptureScore) and quiet moves (history scores, killers just below the end
// marker); each list ends with score MoveListEnd and its cursor then points past the marker.
// In check (0x400 with a checker present) every mode gives all evasions into both lists.
// allPromotions 0 gives queen promotions only. hashMove1 and triedHashMove2 are removed.
// Sets listsMade bits and adds to moveTotal. A stack with fewer than MaxListEntries + 1
// entries left gets an empty list instead.
void GenerateMoves(Position* pos, PlyState* ps, int mode, int allPromotions);
// Takes out and returns the first entry with the greatest score above threshold; 0 if none.
Move PickBest(int32_t threshold, MoveEntry* list);
// Takes an exact move word out of the ply's tactical (capture or promotion) or quiet list.
void RemoveMove(PlyState* ps, Move move);
// 1 when the move is a pseudo-legal move of the board: its piece on from, the captured piece
// on to (en passant: the flags' square and the pawn beside it), a reachable to-square on an
// open path, promotion exactly on the last rank, castling with right, rook and empty squares.
// The mover's side is not checked against the side to move.
int IsMovePlausible(Move move, const int8_t board[65], uint32_t flags);
// 0 when a piece of that code on from attacks to on this board, else 1.
int PieceMissesSquare(const int8_t board[65], int code, int from, int to);
// The exchange estimate of a capture or promotion from the attack tables.
int CaptureScore(Move move, const Position* pos);
