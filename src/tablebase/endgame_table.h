// The known endgames: one record per material combination of up to six pieces (kings
// included), in the fixed order of the tablebase file family, with each side's index count
// and index routine. The files' runtime state (paths, handles, cache maps) lives in the
// registry, in a parallel table indexed by the same record numbers.
#pragma once
#include <cstdint>

constexpr int EndgameRecordCount = 441;  // record 0 is the bare-kings placeholder "kk"
constexpr int FirstFourPieceRecord = 6, FirstFivePieceRecord = 36, FirstSixPieceRecord = 146;

// Record flags.
constexpr uint32_t EndgameSymmetric = 1;  // both sides have the same material: one file
constexpr uint32_t EndgameTwoByte = 2;    // entries are 16-bit little-endian
constexpr uint32_t EndgameSplit = 4;      // stored in parts of at most 2^31 bytes

// Piece kinds in square lists and counts.
constexpr int TbPawn = 1, TbKnight = 2, TbBishop = 3, TbRook = 4, TbQueen = 5;

// A side's square list: 24 entries, the king at 0, pieces of kind t at 4t..4t+3, squares
// 0..63 (a1 = 0, h1 = 7, a8 = 56). Routines read only the entries their material uses.
// `epSquare` is 0..63 or TbNoEnPassant; `flip` is 1 when the caller swapped the colours.
constexpr int32_t TbNoEnPassant = 127;
using TbIndexRoutine = uint64_t (*)(const int32_t* white, const int32_t* black, int32_t epSquare,
                                    int32_t flip);

struct EndgameRecord {
  uint32_t flags;
  TbIndexRoutine indexWhite;  // White to move in the record's colours
  TbIndexRoutine indexBlack;
  char name[8];               // lower-case piece letters, zero-padded: "kqkr"
  uint64_t countWhite;        // number of indexes with White to move
  uint64_t countBlack;
};

extern const EndgameRecord EndgameTable[EndgameRecordCount];

// Record number of a name such as "kqkr", 0 when there is none.
int EndgameRecordByName(const char* name);

// What an index routine returns for a position that has no index: a square outside 0..63,
// two pieces on one square, touching kings, a pawn on the first or last rank, or a piece of
// the side to move placed where it would give contact check in a table that leaves such
// positions out. Callers treat it as "not in the table".
constexpr uint64_t TbNoIndex = ~uint64_t(0);
