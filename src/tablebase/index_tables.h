// The shared tables of the tablebase position index: board symmetries, the two king-pair
// numberings, the placement tables and their per-king-pair offsets. Squares are 0..63 with
// a1 = 0. BuildTablebaseIndexTables fills them once; nothing else writes
// them.
#pragma once
#include <cstdint>

constexpr int PawnlessKingPairs = 462, PawnKingPairs = 1806;
constexpr uint16_t NoKingPair = 4000;
constexpr uint8_t NoPlacement = 255;

// Placement kinds: which squares a piece may take next to a king.
constexpr int PlacePawn = 0;        // a2..h7, not the king's square
constexpr int PlaceCheckPawn = 1;   // as PlacePawn, not where a White pawn attacks the king
constexpr int PlaceKnight = 2, PlaceBishop = 3, PlaceRook = 4, PlaceQueen = 5;  // no contact check
constexpr int PlaceAnywhere = 6;    // any square but the king's
constexpr int PlacementKinds = 7;
constexpr int MaxGroupSize = 3;     // at most three alike pieces of one colour

extern uint8_t TbTranspose[64];
extern uint8_t TbPawnMirror[64];
extern uint8_t TbQuadrant[64];
extern uint8_t TbFlip[2];
extern uint8_t TbTriangle[64];
extern uint8_t TbOffDiagonal[64];
extern uint8_t TbOnOrBelow[64];
// [first king][second king] -> pair number, NoKingPair when the pair takes no index.
extern uint16_t TbPawnlessPair[64][64];
extern uint16_t TbPawnPair[64][64];
// Inverse numberings: pair number -> the two king squares.
extern uint8_t TbPawnlessPairKings[PawnlessKingPairs][2];
extern uint8_t TbPawnPairKings[PawnKingPairs][2];

// [kind][king][square] -> number among the allowed squares, NoPlacement when excluded.
extern uint8_t TbPlacement[PlacementKinds][64][64];
// [kind][king][number] -> square; and the number of allowed squares per king.
extern uint8_t TbPlacementSquare[PlacementKinds][64][64];
extern uint8_t TbPlacementCount[PlacementKinds][64];

// Offsets of a first group of `size` alike pieces placed through the table of `kind`
// next to the second king of each pair (pawn pairs when `pawns`): entry p is the number of
// indexes taken by the pairs before p; entry pairCount is the total.
const uint32_t* TbPlacementOffsets(bool pawns, int kind, int size);

// Number of placements of one piece of `kind` next to `otherKing` once the king of the
// side to move on `ownKing` is taken out: the per-pair radix of a first single piece.
int TbPlacementsBeside(int kind, int otherKing, int ownKing);

// Binomial coefficient for the small arguments of alike groups.
constexpr uint64_t TbChoose(int n, int k) {
  if (k < 0 || n < k) return 0;
  uint64_t r = 1;
  for (int i = 0; i < k; i++) r = r * uint64_t(n - i) / uint64_t(i + 1);
  return r;
}

// Builds the shared index tables (king pairs, placement and offset tables); idempotent.
void BuildTablebaseIndexTables();
