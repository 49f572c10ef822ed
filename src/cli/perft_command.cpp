#include "cli/perft_command.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/fen.h"
#include "board/move_text.h"
#include "board/perft.h"
#include "board/piece_lists.h"
#include "board/playable.h"
#include "board/root_ply.h"

namespace {

Position PerftPosition;
PerftDivision Divisions[MaxListEntries * 2];

// A decimal number in 1..MaxPly, nothing else.
int ParseDepth(const char* text) {
  if (text == nullptr || *text == 0 || std::strlen(text) > 3) return 0;
  int depth = 0;
  for (const char* p = text; *p; p++) {
    if (*p < '0' || *p > '9') return 0;
    depth = depth * 10 + (*p - '0');
  }
  return depth >= 1 && depth <= MaxPly ? depth : 0;
}

}  // namespace

int PerftCommand(int argc, char** argv) {
  int depth = ParseDepth(argc > 1 ? argv[1] : nullptr);
  if (depth == 0) {
    std::fprintf(stderr, "perft: DEPTH must be a number from 1 to %d\n", MaxPly);
    return 2;
  }
  Position* pos = &PerftPosition;
  RootState state;
  if (argc > 2) {
    std::string fen;
    for (int i = 2; i < argc; i++) {
      if (i > 2) fen += ' ';
      fen += argv[i];
    }
    if (!ParseFen(fen.c_str(), pos->board, &state) || !IsPlayablePosition(pos->board, &state)) {
      std::fprintf(stderr, "perft: not a playable position: %s\n", fen.c_str());
      return 2;
    }
  } else {
    SetStartPosition(pos->board, &state);
  }
  BuildPieceLists(pos);
  BuildAttackTables(pos);
  pos->keyPtr = nullptr;
  PlyState* root = SetupRootPly(pos, state.side, state.flags);

  int count = PerftDivide(pos, root, depth, Divisions, int(sizeof Divisions / sizeof Divisions[0]));
  uint64_t total = 0;
  for (int i = 0; i < count; i++) {
    char text[16];
    MoveToText(text, Divisions[i].move);
    std::printf("%s: %" PRIu64 "\n", text + 1, Divisions[i].nodes);
    total += Divisions[i].nodes;
  }
  std::printf("\nNodes searched: %" PRIu64 "\n", total);
  return 0;
}
