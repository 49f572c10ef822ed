// Test helpers: a search position prepared as a search would from a FEN text, and the
// colour-flipped mirror of a FEN.
#pragma once
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "board/game.h"
#include "board/game_fixture.h"
#include "board/playable.h"
#include "board/position.h"
#include "eval/eval_cache.h"
#include "eval/evaluate.h"
#include "eval/prepare_root.h"
#include "eval/running_bounds.h"

struct EvalSetup {
  std::unique_ptr<Position> pos{new Position()};
  PlyState* root = nullptr;

  // Loads a playable FEN into the game and prepares the root; fails the test otherwise.
  PlyState* Load(const std::string& fen) {
    if (!GameHistory) {
      EXPECT_EQ(AllocateGameHistory(), 1);
    }
    EXPECT_TRUE(SetGameFromFen(fen.c_str())) << fen;
    EXPECT_EQ(IsPlayablePosition(RootBoard, &RootStateNow), 1) << fen;
    LoadRootIntoPosition(pos.get());
    root = PrepareRoot(pos.get(), &GameHistory[GameLength]);
    ResetRunningBounds();
    SetDrawContempt(root->side);
    return root;
  }

  int Full() { return Evaluate(pos.get(), root, -30000, 30000, 0); }
};

// The position with ranks mirrored and colours, side to move, castling rights and the
// en-passant square exchanged.
inline std::string MirrorFen(const std::string& fen) {
  std::string placement, side, castling = "-", ep = "-", rest;
  size_t i = 0;
  auto field = [&](std::string& out) {
    while (i < fen.size() && fen[i] == ' ') i++;
    size_t start = i;
    while (i < fen.size() && fen[i] != ' ') i++;
    if (i > start) out = fen.substr(start, i - start);
  };
  field(placement);
  field(side);
  field(castling);
  field(ep);
  std::string ranks[8];
  int r = 0;
  for (char c : placement) {
    if (c == '/') r++;
    else if (r < 8) ranks[r] += char(isupper(c) ? tolower(c) : islower(c) ? toupper(c) : c);
  }
  std::string out;
  for (int k = 7; k >= 0; k--) out += ranks[k] + (k ? "/" : "");
  out += side == "w" ? " b " : " w ";
  std::string c2;
  for (char c : castling) c2 += c == '-' ? '-' : char(isupper(c) ? tolower(c) : toupper(c));
  std::string ordered;
  for (char c : std::string("KQkq"))
    if (c2.find(c) != std::string::npos) ordered += c;
  out += (ordered.empty() ? "-" : ordered) + " ";
  if (ep.size() == 2) ep[1] = char('9' - ep[1] + '0');
  out += ep + " 0 1";
  return out;
}
