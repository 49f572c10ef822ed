// Tablebase probes: a position given as piece counts and square lists, answered with its
// exact result; and the search's wrapper that probes a search position for a score.
#pragma once
#include <cstdint>

struct Position;
struct PlyState;

// Counts (White pawns, knights, bishops, rooks, queens, then Black's), square lists of 24
// entries (king at 0, pieces of kind t at 4t..4t+3, squares 0..63), side to move (0 White,
// 1 Black), en-passant square (0..63, 0 none). On success stores the result: +n the side to
// move mates in n moves, -n it is mated in n, -32767 it is checkmated, 0 a draw (or no value)
// and returns 1; returns 0 when the endgame or side is not available or the position given
// is impossible (squares off the board or shared, a king missing, a pawn on a back rank).
int ProbeTablebaseList(const int32_t* counts, const int32_t* white, const int32_t* black, int32_t side,
                       int32_t epSquare, int32_t* result);

// The result ProbeTablebaseList gives for a side to move that is checkmated.
constexpr int32_t CheckmatedResult = -32767;
// The exact result of the position at `ps` in *result, as ProbeTablebaseList gives it;
// 0 when it cannot be answered.
int ProbeTablebaseResult(const Position* pos, const PlyState* ps, int32_t* result);

// The result of a probe, 30001 when there is none.
constexpr int NoTablebaseResult = 30001;
// Probes the position at `ps` and returns a search score from the side to move's view:
// mate in n moves -> (15000 - n) * 2, mated in n -> (-15001 + n) * 2, checkmated -> -30000,
// draw 0; NoTablebaseResult when it cannot be answered.
int ProbeTablebase(const Position* pos, const PlyState* ps);
