// The game position kept between commands: root board, game history and key history.
#pragma once
#include <cstdint>
#include "board/fen.h"
#include "board/types.h"

struct Position;

struct GameEntry {
  uint8_t side;
  uint16_t flags;  // StateFlags
  Move move;       // the move that led here; 0 in entry 0
};

extern int8_t RootBoard[65];
extern RootState RootStateNow;   // side and flags of RootBoard; ApplyGameMove keeps it current
extern GameEntry* GameHistory;   // entries 0..GameLength
extern int GameLength;           // index of the current entry
extern uint32_t* KeyHistory;     // three zero words, the set-up key, then one key per move
extern uint32_t* KeyHistoryTop;  // the last key stored

int AllocateGameHistory();       // room for 200 moves; 0 when memory is short
void FreeGameHistory();
// A new game from this position (squares 1..64 and its side and flags): the root board and
// empty game and key histories. The one way the game root is set up.
void SetGameRoot(const int8_t board[65], const RootState& state);
// Plays a move on the game, growing the histories by 200 entries when needed; 0 (nothing
// changed) when they cannot grow or the move has no valid squares. Give it moves from
// ParseLegalGameMove.
int ApplyGameMove(Move move);
// The generator's exact move word for a coordinate text (e2e4, e7e8q) when it is a legal
// move of the game position, else 0 (also for a position that is not playable). Texts of
// any length are safe.
Move ParseLegalGameMove(const char* text);
// Writes the legal moves of the game position (every promotion piece), at most capacity of
// them; returns the count, 0 also for a position that is not playable.
int ListLegalGameMoves(Move* moves, int capacity);
// Copies the root board into the position, rebuilds lists, slots, counts and attack tables,
// clears keyPtr and sets up the root ply state from the current game entry (SetupRootPly).
void LoadRootIntoPosition(Position* pos);
