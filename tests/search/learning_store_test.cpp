#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <vector>

#include "protocol/options.h"
#include "search/learning.h"
#include "search/learning_file.h"
#include "search/learning_temp_dir.h"
#include "search/settings_signature.h"

// A root of a few pieces with made-up keys: storing reads only the board and the root's
// keys and side.
class LearningStore : public LearningTempDir {
 protected:
  void SetUp() override {
    LearningTempDir::SetUp();
    SetOptionDefaults();
    pos_.reset(new Position());
    pos_->board[5] = WKing;
    pos_->board[61] = BKing;
    pos_->board[12] = WPawn;
    root_ = &pos_->plies[0];
    root_->side = Black;
    root_->key1 = 0x01020304;
    root_->key2 = 0xA0B0C0D0;
    BeginLearningSearch(0);
  }
  void TearDown() override {
    SetOptionDefaults();
    LearningTempDir::TearDown();
  }
  void Store(Move reply = 0x77, int clockAllows = 1, int bestRepeats = 0) {
    StoreLearningTo(Path(), pos_.get(), root_, reply, clockAllows, bestRepeats);
  }
  int64_t Stored() { return CountLearningRecords(Path()); }
  // Whether the search so far is worth a record: one line reported, then the store.
  int StoresARecord() {
    NoteLearningLine(0x55, 10, 1, 0);
    int64_t before = Stored();
    Store();
    return int(Stored() - before);
  }
  LearningRecord Last() {
    std::vector<LearningRecord> all;
    ReadLearningRecords(Path(), 0, [](const LearningRecord* r, void* c) {
      static_cast<std::vector<LearningRecord>*>(c)->push_back(*r);
    }, &all);
    return all.back();
  }

  std::unique_ptr<Position> pos_;
  PlyState* root_ = nullptr;
};

TEST_F(LearningStore, UnsurprisingSearchStoresNothing) {
  for (int d = 1; d <= 8; d++) {
    NoteFirstMoveResult(d, 10, -15, 35);
    NoteLearningLine(0x55, 10, d, 0);
    NoteIterationEnd(d, 10, 100 * d);
  }
  Store();
  EXPECT_EQ(Stored(), 0);
}

struct SurpriseCase {
  const char* name;
  void (*event)();
  int relevant;
};

static const SurpriseCase SurpriseCases[] = {
    {"fail low by 36 at depth 3", [] { NoteFirstMoveResult(3, -61, -25, 25); }, 1},
    {"fail low by 35 at depth 3", [] { NoteFirstMoveResult(3, -60, -25, 25); }, 0},
    {"fail high by 36 at depth 4", [] { NoteFirstMoveResult(4, 61, -25, 25); }, 1},
    {"fail low by 90 at depth 2", [] { NoteFirstMoveResult(2, -115, -25, 25); }, 0},
    {"second fail at depth 3", [] { NoteRepeatedFail(3); }, 1},
    {"second fail at depth 2", [] { NoteRepeatedFail(2); }, 0},
    {"new best at depth 3", [] { NoteNewBestMove(3); }, 1},
    {"new best at depth 2", [] { NoteNewBestMove(2); }, 0},
    {"iteration ends after 3001 ms", [] { NoteIterationEnd(1, 0, 3001); }, 1},
    {"iteration ends after 3000 ms", [] { NoteIterationEnd(1, 0, 3000); }, 0},
    {"swing of 51 at depth 5", [] {
       for (int d = 1; d <= 4; d++) NoteIterationEnd(d, 20, 10);
       NoteIterationEnd(5, 71, 10);
     }, 1},
    {"swing of 50 at depth 5", [] {
       for (int d = 1; d <= 4; d++) NoteIterationEnd(d, 20, 10);
       NoteIterationEnd(5, -30, 10);
     }, 0},
    {"swing of 80 at depth 4", [] {
       for (int d = 1; d <= 3; d++) NoteIterationEnd(d, 20, 10);
       NoteIterationEnd(4, 100, 10);
     }, 0},
    {"won all along", [] {
       NoteNewBestMove(3);
       for (int d = 1; d <= 6; d++) NoteIterationEnd(d, 450, 10);
     }, 0},
    {"lost all along", [] {
       NoteNewBestMove(3);
       for (int d = 1; d <= 6; d++) NoteIterationEnd(d, -450, 10);
     }, 0},
    {"won only lately", [] {
       NoteIterationEnd(1, 390, 10);
       NoteNewBestMove(3);
       NoteIterationEnd(3, 450, 10);
     }, 1},
    {"exactly 400 is not settled", [] {
       NoteNewBestMove(3);
       NoteIterationEnd(3, 400, 10);
     }, 1},
};

TEST_F(LearningStore, SurprisesMarkTheSearchAndSettledScoresClearIt) {
  for (const SurpriseCase& c : SurpriseCases) {
    BeginLearningSearch(0);
    c.event();
    EXPECT_EQ(StoresARecord(), c.relevant) << c.name;
  }
  BeginLearningSearch(1);
  EXPECT_EQ(StoresARecord(), 1) << "loaded root";
}

TEST_F(LearningStore, SurprisingSearchAppendsExactlyOneRecord) {
  DrawScore = -20;
  NoteLearningLine(0x1111, 5, 3, 2);
  NoteFirstMoveResult(3, -61, -25, 25);
  NoteLearningLine(0x2222, -61, 3, 1);
  NoteLearningLine(0x3333, -40, 4, 0);
  Store(0x4444);
  Store(0x4444);
  ASSERT_EQ(Stored(), 1);
  LearningRecord r = Last();
  EXPECT_EQ(r.lock, 0xA0B0C0D0u);
  EXPECT_EQ(r.slotKey, 0x01020304u);
  EXPECT_EQ(r.bestMove, 0x3333u);
  EXPECT_EQ(r.score, -60);  // -40 plus the draw score
  EXPECT_EQ(r.depth, 4);
  EXPECT_EQ(r.bound, 0);
  EXPECT_EQ(r.side, Black);
  EXPECT_EQ(r.pieceCount, 3);
  EXPECT_EQ(r.reply, 0x4444u);
  EXPECT_EQ(r.signature, SettingsSignature());
  EXPECT_EQ(r.board[12], WPawn);
  EXPECT_EQ(r.board[61], BKing);
}

TEST_F(LearningStore, BoundKindsMapToTheEntryBits) {
  struct { int kind; uint8_t bound; } kinds[] = {{0, 0}, {1, LearnedUpperBound}, {2, LearnedLowerBound}, {5, 0}};
  for (auto k : kinds) {
    BeginLearningSearch(1);
    NoteLearningLine(0x10, 0, 2, k.kind);
    Store();
    EXPECT_EQ(Last().bound, k.bound) << "kind " << k.kind;
  }
}

struct RefusalCase {
  const char* name;
  int learningOption, clockAllows, bestRepeats, haveBest;
};

TEST_F(LearningStore, StoreNeedsEveryCondition) {
  const RefusalCase cases[] = {
      {"learning off", 0, 1, 0, 1},
      {"short clock", 1, 0, 0, 1},
      {"best move repeats", 1, 1, 1, 1},
      {"no best move", 1, 1, 0, 0},
  };
  for (const RefusalCase& c : cases) {
    BeginLearningSearch(1);
    PositionLearning = c.learningOption;
    if (c.haveBest) NoteLearningLine(0x10, 0, 5, 0);
    Store(0x20, c.clockAllows, c.bestRepeats);
    EXPECT_EQ(Stored(), 0) << c.name;
  }
}

TEST_F(LearningStore, UnwritableFileStoresNothingAndDoesNotFail) {
  std::string path = dir_ + "/missing/kestrane.pl2";
  BeginLearningSearch(1);
  NoteLearningLine(0x10, 0, 5, 0);
  StoreLearningTo(path.c_str(), pos_.get(), root_, 0, 1, 0);
  EXPECT_EQ(CountLearningRecords(path.c_str()), 0);
}
