// Any command line, any bytes, handed to the interpreter after one of a few set-ups.
#include "fuzz_engine.h"

static const char* const SetupLines[] = {
    "position startpos",
    "position fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1",
    "position fen 8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1",
    "position fen rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3",
    "position fen 8/P6k/8/8/8/8/6Kp/8 b - - 0 1",
    "position startpos moves e2e4 e7e5 g1f3 b8c6 f1b5",
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzStartEngine();
  if (size == 0) return 0;
  FuzzExecute("ucinewgame");
  FuzzExecute(SetupLines[data[0] % (sizeof SetupLines / sizeof SetupLines[0])]);
  FuzzExecute(FuzzText(data + 1, size - 1));
  FuzzCheckEngine();
  return 0;
}
