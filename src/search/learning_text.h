// A learning record as one line of text, for people reading what the engine learned.
#pragma once
#include "search/learning_record.h"

constexpr int LearningTextSize = 256;

// "<FEN> best e2e4 reply e7e5 score 25 depth 9 bound exact signature 1a2b3c4d": the FEN
// of the stored board and side to move (castling and en passant are not stored, so "-"),
// moves in coordinate text ("-" for none). Bytes that are no piece, side, move or bound
// show as "?", so a damaged record prints as safely as a sound one.
void LearningRecordText(const LearningRecord* record, char out[LearningTextSize]);
