// Pseudo-legal move generation into the per-ply lists.
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
