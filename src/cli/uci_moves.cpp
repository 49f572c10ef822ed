#include "cli/uci_moves.h"

#include "board/game.h"
#include "board/move_text.h"
#include "cli/uci_output.h"

std::string CheckedBestMove(const std::string& interpreterText) {
  const std::string prefix = "bestmove ";
  std::string words = interpreterText.compare(0, prefix.size(), prefix) == 0 ? interpreterText.substr(prefix.size()) : "";
  std::string best = words.substr(0, words.find(' '));
  if (!best.empty() && ParseLegalGameMove(best.c_str())) return prefix + words;
  Move legal[1];
  if (ListLegalGameMoves(legal, 1) == 0) return prefix + "0000";
  char text[16];
  MoveToText(text, legal[0]);
  PrintInfoString("the search named no legal move; playing the first legal one");
  return prefix + (text + 1);
}
