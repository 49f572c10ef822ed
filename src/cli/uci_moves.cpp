#include "cli/uci_moves.h"

#include "board/fen.h"
#include "board/game.h"
#include "board/move_text.h"

static std::string FirstLegalMove() {
  static const char* const Promotions[] = {"", "q"};
  for (int from = 1; from <= 64; ++from)
    for (int to = 1; to <= 64; ++to)
      for (const char* promotion : Promotions) {
        std::string text = std::string(SquareName[from]) + SquareName[to] + promotion;
        if (from != to && ParseLegalGameMove(text.c_str())) return text;
      }
  return "";
}

std::string CheckedBestMove(const std::string& interpreterText) {
  std::string best, ponder;
  size_t at = interpreterText.find(' ');
  if (at != std::string::npos) {
    size_t end = interpreterText.find(' ', at + 1);
    best = interpreterText.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1);
    const std::string marker = " ponder ";
    size_t p = interpreterText.find(marker);
    if (p != std::string::npos) ponder = interpreterText.substr(p + marker.size());
  }
  if (best.empty() || !ParseLegalGameMove(best.c_str())) {
    best = FirstLegalMove();
    ponder.clear();
  }
  if (best.empty()) return "bestmove 0000";
  return "bestmove " + best + (ponder.empty() ? "" : " ponder " + ponder);
}

bool FenIsPlayable(const std::vector<std::string>& words) {
  std::string fen;
  for (size_t i = 2; i < words.size() && words[i] != "moves"; ++i) fen += words[i] + " ";
  int8_t board[65];
  RootState state;
  return ParseFen(fen.c_str(), board, &state) && IsPlayablePosition(board, &state);
}
