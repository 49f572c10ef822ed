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
#include "board/position.h"
#include "board/root_ply.h"
#include "eval/piece_square.h"

constexpr const char* StartFen = "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1";
constexpr const char* KiwipeteFen = "r3k2r/p1ppqpb1/bn2pnp1/3PN3/1p2P3/2N2Q1p/PPPBBPPP/R3K2R w KQkq - 0 1";
constexpr const char* EndgameFen = "8/2p5/3p4/KP5r/1R3p1k/8/4P1P1/8 w - - 0 1";
constexpr const char* PromotionsFen = "r3k2r/Pppp1ppp/1b3nbN/nP6/BBP1P3/q4N2/Pp1P2PP/R2Q1RK1 w kq - 0 1";
constexpr const char* TalkchessFen = "rnbq1k1r/pp1Pbppp/2p5/8/2B5/8/PPP1NnPP/RNBQK2R w KQ - 1 8";
constexpr const char* MiddlegameFen = "r4rk1/1pp1qppp/p1np1n2/2b1p1B1/2B1P1b1/P1NP1N2/1PP1QPPP/R4RK1 w - - 0 10";

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
