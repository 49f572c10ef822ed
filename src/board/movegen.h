// Pseudo-legal move generation into the per-ply lists, move scoring and list picking.
#pragma once
#include <cstdint>
#include "board/position.h"

enum GenerateMode { GenTactical = 0, GenQuiet = 1, GenAll = 2, GenQuietChecks = 3 };

void GenerateMoves(Position* pos, PlyState* ps, int mode, int allPromotions);
Move PickBest(int32_t threshold, MoveEntry* list);
void RemoveMove(PlyState* ps, Move move);
int IsMovePlausible(Move move, const int8_t board[65], uint32_t flags);
int PieceMissesSquare(const int8_t board[65], int code, int from, int to);
int SameDiagonal(int a, int b);
int CaptureScore(Move move, const Position* pos);
