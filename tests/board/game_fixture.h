// The game set-up the search and evaluation fixtures share.
#pragma once
#include "board/fen.h"
#include "board/game.h"

// Sets up the FEN as the game root; false (nothing changed) when it does not parse. Unlike
// "position fen" it takes positions that are not playable, which some search tests need.
inline bool SetGameFromFen(const char* fen) {
  int8_t board[65];
  RootState state{};
  if (!ParseFen(fen, board, &state)) return false;
  SetGameRoot(board, state);
  return true;
}
