// Iterative deepening over the root moves.
#pragma once
#include <cstdint>
#include "board/types.h"

struct Position;
struct PlyState;

constexpr int MaxRootMoves = 221;
constexpr int SearchMovesCapacity = 256;
constexpr int ScoreHistorySize = 100;

// A root move with its ordering key: at first the capture score minus the evaluation after the
// move, later grown by the nodes each iteration spent on it.
struct RootMove {
  Move move;
  int64_t key;
};

// The state of the current root search, read by the clock checks and the reports.
struct RootRecord {
  RootMove moves[MaxRootMoves + 1];  // ends with move 0 and key 0x7FFFFFFF
  int count;                         // root moves in the list
  int singleMove;                    // the root has exactly one legal move
  int pondering;                     // started as a ponder search and no ponder hit seen yet
  int searchingFirstMove;            // the first root move of the iteration is being searched
  Move bestMove;                     // best move so far
  int score;                         // root score of the best move
  int tablebaseScore;                // the root's tablebase result; 30001 when none or given up
  int scoreHistory[ScoreHistorySize];  // root score at the end of each iteration
  // Time events of the search.
  int32_t pendingBonus;              // time the easy-move rule took away
  int firstMoveTrouble;              // the first move failed high or low twice
  int easyMoves;                     // times the easy-move rule shortened the target
  uint64_t firstMoveNodes;           // nodes of the first root move over all iterations
};

extern RootRecord RootInfo;
// Root moves a "go searchmoves" restricts the search to; zero-terminated, emptied by every "go".
extern Move SearchMovesList[SearchMovesCapacity + 1];
// 1 while nothing is wrong with the first move; the clock may then stop the search early.
extern int32_t NoTroubleFlag;

// Searches the search position under the current time mode; returns the best move and
// stores the expected reply (0 when none) in *ponderMove.
Move SearchRoot(Position* pos, Move* ponderMove);

// The deepest ply a search of this iteration depth may reach, from the "Selectivity" option.
int MaxPlyForDepth(int depth);
