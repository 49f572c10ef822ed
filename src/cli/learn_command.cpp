#include "cli/learn_command.h"

#include <cstdio>
#include <cstring>

#include "board/move_text.h"
#include "protocol/options.h"
#include "search/learning_file.h"
#include "search/settings_signature.h"

static const char DefaultLearningFile[] = "kestrane.pl2";

// Piece letters by code; '?' marks a byte that is no piece code.
static const char PieceLetters[17] = "?KPN?BRQ?kpn?brq";

// Placement and side to move of a record's board; bytes that hold no piece show as '?'.
static void BoardText(const LearningRecord* record, char* out) {
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
  out[n++] = ' ';
  out[n++] = record->side == 0 ? 'w' : record->side == 1 ? 'b' : '?';
  out[n] = 0;
}

// Coordinate text of a stored move; "-" for none and "?" for a word no move can have.
static void StoredMoveText(Move move, char* out) {
  if (move == 0) {
    strcpy(out, "-");
    return;
  }
  int from = MoveFrom(move), to = MoveTo(move);
  if (from < 1 || from > 64 || to < 1 || to > 64) {
    strcpy(out, "?");
    return;
  }
  char text[16];
  MoveToText(text, move);
  strcpy(out, text[0] == ' ' ? text + 1 : text);
}

static const char* BoundText(uint8_t bound) {
  if (bound == 0) return "exact";
  if (bound == LearnedUpperBound) return "upper";
  if (bound == LearnedLowerBound) return "lower";
  return "?";
}

static void PrintRecord(const LearningRecord* record, void*) {
  char board[128], best[16], reply[16];
  BoardText(record, board);
  StoredMoveText(record->bestMove, best);
  StoredMoveText(record->reply, reply);
  printf("%s best %s reply %s score %d depth %d bound %s signature %08x\n", board, best, reply,
         record->score, record->depth, BoundText(record->bound), unsigned(record->signature));
}

struct LearningStats {
  uint32_t signature;
  int64_t matching;
};

static void CountMatching(const LearningRecord* record, void* context) {
  LearningStats* stats = static_cast<LearningStats*>(context);
  if (record->signature == stats->signature) stats->matching++;
}

static int Usage() {
  fprintf(stderr, "usage: kestrane learn list|stats [FILE]\n");
  return 2;
}

int LearnCommand(int argc, char** argv) {
  if (argc < 2 || argc > 3) return Usage();
  const char* path = argc == 3 ? argv[2] : DefaultLearningFile;
  int list = strcmp(argv[1], "list") == 0;
  if (!list && strcmp(argv[1], "stats") != 0) return Usage();

  SetOptionDefaults();
  LearningStats stats = {SettingsSignature(), 0};
  int64_t records = list ? ReadLearningRecords(path, 0, PrintRecord, nullptr)
                         : ReadLearningRecords(path, 0, CountMatching, &stats);
  if (records < 0) {
    fprintf(stderr, "kestrane learn: cannot read %s\n", path);
    return 1;
  }
  if (!list) {
    printf("records %lld\n", static_cast<long long>(records));
    printf("matching %lld (signature %08x, default options)\n", static_cast<long long>(stats.matching),
           unsigned(stats.signature));
  }
  return 0;
}
