// The 96-byte learning record and its little-endian encoding.
#pragma once
#include <cstdint>
#include "board/types.h"

constexpr int LearningRecordSize = 96;

// Bound byte of a record, laid out like the bound bits of a table entry's word 3.
constexpr uint8_t LearnedUpperBound = 0x40;
constexpr uint8_t LearnedLowerBound = 0x80;

struct LearningRecord {
  uint32_t lock;        // second position key of the root
  Move bestMove;
  uint32_t secondMove;  // always 0
  int16_t score;        // root score plus the draw score
  int8_t depth;
  uint8_t bound;        // 0 exact, LearnedUpperBound or LearnedLowerBound
  uint32_t slotKey;     // first position key of the root
  uint32_t signature;   // settings signature
  uint8_t side;         // side to move
  uint8_t pieceCount;   // occupied squares
  uint16_t reserved;    // always 0
  Move reply;           // expected reply, 0 for none
  int8_t board[65];     // squares 1..64; entry 0 is not stored
};

void EncodeLearningRecord(const LearningRecord* record, uint8_t bytes[LearningRecordSize]);
void DecodeLearningRecord(const uint8_t bytes[LearningRecordSize], LearningRecord* record);

// Word 3 of the table entry that bytes 12-15 of the record form.
uint32_t LearnedEntryWord3(const LearningRecord* record);
