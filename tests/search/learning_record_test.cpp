#include <gtest/gtest.h>
#include <cstring>

#include "search/learning_record.h"

static LearningRecord SampleRecord() {
  LearningRecord r;
  memset(&r, 0, sizeof r);
  r.lock = 0x11223344;
  r.bestMove = 0x0A0B0C0D;
  r.score = -1234;
  r.depth = -3;
  r.bound = LearnedLowerBound;
  r.slotKey = 0x55667788;
  r.signature = 0x99AABBCC;
  r.side = 1;
  r.pieceCount = 32;
  r.reply = 0x01020304;
  for (int sq = 1; sq <= 64; sq++) r.board[sq] = int8_t(sq % 16);
  return r;
}

static uint32_t Word(const uint8_t* bytes, int offset) {
  return uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 |
         uint32_t(bytes[offset + 2]) << 16 | uint32_t(bytes[offset + 3]) << 24;
}

TEST(LearningRecord, FieldsSitAtTheirOffsetsLittleEndian) {
  LearningRecord r = SampleRecord();
  uint8_t bytes[LearningRecordSize];
  memset(bytes, 0xEE, sizeof bytes);
  EncodeLearningRecord(&r, bytes);
  struct { int offset; uint32_t value; } words[] = {
      {0, 0x11223344}, {4, 0x0A0B0C0D}, {8, 0}, {16, 0x55667788}, {20, 0x99AABBCC}, {28, 0x01020304}};
  for (auto w : words) EXPECT_EQ(Word(bytes, w.offset), w.value) << "offset " << w.offset;
  EXPECT_EQ(bytes[12] | bytes[13] << 8, 0xFFFF & -1234);
  EXPECT_EQ(bytes[14], 0xFD);  // depth -3
  EXPECT_EQ(bytes[15], 0x80);
  EXPECT_EQ(bytes[24], 1);
  EXPECT_EQ(bytes[25], 32);
  EXPECT_EQ(bytes[26], 0);
  EXPECT_EQ(bytes[27], 0);
  for (int sq = 1; sq <= 64; sq++) EXPECT_EQ(bytes[31 + sq], sq % 16) << "square " << sq;
  EXPECT_EQ(Word(bytes, 12), LearnedEntryWord3(&r));
}

TEST(LearningRecord, DecodeInvertsEncode) {
  LearningRecord r = SampleRecord();
  uint8_t bytes[LearningRecordSize];
  EncodeLearningRecord(&r, bytes);
  LearningRecord back;
  memset(&back, 0x5A, sizeof back);
  DecodeLearningRecord(bytes, &back);
  EXPECT_EQ(back.lock, r.lock);
  EXPECT_EQ(back.bestMove, r.bestMove);
  EXPECT_EQ(back.secondMove, 0u);
  EXPECT_EQ(back.score, -1234);
  EXPECT_EQ(back.depth, -3);
  EXPECT_EQ(back.bound, LearnedLowerBound);
  EXPECT_EQ(back.slotKey, r.slotKey);
  EXPECT_EQ(back.signature, r.signature);
  EXPECT_EQ(back.side, 1);
  EXPECT_EQ(back.pieceCount, 32);
  EXPECT_EQ(back.reserved, 0);
  EXPECT_EQ(back.reply, r.reply);
  EXPECT_EQ(0, memcmp(back.board, r.board, sizeof r.board));
}
