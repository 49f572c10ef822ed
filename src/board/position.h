// The search position: board, piece lists and slots, attack tables, the per-ply state stack
// and the per-context search tables.
#pragma once
#include <cstdint>
#include "board/types.h"

constexpr int MaxPly = 100;          // ply states 0..99 are used by the search
constexpr int PlyStackSize = MaxPly + 2;
constexpr int PieceListSize = 17;    // king, up to 15 other pieces, terminator
constexpr int CapturedMark = 'c';    // piece-list byte of a captured piece
constexpr int MaxSlotPieces = 10;    // ten knights, bishops or rooks of one colour (nine queens)
constexpr int MaxCellAttackers = 16; // eight line pieces plus eight knights
constexpr int MaxListEntries = 420;  // bound on one generation's entries in one list, end marker included
constexpr int QuietStackSize = 32768;
constexpr int TacticalStackSize = 16384;
constexpr int KeyBufferSize = 2 * MaxPly + 16;
constexpr int HistorySize = 8257;    // from | to << 7, up to 64 | 64 << 7
constexpr int MoveListEnd = 0x7FFFFFFF;

struct MoveEntry {
  Move move;
  int32_t score;
};

struct AttackCell {
  int32_t count;                         // attackers of this side on the square
  int32_t sliders;                       // how many of them are bishops, rooks or queens
  uint8_t from[MaxCellAttackers];        // attacker squares, unordered, first `count` valid
};

struct AttackTable {
  AttackCell cell[65];
};

// Entry indices (into the owning side's piece list) of the pieces of one non-king,
// non-pawn code, in the order they were added; entry[count] is 0.
struct PieceSlots {
  uint8_t entry[MaxSlotPieces + 1];
  uint8_t count;
};

struct PlyState {
  int8_t side;                 // side to move
  uint8_t hangingFlag;         // search
  uint8_t attackFlag;          // king-attack patterns fired; cleared by make
  uint8_t ply;                 // distance from the root
  uint8_t checkCount[2];       // times each side was in check along the line
  uint8_t menCount;            // pieces on the board
  uint8_t listsMade;           // bit 0 tactical moves generated, bit 1 quiet moves generated
  uint8_t phaseCount[2];       // knight 1, bishop 1, rook 3, queen 6 per side
  uint8_t moveStage;           // move-picker stage; cleared by make
  uint8_t capturedKinds;       // one bit per captured piece kind along the line
  uint8_t moveTotal;           // generated-moves counter (mod 256); cleared by make
  uint8_t legalCount;          // search; cleared by make
  uint32_t flags;              // StateFlags; bits 11-14 belong to the search
  uint32_t key1, key2;         // position keys (board only)
  uint32_t pawnKey1, pawnKey2; // pawn keys
  uint32_t* irreversible;      // key-history pointer at the last irreversible move
  MoveEntry* quietBase;
  MoveEntry* tacticalBase;
  MoveEntry* quietCursor;
  MoveEntry* tacticalCursor;
  Move move;                   // the move made from this ply
  Move bestMove;               // search
  Move hashMove1;              // transposition-table move
  Move hashMove2;              // candidate move
  Move triedHashMove2;         // the candidate once tried; cleared by make
  int32_t score;               // search: node score
  int32_t material[2];         // piece values without the king
  uint32_t signature[2];       // MaterialSignature
  int32_t pstSum;              // piece-square sum from the side to move's view
};

struct Position {
  int8_t board[65];
  uint8_t context;
  uint8_t silent;                       // search flag byte
  uint8_t entryOf[65];                  // square -> index in its side's piece list
  uint8_t pieceList[2][PieceListSize];  // byte 0 the king, then squares, 0-terminated
  int32_t listCode[2][PieceListSize];   // code at each list entry when the lists were built
  PieceSlots slots[16];                 // used only for codes 3, 5, 6, 7, 11, 13, 14, 15
  uint8_t pieceCount[16];
  AttackTable attacks[2];
  uint8_t undoStack[32];                // captured entries: side << 5 | list index
  int undoTop;
  uint32_t* keyPtr;                     // current position's slot in the key history
  uint32_t keyBuffer[KeyBufferSize];    // the game's last keys, continued by the search

  // Per-context search tables.
  PlyState plies[PlyStackSize];
  MoveEntry quietStack[QuietStackSize];
  MoveEntry tacticalStack[TacticalStackSize];
  int32_t history[2][HistorySize];
  Move killers[MaxPly + 2][4];          // killer 1, killer 2, hit count 1, hit count 2
  uint64_t nodeCount;
};
