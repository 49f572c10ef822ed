// Capture scores and taking moves out of the per-ply lists.
#pragma once
#include <cstdint>
#include "board/position.h"

// Takes out and returns the first entry with the greatest score above threshold; 0 if none.
Move PickBest(int32_t threshold, MoveEntry* list);
// Takes an exact move word out of the ply's tactical (capture or promotion) or quiet list.
void RemoveMove(PlyState* ps, Move move);
// The exchange estimate of a capture or promotion from the attack tables.
int CaptureScore(Move move, const Position* pos);
