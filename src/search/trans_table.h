// The transposition table: two tables (A and B) per side to move of xor-sealed 16-byte
// entries, generations with their evaluation signatures, replacement, the hashfull count,
// and the sizing of the "Hash" memory shared with the evaluation cache.
#pragma once
#include <cstddef>
#include <cstdint>
#include "board/check.h"
#include "board/keys.h"
#include "board/position.h"
#include "board/types.h"

// Word 0 is the lock: key2 ^ move ^ move2 ^ data, so an entry with any altered word is
// rejected on read.
struct TransEntry {
  uint32_t lock;
  uint32_t move;   // best move, 0 for none
  uint32_t move2;  // bits 0-29 the move that completed a multi-cut, bit 30 singular
  uint32_t data;   // bits 0-15 score, 16-23 depth, 24-28 generation, 29 threat, 30 upper, 31 lower
};

// Fields of the data word.
constexpr uint32_t TransThreatBit = 0x20000000;
constexpr uint32_t TransUpperBit = 0x40000000;
constexpr uint32_t TransLowerBit = 0x80000000;
constexpr uint32_t TransBoundBits = TransUpperBit | TransLowerBit;
constexpr uint32_t TransSingularBit = 0x40000000;  // in move2
constexpr uint32_t TransMove2Mask = 0x3FFFFFFF;

// The flag byte (data bits 24-31) as the search composes it: generation | 0x20 | 0x40 | 0x80.
constexpr uint32_t FlagThreat = 0x20, FlagUpper = 0x40, FlagLower = 0x80;

inline int EntryScore(const TransEntry& e) { return int16_t(e.data & 0xFFFF); }
inline int EntryDepth(const TransEntry& e) { return int8_t((e.data >> 16) & 0xFF); }
inline uint32_t EntryGeneration(const TransEntry& e) { return (e.data >> 24) & 0x1F; }
inline bool EntryIsLower(const TransEntry& e) { return (e.data & TransLowerBit) != 0; }
inline bool EntryIsUpper(const TransEntry& e) { return (e.data & TransUpperBit) != 0; }
inline bool EntryIsExact(const TransEntry& e) { return (e.data & TransBoundBits) == 0; }
inline uint32_t PackTransData(int score, int depth, uint32_t flagByte) {
  return uint32_t(uint16_t(int16_t(score))) | uint32_t(uint8_t(int8_t(depth))) << 16 | flagByte << 24;
}

// The four arrays of TransSize entries: [side to move], slot = key1 % TransSize.
extern TransEntry* TransTableA[2];
extern TransEntry* TransTableB[2];
extern uint32_t TransSize;

// Generation of this search (2..31); 1 marks permanent (learned) entries, 0 learned replies.
extern uint32_t TransGeneration;
extern uint32_t GenerationSignature[32];
extern uint32_t CurrentEvalSignature;
// Stores of this search that filled a table-A slot of another generation or depth <= 0.
extern uint32_t HashfullCount;

inline TransEntry* TransSlotA(int side, uint32_t key1) { return &TransTableA[side][key1 % TransSize]; }
inline TransEntry* TransSlotB(int side, uint32_t key1) { return &TransTableB[side][key1 % TransSize]; }

// Starts loading the node's slots so that the probe a little later does not wait for memory.
inline void PrefetchTransSlots(int side, uint32_t key1) {
  __builtin_prefetch(TransSlotA(side, key1));
  __builtin_prefetch(TransSlotB(side, key1));
}

// Key 1 of the position after a plain move or promotion from the node (castling and en
// passant, which move or take a second piece, are not covered).
inline uint32_t ChildKey1(const PlyState* node, Move move) {
  const int to = MoveTo(move), captured = MoveCaptured(move);
  uint32_t key1 = node->key1 ^ ZobristKey1[MovePiece(move)][MoveFrom(move)] ^ ZobristKey1[MoveResultPiece(move)][to];
  if (captured) key1 ^= ZobristKey1[captured][to];
  return key1;
}

// 1 when the entry's words make sense: a move of the move word's bits only, a move2 of those
// and the singular bit, a score within the mate range.
int TransEntryIsOk(const TransEntry& e);

// Copies the slot into *out and checks the lock; 1 when it belongs to key2.
inline int ReadTransEntry(const TransEntry* slot, uint32_t key2, TransEntry* out) {
  *out = *slot;
  if ((out->lock ^ out->move ^ out->move2 ^ out->data) != key2) return 0;
  KESTRANE_ASSERT(TransEntryIsOk(*out));
  return 1;
}
inline void WriteTransEntry(TransEntry* slot, uint32_t key2, uint32_t move, uint32_t move2, uint32_t data) {
  slot->lock = key2 ^ move ^ move2 ^ data;
  slot->move = move;
  slot->move2 = move2;
  slot->data = data;
}
// The key2 an entry was sealed with (its lock with the data words taken out).
inline uint32_t EntryKey(const TransEntry& e) { return e.lock ^ e.move ^ e.move2 ^ e.data; }

// An entry is trusted (gives cut-offs and bound flags) when its generation maps to the
// evaluation signature of this search.
inline bool EntryTrusted(const TransEntry& e) {
  return GenerationSignature[EntryGeneration(e)] == CurrentEvalSignature;
}

// Mate scores are kept relative to the node: exact scores beyond +-29000 are stored as
// score + ply - 1 (or - ply + 1) and read back the other way.
inline int ScoreToTrans(int score, int ply) {
  if (score > MateThreshold) return score + ply - 1;
  if (score < -MateThreshold) return score - ply + 1;
  return score;
}
inline int ScoreFromTrans(int stored, int ply) {
  if (stored > MateThreshold) return stored + 1 - ply;
  if (stored < -MateThreshold) return stored - 1 + ply;
  return stored;
}

// Per-search set-up: the next generation (2..31, wrapping from 31 to 2) and the mapping of
// generations 0, 1 and the current one to the evaluation signature of this search.
void AdvanceTransGeneration();
void MapGenerationSignatures(uint32_t signature);
// Hashfull in permill: HashfullCount * 500 / TransSize, at most 1000.
int HashfullPermill();

// Store by the main search with the two-table replacement. flagByte holds the bound bits
// and the threat bit; the generation is added here. Score is stored as given (the caller
// applies the mate adjustment or the bound clamps).
void StoreTransEntry(int side, uint32_t key1, uint32_t key2, Move move, uint32_t move2, int score,
                     int depth, uint32_t flagByte);
// Store by the quiescence search: table A only, unless its entry has depth > 0 and is of the
// current generation or generation 1.
void StoreQuiesceEntry(int side, uint32_t key1, uint32_t key2, Move move, int score, int depth,
                       uint32_t flagByte);
// The root's exact result after a complete iteration (table A; generation 1 kept), unless
// table A holds a deeper entry of the current generation.
void StoreRootEntry(int side, uint32_t key1, uint32_t key2, Move move, int score, int depth);

// Sizing of the "Hash" memory: the transposition table gets ceil(4K/5) KB (at least 4),
// the evaluation cache the rest (at least 1).
struct HashSplit {
  int transKb;
  int evalKb;
};
HashSplit SplitHashKb(int64_t totalKb);
constexpr int64_t MinHashKb = 4096;
constexpr int64_t MaxHashKb = 4194304;
constexpr int TransFallbackKb = 3072;
constexpr int EvalFallbackKb = 1024;

// Engine start: splits totalKb and allocates both parts; 1 on success, 0 when the
// transposition table or the evaluation cache could not be had (nothing is left allocated).
int AllocateHashTables(int totalKb);
void FreeHashTables();
// Zeroes the transposition tables, the evaluation cache and the per-position tables.
void ClearHashTables();
// Zeroes the four transposition arrays only.
void ClearTransTable();
// The "Hash" option: megabytes <= 1 are ignored, K = MB * 1024 is clamped to
// 4096..4194304 KB; each part is resized only when its size changed. A failed
// transposition-table allocation falls back to 3072 KB, then to smaller tables, and at the
// very least to a small built-in table, so the search always has one.
void ResizeHash(int64_t megabytes);
// The KB the "Hash" option asks for: 0 when the value is ignored (1 MB or less).
int64_t HashOptionKb(int64_t megabytes);
// The transposition table's size in force, in KB (the evaluation cache's: EvalCacheKilobytes).
int TransTableKb();
