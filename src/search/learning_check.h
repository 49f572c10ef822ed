// Soundness checks that keep a damaged or foreign learning record out of the
// transposition table.
#pragma once
#include <cstdint>
#include "board/types.h"
#include "search/learning_record.h"

// 1 when the record's fields are those a search writes: a playable board whose keys are
// the record's keys and whose piece count is the record's, a result of a real iteration,
// and a best move the side to move can make on that board.
int LearningRecordIsSound(const LearningRecord* record);

// For the record of the current root: 1 when its best move is pseudo-legal and legal under
// the root's flags and its reply is pseudo-legal in the position after it. Fills the
// position keys after the best move and the flags it leaves.
int LearnedReplyIsSound(const LearningRecord* record, uint32_t rootFlags, uint32_t* childKey1,
                        uint32_t* childKey2);
