#include "protocol/position_command.h"

#include <cstring>

#include "board/fen.h"
#include "board/game.h"
#include "board/playable.h"
#include "protocol/interpreter.h"
#include "protocol/words.h"
#include "search/search_flags.h"

// A FEN is under 100 characters; longer gathered text is cut here and left to ParseFen.
constexpr int FenTextSize = 512;

void PositionCommand(char** cursor) {
  // The game position belongs to a running search until it ends.
  if (SearchMode.load(std::memory_order_relaxed) != 0 || EnginePosition == nullptr) return;
  const char* word = NextWord(cursor);
  if (!word) {
    SendInfoString("position: expected 'startpos' or 'fen'");
    return;
  }

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
    if (!ParseFen(fen, board, &state) || !IsPlayablePosition(board, &state)) {
      SendInfoString("position: not a playable FEN; the position stays as it was");
      return;
    }
  } else {
    SetStartPosition(board, &state);
    if (strcmp(word, "startpos") != 0) {
      SendInfoString("position: expected 'startpos' or 'fen', not '%.40s'; the start position is set up", word);
    } else {
      word = NextWord(cursor);
      movesFollow = word && strcmp(word, "moves") == 0;
    }
  }

  SetGameRoot(board, state);
  if (movesFollow) {
    int skipped = 0;
    while ((word = NextWord(cursor)) != nullptr) {
      Move move = ParseLegalGameMove(word);
      if (!move) {
        if (skipped++ == 0) SendInfoString("position: '%.40s' is not a legal move here; skipped", word);
      } else if (!ApplyGameMove(move)) {
        SendInfoString("position: no memory for a longer game; the moves from '%.40s' on are dropped", word);
        break;
      }
    }
    if (skipped > 1) SendInfoString("position: %d move words skipped in all", skipped);
  }
  LoadRootIntoPosition(EnginePosition);
}
