// Any text read as a FEN, directly and through "position fen".
#include <cstdlib>

#include "board/fen.h"
#include "board/playable.h"
#include "fuzz_engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzStartEngine();
  std::string fen = FuzzText(data, size);
  int8_t board[65];
  RootState state;
  if (ParseFen(fen.c_str(), board, &state)) {
    if (state.side != 0 && state.side != 1) abort();
    for (int square = 1; square <= 64; square++)
      if (board[square] < -16 || board[square] > 16) abort();
    IsPlayablePosition(board, &state);
  }
  FuzzExecute("position startpos");
  FuzzExecute("position fen " + fen);
  FuzzCheckEngine();
  return 0;
}
