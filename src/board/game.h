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
extern RootState RootStateNow;
extern GameEntry* GameHistory;   // entries 0..GameLength
extern int GameLength;           // index of the current entry
extern uint32_t* KeyHistory;     // three zero words, the set-up key, then one key per move
extern uint32_t* KeyHistoryTop;  // the last key stored

int AllocateGameHistory();       // 0 when memory is short
void FreeGameHistory();
void ResetRoot();                // new history from RootBoard / RootStateNow
// Plays a move on the game; 0 (nothing changed) when the history cannot grow.
int ApplyGameMove(Move move);
// The legal move whose coordinate text is `text` in the game position, or 0.
Move ParseLegalGameMove(const char* text);
// Copies the root board into the position and rebuilds lists, slots, counts and attack tables.
void LoadRootIntoPosition(Position* pos);
