#include "search/learning_record.h"

static void Put32(uint8_t* at, uint32_t v) {
  at[0] = uint8_t(v);
  at[1] = uint8_t(v >> 8);
  at[2] = uint8_t(v >> 16);
  at[3] = uint8_t(v >> 24);
}

static uint32_t Get32(const uint8_t* at) {
  return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

uint32_t LearnedEntryWord3(const LearningRecord* record) {
  return uint32_t(uint16_t(record->score)) | uint32_t(uint8_t(record->depth)) << 16 |
         uint32_t(record->bound) << 24;
}

void EncodeLearningRecord(const LearningRecord* record, uint8_t bytes[LearningRecordSize]) {
  Put32(bytes + 0, record->lock);
  Put32(bytes + 4, record->bestMove);
  Put32(bytes + 8, record->secondMove);
  Put32(bytes + 12, LearnedEntryWord3(record));
  Put32(bytes + 16, record->slotKey);
  Put32(bytes + 20, record->signature);
  bytes[24] = record->side;
  bytes[25] = record->pieceCount;
  bytes[26] = uint8_t(record->reserved);
  bytes[27] = uint8_t(record->reserved >> 8);
  Put32(bytes + 28, record->reply);
  for (int sq = 1; sq <= 64; sq++) bytes[31 + sq] = uint8_t(record->board[sq]);
}

void DecodeLearningRecord(const uint8_t bytes[LearningRecordSize], LearningRecord* record) {
  record->lock = Get32(bytes + 0);
  record->bestMove = Get32(bytes + 4);
  record->secondMove = Get32(bytes + 8);
  uint32_t word3 = Get32(bytes + 12);
  record->score = int16_t(uint16_t(word3));
  record->depth = int8_t(uint8_t(word3 >> 16));
  record->bound = uint8_t(word3 >> 24);
  record->slotKey = Get32(bytes + 16);
  record->signature = Get32(bytes + 20);
  record->side = bytes[24];
  record->pieceCount = bytes[25];
  record->reserved = uint16_t(bytes[26] | bytes[27] << 8);
  record->reply = Get32(bytes + 28);
  record->board[0] = 0;
  for (int sq = 1; sq <= 64; sq++) record->board[sq] = int8_t(bytes[31 + sq]);
}
