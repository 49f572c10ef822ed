// The generator's own view of an endgame: its material, a position numbering for the work
// arrays, and move and retraction generation on squares 0..63 (a1 = 0). Independent of the
// engine's board so that the forward check with the engine's move generation is a true
// second opinion.
#pragma once
#include <cstdint>

constexpr int GenMaxMen = 5;     // kings included
constexpr int GenKing = 6;       // piece kinds 1..5 as the tablebase lists, the king 6
constexpr int GenMaxMoves = 192; // successors or predecessors of one position

// Man 0 is the White king, man 1 the Black king, then White's pieces and Black's, each
// side strongest first (queen, rook, bishop, knight, pawn).
struct GenMaterial {
  int men;
  int8_t color[GenMaxMen];
  int8_t kind[GenMaxMen];
  int pawns;
  uint32_t key;  // piece counts per colour and kind, three bits each
  char name[8];
};

struct GenPos {
  int8_t sq[GenMaxMen];    // -1 once captured
  int8_t kind[GenMaxMen];
  int8_t color[GenMaxMen];
  int8_t men;
  int8_t side;             // side to move
  int8_t epMan;            // pawn that has just made a double step, -1 none
};

// Reads a name such as "kqkr" (kings first on each side, 3 to 5 men); 0 on a bad name.
int ParseMaterialName(const char* name, GenMaterial* out);
// The material of the men still on the board, in the canonical colour order (the side named
// first is White); *swapped is 1 when the position's colours are the reverse of that order.
void MaterialOfPosition(const GenPos* pos, GenMaterial* out, int* swapped);
uint32_t MaterialKeyOf(const GenPos* pos);

// The numbering: king pair (White king brought to a1-d1-d4 for pawnless material, to files
// a-d with pawns) times 64 per further man. A pawn that has just made a double step is
// numbered on its first rank (White) or last rank (Black), squares no pawn stands on.
uint64_t GenKingPairCount(const GenMaterial* mat);
uint64_t GenSideSize(const GenMaterial* mat);
// Numbers of a position arranged in the material's man order: the first, and the second
// image when both kings stand on the long diagonal (the transposed board is another number
// of the same position). Returns how many (0 when the kings touch).
int GenIndexOf(const GenMaterial* mat, const GenPos* pos, uint64_t out[2]);
// The pair number of two king squares when a position with them is numbered as it stands
// (no mirror, a single number), -1 otherwise: the first digit of such a position's number.
int GenPlainKingPair(const GenMaterial* mat, int whiteKing, int blackKing);
// The position behind a number; 0 when the number stands for no legal position.
int GenDecode(const GenMaterial* mat, int side, uint64_t index, GenPos* out);
// GenDecode without the test that the side not to move is not in check: for numbers already
// known to be legal positions.
int GenDecodeSquares(const GenMaterial* mat, int side, uint64_t index, GenPos* out);
// Rearranges the men of any position into the material's man order (colours swapped when
// `swap`): 1 when the material matches.
int ArrangeForMaterial(const GenMaterial* mat, const GenPos* pos, int swap, GenPos* out);

// Legal successors, and the positions (legal, side to move the mover) from which a
// non-capturing, non-promoting move leads here, ep-variants included, with the man that
// moved into each.
int GenSuccessors(const GenPos* pos, GenPos out[GenMaxMoves]);
int GenPredecessors(const GenPos* pos, GenPos out[GenMaxMoves], int8_t movedMan[GenMaxMoves]);
bool GenInCheck(const GenPos* pos);
