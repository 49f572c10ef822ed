#include "search/learning_text.h"

#include <cstdio>
#include <cstring>

#include "board/move_text.h"

// Piece letters by code; '?' marks a byte that is no piece code.
static const char PieceLetters[17] = "?KPN?BRQ?kpn?brq";

static int BoardText(const LearningRecord* record, char* out) {
  int n = 0;
  for (int rank = 8; rank >= 1; rank--) {
    int empty = 0;
    for (int file = 1; file <= 8; file++) {
      int code = record->board[SquareOf(file, rank)];
      if (code == 0) {
        empty++;
        continue;
      }
      if (empty) out[n++] = char('0' + empty), empty = 0;
      out[n++] = code > 0 && code < 16 ? PieceLetters[code] : '?';
    }
    if (empty) out[n++] = char('0' + empty);
    if (rank > 1) out[n++] = '/';
  }
  out[n] = 0;
  return n;
}

static void StoredMoveText(Move move, char* out) {
  int from = MoveFrom(move), to = MoveTo(move);
  if (move == 0) {
    strcpy(out, "-");
  } else if (from < 1 || from > 64 || to < 1 || to > 64) {
    strcpy(out, "?");
  } else {
    char text[16];
    MoveToText(text, move);
    strcpy(out, text[0] == ' ' ? text + 1 : text);
  }
}

static const char* BoundText(uint8_t bound) {
  if (bound == 0) return "exact";
  if (bound == LearnedUpperBound) return "upper";
  if (bound == LearnedLowerBound) return "lower";
  return "?";
}

void LearningRecordText(const LearningRecord* record, char out[LearningTextSize]) {
  char board[80], best[16], reply[16];
  BoardText(record, board);
  StoredMoveText(record->bestMove, best);
  StoredMoveText(record->reply, reply);
  const char* side = record->side == 0 ? "w" : record->side == 1 ? "b" : "?";
  snprintf(out, LearningTextSize, "%s %s - - 0 1 best %s reply %s score %d depth %d bound %s signature %08x", board,
           side, best, reply, record->score, record->depth, BoundText(record->bound), unsigned(record->signature));
}
