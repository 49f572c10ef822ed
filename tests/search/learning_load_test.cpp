#include <gtest/gtest.h>
#include <sys/stat.h>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "board/fen.h"
#include "board/geometry.h"
#include "board/keys.h"
#include "board/make_move.h"
#include "board/move_text.h"
#include "board/test_fens.h"
#include "protocol/options.h"
#include "search/learned_list.h"
#include "search/learning.h"
#include "search/learning_load.h"
#include "search/learning_file.h"
#include "search/learning_temp_dir.h"
#include "search/settings_signature.h"
#include "search/trans_table.h"

// The start position with seven pawns of each side one step forward: 28 squares differ.
static const char Shifted28[] = "rnbqkbnr/7p/ppppppp1/8/8/PPPPPPP1/7P/RNBQKBNR w KQkq - 0 1";
// The same without the knight on b1: 29 squares differ.
static const char Shifted29[] = "rnbqkbnr/7p/ppppppp1/8/8/PPPPPPP1/7P/R1BQKBNR w KQkq - 0 1";

// The search position on a FEN, with a transposition table of the fixture's own.
class LearningLoad : public LearningTempDir {
 protected:
  static constexpr uint32_t Size = 8192;
  void SetUp() override {
    LearningTempDir::SetUp();
    BuildGeometryTables();
    SetOptionDefaults();
    saved_ = {TransTableA[0], TransTableA[1], TransTableB[0], TransTableB[1]};
    savedSize_ = TransSize;
    for (auto& t : tables_) t.assign(Size, TransEntry{0, 0, 0, 0});
    TransTableA[0] = tables_[0].data(), TransTableA[1] = tables_[1].data();
    TransTableB[0] = tables_[2].data(), TransTableB[1] = tables_[3].data();
    TransSize = Size;
    pos_.reset(new Position());
    SetRoot(StartFen);
  }
  void TearDown() override {
    ClearLearnedList();
    TransTableA[0] = saved_[0], TransTableA[1] = saved_[1];
    TransTableB[0] = saved_[2], TransTableB[1] = saved_[3];
    TransSize = savedSize_;
    SetOptionDefaults();
    LearningTempDir::TearDown();
  }
  void SetRoot(const char* fen) {
    RootState state;
    ASSERT_TRUE(ParseFen(fen, pos_->board, &state));
    root_ = &pos_->plies[0];
    root_->side = int8_t(state.side);
    root_->flags = state.flags;
    ComputeKeys(pos_->board, &root_->key1, &root_->key2);
  }
  // A record as a search of `fen` under the current options would store it.
  static LearningRecord Record(const char* fen, const char* best, const char* reply = nullptr, int score = 30,
                               int depth = 8, uint8_t bound = 0) {
    LearningRecord r;
    memset(&r, 0, sizeof r);
    RootState state;
    EXPECT_TRUE(ParseFen(fen, r.board, &state));
    r.board[0] = 0;
    r.side = uint8_t(state.side);
    ComputeKeys(r.board, &r.slotKey, &r.lock);
    for (int sq = 1; sq <= 64; sq++) r.pieceCount += r.board[sq] != 0;
    r.bestMove = ParseMoveText(r.board, best, state.side);
    EXPECT_NE(r.bestMove, 0u) << best;
    if (reply) {
      int8_t after[65];
      memcpy(after, r.board, sizeof after);
      after[MoveTo(r.bestMove)] = after[MoveFrom(r.bestMove)];
      after[MoveFrom(r.bestMove)] = 0;
      r.reply = ParseMoveText(after, reply, state.side ^ 1);
      EXPECT_NE(r.reply, 0u) << reply;
    }
    r.score = int16_t(score);
    r.depth = int8_t(depth);
    r.bound = bound;
    r.signature = SettingsSignature();
    return r;
  }
  void Write(const std::vector<LearningRecord>& records) {
    for (const LearningRecord& r : records) ASSERT_TRUE(AppendLearningRecord(Path(), &r));
  }
  int Load() { return LoadLearningFrom(Path(), pos_.get(), root_); }
  // The table-A entry for a record's position, when there is one.
  static int Entry(const LearningRecord& r, TransEntry* out) {
    return ReadTransEntry(TransSlotA(r.side, r.slotKey), r.lock, out);
  }
  static int TableIsEmpty() {
    for (int t = 0; t < 2; t++)
      for (uint32_t i = 0; i < Size; i++)
        if (TransTableA[t][i].lock || TransTableA[t][i].data || TransTableA[t][i].move) return 0;
    return 1;
  }

  std::unique_ptr<Position> pos_;
  PlyState* root_ = nullptr;
  std::vector<TransEntry> tables_[4];
  std::vector<TransEntry*> saved_;
  uint32_t savedSize_ = 0;
};

TEST_F(LearningLoad, RootRecordGivesTheMoveAndTheReplyEntry) {
  LearningRecord r = Record(StartFen, "e2e4", "c7c5", 45, 9, LearnedLowerBound);
  Write({r});
  EXPECT_EQ(Load(), 1);
  EXPECT_EQ(LearnedRootMove(), r.bestMove);
  TransEntry e;
  ASSERT_TRUE(Entry(r, &e));
  EXPECT_EQ(e.move, r.bestMove);
  EXPECT_EQ(e.move2, 0u);
  EXPECT_EQ(EntryScore(e), 45);
  EXPECT_EQ(EntryDepth(e), 9);
  EXPECT_TRUE(EntryIsLower(e));
  EXPECT_EQ(EntryGeneration(e), 0u);

  SetRoot("rnbqkbnr/pppppppp/8/8/4P3/8/PPPP1PPP/RNBQKBNR b KQkq e3 0 1");
  TransEntry child;
  ASSERT_TRUE(ReadTransEntry(TransSlotA(Black, root_->key1), root_->key2, &child));
  EXPECT_EQ(child.move, r.reply);
  EXPECT_EQ(EntryScore(child), -45);
  EXPECT_EQ(EntryDepth(child), 8);
  EXPECT_TRUE(EntryIsUpper(child));
  EXPECT_EQ(EntryGeneration(child), 0u);
}

TEST_F(LearningLoad, StoredSearchIsLoadedByTheNextSearchOfThePosition) {
  BeginLearningSearch(0);
  NoteFirstMoveResult(3, -80, -25, 25);
  NoteLearningLine(ParseMoveText(pos_->board, "d2d4", White), 12, 6, 0);
  StoreLearningTo(Path(), pos_.get(), root_, ParseMoveText(pos_->board, "d7d5", Black), 1, 0);
  ASSERT_EQ(CountLearningRecords(Path()), 1);
  EXPECT_EQ(Load(), 1);
  TransEntry e;
  ASSERT_TRUE(ReadTransEntry(TransSlotA(White, root_->key1), root_->key2, &e));
  EXPECT_EQ(e.move, ParseMoveText(pos_->board, "d2d4", White));
  EXPECT_EQ(EntryDepth(e), 6);
}

TEST_F(LearningLoad, NothingIsLoadedWithLearningOff) {
  Write({Record(StartFen, "e2e4", "e7e5")});
  PositionLearning = 0;
  EXPECT_EQ(Load(), 0);
  EXPECT_TRUE(TableIsEmpty());
}

TEST_F(LearningLoad, RecordUnderOtherSettingsIsNeverLoaded) {
  LearningRecord r = Record(StartFen, "e2e4", "e7e5");
  Write({r});
  OptionWeights[WeightKingSafety] = 150;
  EXPECT_EQ(Load(), 0);
  OptionWeights[WeightKingSafety] = 100;
  EXPECT_TRUE(TableIsEmpty());
}

TEST_F(LearningLoad, BoardsDifferingOn29SquaresAreNotLoaded) {
  LearningRecord near = Record(Shifted28, "h2h4");
  LearningRecord far = Record(Shifted29, "h2h4");
  Write({near, far});
  EXPECT_EQ(Load(), 0);  // neither is the root itself
  EXPECT_EQ(LearnedRootMove(), 0u);
  TransEntry e;
  EXPECT_TRUE(Entry(near, &e));
  EXPECT_FALSE(Entry(far, &e));
}

TEST_F(LearningLoad, RootMayHaveUpToTenPiecesMoreThanTheRecord) {
  // 22 and 21 pieces: the start position without ten or eleven of its pieces.
  LearningRecord ten = Record("r3k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQkq - 0 1", "a1b1");
  LearningRecord eleven = Record("4k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQk - 0 1", "a1b1");
  Write({ten, eleven});
  Load();
  TransEntry e;
  EXPECT_TRUE(Entry(ten, &e));
  EXPECT_FALSE(Entry(eleven, &e));
  // A root with fewer pieces than the record loads nothing of it.
  SetRoot("4k2r/pppppppp/8/8/8/8/PPPPPPPP/R3K2R w KQk - 0 1");
  memset(tables_[0].data(), 0, Size * sizeof(TransEntry));
  Load();
  EXPECT_FALSE(Entry(ten, &e));
}

// Damaged records of the root position: none may reach the table.
struct DamageCase {
  const char* name;
  void (*damage)(LearningRecord* r);
};

static const DamageCase DamageCases[] = {
    {"rook through its own pawn", [](LearningRecord* r) { r->bestMove = MakeMoveWord(1, 17, WRook); }},
    {"bishop moving like a rook", [](LearningRecord* r) {
       r->board[11] = 0;
       r->bestMove = MakeMoveWord(3, 19, WBishop);
       r->pieceCount--;
       ComputeKeys(r->board, &r->slotKey, &r->lock);
     }},
    {"knight that is not there", [](LearningRecord* r) { r->bestMove = MakeMoveWord(19, 36, WKnight); }},
    {"mover of the other side", [](LearningRecord* r) { r->bestMove = MakeMoveWord(53, 45, BPawn); }},
    {"square beyond the board", [](LearningRecord* r) { r->bestMove = MakeMoveWord(13, 93, WPawn); }},
    {"castling through pieces", [](LearningRecord* r) { r->bestMove = 0x8400385; }},
    {"keys of another board", [](LearningRecord* r) { r->lock ^= 1; }},
    {"slot key of another board", [](LearningRecord* r) { r->slotKey += 1; }},
    {"piece code that does not exist", [](LearningRecord* r) {
       r->board[40] = 12;
       r->pieceCount++;
       ComputeKeys(r->board, &r->slotKey, &r->lock);
     }},
    {"two white kings", [](LearningRecord* r) {
       r->board[36] = WKing;
       r->pieceCount++;
       ComputeKeys(r->board, &r->slotKey, &r->lock);
     }},
    {"side byte 2", [](LearningRecord* r) { r->side = 2; }},
    {"wrong piece count", [](LearningRecord* r) { r->pieceCount = 31; }},
    {"depth 0", [](LearningRecord* r) { r->depth = 0; }},
    {"bound byte with a generation", [](LearningRecord* r) { r->bound = 0x45; }},
    {"second move set", [](LearningRecord* r) { r->secondMove = 5; }},
};

TEST_F(LearningLoad, DamagedRecordsNeverReachTheTable) {
  for (const DamageCase& c : DamageCases) {
    for (auto& t : tables_) std::fill(t.begin(), t.end(), TransEntry{0, 0, 0, 0});
    std::filesystem::remove(path_);
    LearningRecord r = Record(StartFen, "e2e4", "e7e5");
    c.damage(&r);
    Write({r});
    EXPECT_EQ(Load(), 0) << c.name;
    EXPECT_TRUE(TableIsEmpty()) << c.name;
  }
}

TEST_F(LearningLoad, GarbageAndTruncatedFilesLoadNothing) {
  FILE* f = fopen(Path(), "wb");
  uint32_t x = 12345;
  for (int i = 0; i < 96 * 500 + 50; i++) {
    x = x * 1103515245 + 12345;
    fputc(int(x >> 24), f);
  }
  fclose(f);
  EXPECT_EQ(Load(), 0);
  EXPECT_TRUE(TableIsEmpty());

  std::filesystem::remove(path_);
  LearningRecord r = Record(StartFen, "e2e4", "e7e5");
  uint8_t bytes[LearningRecordSize];
  EncodeLearningRecord(&r, bytes);
  f = fopen(Path(), "wb");
  fwrite(bytes, 1, 60, f);  // cut mid-record
  fclose(f);
  EXPECT_EQ(Load(), 0);
  EXPECT_TRUE(TableIsEmpty());
}

TEST_F(LearningLoad, UnreadableFileLoadsNothing) {
  ASSERT_EQ(mkdir(Path(), 0755), 0);
  EXPECT_EQ(Load(), 0);
  EXPECT_TRUE(TableIsEmpty());
}

TEST_F(LearningLoad, UnsoundReplyKeepsTheMoveButNotTheReplyEntry) {
  LearningRecord r = Record(StartFen, "e2e4", "e7e5");
  r.reply = MakeMoveWord(60, 33, BQueen);  // d8a4 through the pawns
  Write({r});
  EXPECT_EQ(Load(), 0);
  TransEntry e;
  EXPECT_TRUE(Entry(r, &e));
  int nonEmpty = 0;
  for (uint32_t i = 0; i < Size; i++) nonEmpty += TransTableA[Black][i].lock != 0;
  EXPECT_EQ(nonEmpty, 0);
}

TEST_F(LearningLoad, PermanentEntriesStayAndDisplacedEntriesMoveToTableB) {
  LearningRecord r = Record(StartFen, "e2e4", "e7e5");
  TransEntry* a = TransSlotA(White, r.slotKey);
  WriteTransEntry(a, 0x5EED, 0x99, 0, PackTransData(1, 3, 1));
  Write({r});
  Load();
  TransEntry e;
  EXPECT_TRUE(ReadTransEntry(a, 0x5EED, &e));  // generation 1 is kept

  WriteTransEntry(a, 0x5EED, 0x99, 0, PackTransData(1, 3, 9));
  Load();
  EXPECT_TRUE(Entry(r, &e));
  EXPECT_TRUE(ReadTransEntry(TransSlotB(White, r.slotKey), 0x5EED, &e));
  EXPECT_EQ(e.move, 0x99u);
}

TEST_F(LearningLoad, PreferOpenPositionsLoadsOnlyTheRootsSideToMove) {
  PreferOpenPositions = 1;
  LearningRecord white = Record(Shifted28, "h2h4");
  LearningRecord black = Record("rnbqkbnr/7p/ppppppp1/8/8/PPPPPPP1/7P/RNBQKBNR b KQkq - 0 1", "h7h5");
  Write({white, black});
  Load();
  TransEntry e;
  EXPECT_TRUE(Entry(white, &e));
  EXPECT_FALSE(Entry(black, &e));
}

TEST_F(LearningLoad, OnlyTheLastHalfTableOfRecordsIsRead) {
  std::vector<LearningRecord> records = {Record(StartFen, "e2e4", "e7e5")};
  LearningRecord other = Record(Shifted28, "h2h4");
  other.signature ^= 1;
  records.insert(records.end(), Size / 2, other);
  Write(records);
  EXPECT_EQ(Load(), 0);
  records.pop_back();
  std::filesystem::remove(path_);
  Write(records);
  EXPECT_EQ(Load(), 1);
}
