// How the index range of a record's side is laid out, and the inverse walk from an index
// back to its position that the generator and the counts are built on.
#pragma once
#include <cstdint>
#include "tablebase/endgame_table.h"

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
