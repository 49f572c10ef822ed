// Test helpers: a heap-allocated search position set up from a FEN text.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "board/fen.h"
#include "board/make_move.h"
#include "board/move_text.h"
#include "board/movegen.h"
#include "board/piece_lists.h"
#include "board/playable.h"
#include "board/position.h"
#include "board/root_ply.h"
#include "board/test_fens.h"
#include "eval/piece_square.h"

struct BoardSetup {
  std::unique_ptr<Position> pos{new Position()};
  PlyState* root = nullptr;

  // Loads a FEN that must be playable; fails the test otherwise.
  // Starts from zero piece-square tables, whatever an earlier search left in them.
  BoardSetup() { memset(PieceSquareTable, 0, sizeof PieceSquareTable); }

  PlyState* Load(const char* fen) {
    RootState state{};
    EXPECT_EQ(ParseFen(fen, pos->board, &state), 1) << fen;
    EXPECT_EQ(IsPlayablePosition(pos->board, &state), 1) << fen;
    BuildPieceLists(pos.get());
    BuildAttackTables(pos.get());
    pos->keyPtr = nullptr;
    root = SetupRootPly(pos.get(), state.side, state.flags);
    return root;
  }
};

// The moves of a list up to its end marker.
inline std::vector<Move> ListMoves(const MoveEntry* list) {
  std::vector<Move> moves;
  for (; list->score != MoveListEnd; list++) moves.push_back(list->move);
  return moves;
}

inline std::string MoveString(Move move) {
  char text[16];
  MoveToText(text, move);
  return text + 1;
}

// The coordinate texts of a list of moves, in order.
inline std::vector<std::string> MoveStrings(const std::vector<Move>& moves) {
  std::vector<std::string> texts;
  for (Move m : moves) texts.push_back(MoveString(m));
  return texts;
}
