// Soundness checks that keep a damaged or foreign learning record out of the
// transposition table.
#pragma once
#include <cstdint>
#include "board/types.h"
#include "search/learning_record.h"

// 1 when the record's result fields are those a search writes: a real iteration's depth,
// score and bound, and zero where the layout has zeros.
int LearningRecordFieldsAreSound(const LearningRecord* record);
// 1 when the board is playable (piece codes included), its keys are the record's keys and
// the best move is one the side to move can make on it (castling and en passant where the
// placement allows). The caller checks the piece count.
int LearnedMoveIsSound(const LearningRecord* record);

// For the record of the current root, once LearnedMoveIsSound accepted it: 1 when its best
// move is legal under the root's flags and its reply is pseudo-legal in the position after
// it, whose keys it fills in.
int LearnedReplyIsSound(const LearningRecord* record, uint32_t rootFlags, uint32_t* childKey1,
                        uint32_t* childKey2);
