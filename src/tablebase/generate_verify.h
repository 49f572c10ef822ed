// The check of a finished table that does not trust the retrograde pass: every position is
// set up on the engine's own board, its legal moves come from the engine's move generation,
// and its value must be the best of its successors' values (mate and stalemate when it has
// no legal move).
#pragma once
#include <cstdint>

#include "tablebase/generate_retro.h"

// Checks [begin, end) of 2 × sideSize numbers; counts disagreements in job->mismatches.
void GenVerifyRange(GenJob* job, uint64_t begin, uint64_t end);
