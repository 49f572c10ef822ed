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

// Builds the shared index tables (king pairs, placement and offset tables); idempotent.
void BuildTablebaseIndexTables();

// Record number of a name such as "kqkr", 0 when there is none.
int EndgameRecordByName(const char* name);

// What an index routine returns for a position that has no index: a square outside 0..63,
// two pieces on one square, touching kings, a pawn on the first or last rank, or a piece of
// the side to move placed where it would give contact check in a table that leaves such
// positions out. Callers treat it as "not in the table".
constexpr uint64_t TbNoIndex = ~uint64_t(0);

// Symmetric records have one file, indexed for White to move; their Black-to-move routine
// swaps the colours (and mirrors the ranks) and indexes through the White-to-move layout, so
// each side's routine may be called with the position as it stands.
//
// En passant: in a record where both sides have pawns, a position in which the side to move
// can take en passant (epSquare the square passed over, the pawn that just advanced two
// squares behind it, a pawn of the side to move beside that pawn) has its index in an
// en-passant area after the TbNormalIndexCount normal indexes:
//   N + (king pair * 14 + c) * T + rest,
// the king pair numbered as for pawn endgames (side to move's king first, after the file
// mirror), c the capture code: with the capturing pawn on file f (after the mirror too),
// c = f - 1 when it takes towards the a-file and f + 7 towards the h-file (when two pawns can
// take, the one taking towards the a-file is used); rest numbers the other pieces as the normal area's later
// groups do. Given any other epSquare, a routine indexes the position in the normal area.
// A generator lists the area's positions with TbIndexToPosition over [N, count).

// Number of normal indexes of a side (where its en-passant area starts; the side's count
// when it has none).
uint64_t TbNormalIndexCount(int record, int side);

// The position behind an index of a record's side, in the record's colours (White list
// first), with the en-passant square or TbNoEnPassant. False when no position maps to the
// index (such indexes are holes of the range: a pawn on a king's square and the like).
// The position may still be illegal (the side not to move in check).
bool TbIndexToPosition(int record, int side, uint64_t index, int32_t* white, int32_t* black,
                       int32_t* epSquare);

// Whether a position of a record's material, given in the record's colours, is legal with
// `side` to move: squares 0..63 and distinct, pawns on ranks 2-7, kings apart, the side not
// to move not in check, and an en-passant square only right after a possible double step
// that a pawn of the side to move can take.
bool TbPositionIsLegal(int record, int side, const int32_t* white, const int32_t* black,
                       int32_t epSquare);

// A side's index count derived from the indexing rule: one more than the highest index of
// a legal position. The table's counts hold these values; a test recomputes them.
uint64_t TbDerivedIndexCount(int record, int side);

// The flags a record takes: symmetric when both sides have the same material; two-byte for
// the six-piece endgames without pawns where each side has two pieces besides its king and
// the material differs (where mates longer than 126 moves occur); split when a side's
// entries take more than 2^31 bytes.
uint32_t TbDerivedFlags(int record, uint64_t countWhite, uint64_t countBlack);
