#include "board/option_values.h"
#include "search/learning_load.h"
#include "search/learning_check.h"
#include "search/learning_file.h"
#include "search/settings_signature.h"
#include "search/trans_table.h"

constexpr int MaxPieceSurplus = 10;   // the root may have up to this many more pieces
constexpr int MaxDifferingSquares = 28;

struct LearningLoad {
  const Position* pos;
  const PlyState* root;
  uint32_t signature;
  int pieces;
  int rootFound;
  Move rootMove;
  Move checkedBest, checkedReply;  // the root reply checked last, with its verdict
  int replySound;
  uint32_t childKey1, childKey2;
};

// Writes a sealed entry into a table-A slot unless the slot holds a permanent entry; the
// entry it displaces moves to table B when it belongs to another position.
static void PlaceLearnedEntry(int side, uint32_t key1, uint32_t key2, Move move, uint32_t data) {
  TransEntry* a = TransSlotA(side, key1);
  if (EntryGeneration(*a) == 1) return;
  TransEntry old = *a;
  int empty = !old.lock && !old.move && !old.move2 && !old.data;
  if (!empty && EntryKey(old) != key2) *TransSlotB(side, key1) = old;
  WriteTransEntry(a, key2, move, 0, data);
}

static uint32_t ReversedBound(uint8_t bound) {
  if (bound == LearnedUpperBound) return LearnedLowerBound;
  if (bound == LearnedLowerBound) return LearnedUpperBound;
  return 0;
}

static void LoadRecord(const LearningRecord* record, void* context) {
  LearningLoad* load = static_cast<LearningLoad*>(context);
  if (record->signature != load->signature) return;
  if (PreferOpenPositions && record->side != load->root->side) return;
  if (load->pieces < record->pieceCount || load->pieces > record->pieceCount + MaxPieceSurplus) return;
  int differing = 0, pieces = 0;
  for (int sq = 1; sq <= 64; sq++) {
    differing += record->board[sq] != load->pos->board[sq];
    pieces += record->board[sq] != 0;
  }
  if (differing > MaxDifferingSquares || pieces != record->pieceCount) return;
  if (!LearningRecordFieldsAreSound(record) || !LearnedMoveIsSound(record)) return;

  PlaceLearnedEntry(record->side, record->slotKey, record->lock, record->bestMove,
                    LearnedEntryWord3(record));

  const PlyState* root = load->root;
  int isRoot = differing == 0 && record->slotKey == root->key1 && record->lock == root->key2 &&
               record->side == root->side;
  if (!isRoot || !record->reply) return;
  // The root's records differ at most in their results: check each reply once.
  if (record->bestMove != load->checkedBest || record->reply != load->checkedReply) {
    load->checkedBest = record->bestMove;
    load->checkedReply = record->reply;
    load->replySound = LearnedReplyIsSound(record, root->flags, &load->childKey1, &load->childKey2);
  }
  if (!load->replySound) return;
  load->rootFound = 1;
  load->rootMove = record->bestMove;
  int childDepth = record->depth - 1;
  uint32_t data = PackTransData(-record->score, childDepth, ReversedBound(record->bound));
  PlaceLearnedEntry(record->side ^ 1, load->childKey1, load->childKey2, record->reply, data);
}

static Move LearnedMove;

Move LearnedRootMove() { return LearnedMove; }

int LoadLearningFrom(const char* path, Position* pos, PlyState* root) {
  LearnedMove = 0;
  if (!PositionLearning || !TransSize || !TransTableA[0] || !TransTableA[1]) return 0;
  int64_t count = CountLearningRecords(path);
  if (count <= 0) return 0;
  LearningLoad load;
  load.pos = pos;
  load.root = root;
  load.signature = SettingsSignature();
  load.pieces = 0;
  for (int sq = 1; sq <= 64; sq++) load.pieces += pos->board[sq] != 0;
  load.rootFound = 0;
  load.rootMove = 0;
  load.checkedBest = load.checkedReply = 0;
  load.replySound = 0;
  load.childKey1 = load.childKey2 = 0;
  int64_t first = count - int64_t(TransSize / 2);
  ReadLearningRecords(path, first < 0 ? 0 : first, LoadRecord, &load);
  LearnedMove = load.rootMove;
  return load.rootFound;
}
