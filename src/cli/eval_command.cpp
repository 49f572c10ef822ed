#include "cli/eval_command.h"
#include <cstdio>
#include <string>
#include "board/fen.h"
#include "board/playable.h"
#include "eval/eval_report.h"

// Prints the term groups from White's view and "Total: N" (side to move's view) as the last
// line; a FEN that does not parse or is not playable gets one line on stderr and status 2.
int EvalCommand(int argc, char** argv) {
  int8_t board[65] = {};
  RootState state{};
  std::string fen;
  for (int i = 1; i < argc; i++) {
    if (i > 1) fen += ' ';
    fen += argv[i];
  }
  if (argc < 2) {
    SetStartPosition(board, &state);
  } else if (!ParseFen(fen.c_str(), board, &state) || !IsPlayablePosition(board, &state)) {
    fprintf(stderr, "eval: not a playable position: %.200s\n", fen.c_str());
    return 2;
  }
  EvalBreakdown bd;
  uint32_t phaseCode;
  if (!BreakDownGameRoot(board, state, &bd, &phaseCode)) {
    fprintf(stderr, "eval: out of memory\n");
    return 2;
  }
  for (int g = 0; g < EvalGroupCount; g++) printf("%s: %d\n", EvalGroupName[g], bd.group[g]);
  printf("Material and piece squares: %d\n", bd.lazy);
  printf("Phase class: 0x%X\n", unsigned(phaseCode));
  if (bd.drawScale) printf("Draw scale: %d%%\n", bd.drawScale);
  if (bd.drawFlag) printf("Dead draw\n");
  printf("Total: %d\n", bd.total);
  return 0;
}
