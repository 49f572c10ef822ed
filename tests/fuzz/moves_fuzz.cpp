// Any move texts after "position ... moves", from the start and from positions with
// castling, en-passant and promotion moves at hand.
#include "fuzz_engine.h"

static const char* const Starts[] = {
    "position startpos moves ",
    "position fen r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1 moves ",
    "position fen rnbqkbnr/ppp1p1pp/8/3pPp2/8/8/PPPP1PPP/RNBQKBNR w KQkq f6 0 3 moves ",
    "position fen 8/P6k/8/8/8/8/6Kp/8 w - - 0 1 moves ",
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzStartEngine();
  if (size == 0) return 0;
  FuzzExecute(std::string(Starts[data[0] % (sizeof Starts / sizeof Starts[0])]) + FuzzText(data + 1, size - 1));
  FuzzCheckEngine();
  return 0;
}
