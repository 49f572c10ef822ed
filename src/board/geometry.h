// Board geometry: square tables, target lists, slider walks, beyond lists, line relations,
// and masks. Built once at start-up; read-only afterwards.
#pragma once
#include <cstdint>

// Walk kinds of the slider tables: queen, rook, bishop. A slider code maps to 7 - kind.
enum WalkKind : int { QueenWalk = 0, RookWalk = 1, BishopWalk = 2 };
inline int WalkOf(int code) { return 7 - (code & 7); }

extern int8_t SquareColour[65];         // 1 dark (a1), 0 light
extern uint8_t Square88[65];            // 16 * (rank - 1) + (file - 1)
extern const uint8_t AttackKindBits[16]; // king 1, white pawn 2, black pawn 4, knight 8, B 16, R 32, Q 64

extern uint8_t KingTargets[65][9];       // zero-terminated square lists
extern uint8_t KnightTargets[65][9];
extern uint8_t PawnCaptureTargets[2][65][3];

// Slider walks [kind][origin][square][square occupied]: WalkStep[k][o][o][0] is the first
// square of the walk; for a walk square, [0] is the square after it (taken past an empty
// square) and [1] the first square of the next non-empty ray (taken at an occupied one,
// whose ray ends there); 0 ends the walk. The occupancy can serve as the index.
extern uint8_t WalkStep[3][65][65][2];

// BeyondList[o][a]: the squares continuing the line from a through o beyond o, nearest
// first, zero-terminated (an empty list for squares not on a common line).
extern const uint8_t* BeyondList[65][65];
extern int8_t StepBetween[65][65];        // square step from -> to on a common line, else 0
extern uint8_t LineKinds[239];            // by Square88[to] - Square88[from] + 119
extern uint8_t PawnAhead[2][65];          // the square in front for that side, 0 off the board
extern uint8_t FileSquares[9][9];         // files 1..8: squares rank 1..8, then 0

extern uint64_t SquareMask[65];
extern uint64_t FileMask[9];
extern uint64_t RanksTwoThreeMask;
extern uint64_t RanksSixSevenMask;

inline int LineKindOf(int from, int to) { return LineKinds[Square88[to] - Square88[from] + 119]; }

// The builders run in this order by BuildGeometryTables; each gives the same tables when run again.
void BuildSquareTables();
void BuildTargetLists();
void BuildSliderWalks();
void BuildBeyondLists();
void BuildPawnAhead();
void BuildStepBetween();
void BuildLineKinds();
void BuildFileSquares();
void BuildMasks();
// Every geometry table and the Zobrist keys.
void BuildGeometryTables();
