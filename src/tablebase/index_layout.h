// The per-record, per-side index layout derived from the record's name, and the one
// encoder and decoder that every index routine runs on its layout.
#pragma once
#include <cstdint>

#include "tablebase/endgame_table.h"
#include "tablebase/index_tables.h"

constexpr int MaxTbGroups = 4;  // at most four groups of alike pieces besides the kings

struct TbGroup {
  uint8_t side;  // 0 White, 1 Black, in the record's colours
  uint8_t kind;  // TbPawn .. TbQueen
  uint8_t size;  // 1..3 alike pieces
};

struct TbSideLayout {
  uint8_t pawns;          // pawn symmetry (file mirror, 1806 pairs) instead of the pawnless one
  uint8_t mirrorRanks;    // the ranks are mirrored before anything else
  uint8_t sideToMove;     // 0 White, 1 Black
  uint8_t groupCount;
  TbGroup group[MaxTbGroups];  // in mixed-radix order
  uint8_t firstKind;           // placement kind of group 0
  const uint32_t* firstOffsets;
  uint32_t range[MaxTbGroups];     // radix of groups 1.. in the normal area
  uint64_t tail;                   // product of those radices
  uint64_t normalCount;            // indexes of the normal area
  uint8_t enPassant;               // both sides have pawns: an en-passant area follows
  uint32_t epRange[MaxTbGroups];   // radix of every group (less its en-passant pawn) there
  uint64_t epTail;                 // product of those radices
  uint64_t fullCount;              // normal area plus the en-passant area
};

// Layouts of records 1..440, both sides; a symmetric record's Black side is unused.
extern TbSideLayout TbLayouts[EndgameRecordCount][2];

// Pieces of each record per side and kind (TbPawn..TbQueen; entry 0 unused).
extern uint8_t TbPieceCounts[EndgameRecordCount][2][6];

// Fills TbLayouts from the record names (called by BuildTablebaseIndexTables).
void BuildTbLayouts();

// The index of a position for a layout: TbNoIndex when it has none.
uint64_t TbEncode(const TbSideLayout& layout, const int32_t* white, const int32_t* black,
                  int32_t epSquare, int32_t flip);

// The position behind an index, in the record's colours with flip 0 (false for an index no
// position maps to).
bool TbDecode(const TbSideLayout& layout, uint64_t index, int32_t* white, int32_t* black,
              int32_t* epSquare);
