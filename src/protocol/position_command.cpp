#include <cstring>

#include "api/engine_state.h"
#include "board/fen.h"
#include "board/game.h"
#include "protocol/commands.h"
#include "protocol/words.h"
#include "search/search_flags.h"

// A FEN is under 100 characters; longer gathered text is cut here and left to ParseFen.
constexpr int FenTextSize = 512;

void PositionCommand(char** cursor) {
  // The game position belongs to a running search until it ends.
  if (SearchMode.load(std::memory_order_relaxed) != 0 || EnginePosition == nullptr) return;
  const char* word = NextWord(cursor);
  if (!word) return;

  // Set up on a scratch board first, so a position that does not parse or cannot be
  // played leaves the previous game untouched.
  int8_t board[65];
  RootState state;
  int movesFollow = 0;
  if (strcmp(word, "fen") == 0) {
    char fen[FenTextSize] = "";
    while ((word = NextWord(cursor)) != nullptr) {
      if (strcmp(word, "moves") == 0) {
        movesFollow = 1;
        break;
      }
      AppendBounded(fen, FenTextSize, word);
      AppendBounded(fen, FenTextSize, " ");
    }
    if (!ParseFen(fen, board, &state) || !IsPlayablePosition(board, &state)) return;
  } else {
    SetStartPosition(board, &state);
    if (strcmp(word, "startpos") == 0) {
      word = NextWord(cursor);
      movesFollow = word && strcmp(word, "moves") == 0;
    }
  }

  memcpy(RootBoard, board, sizeof board);
  RootStateNow = state;
  ResetRoot();
  if (movesFollow) {
    while ((word = NextWord(cursor)) != nullptr) {
      Move move = ParseLegalGameMove(word);
      if (move && !ApplyGameMove(move)) break;  // the history cannot grow: stop replaying
    }
  }
  LoadRootIntoPosition(EnginePosition);
}
