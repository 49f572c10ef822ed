// A search position set up from a FEN as the root search would, and a small root loop.
#pragma once
#include <gtest/gtest.h>
#include <cstring>
#include <memory>
#include <vector>
#include "board/fen.h"
#include "board/game.h"
#include "board/game_fixture.h"
#include "board/geometry.h"
#include "board/make_move.h"
#include "board/move_text.h"
#include "board/movegen.h"
#include "eval/evaluate.h"
#include "eval/prepare_root.h"
#include "eval/running_bounds.h"
#include "search/search.h"
#include "search/search_flags.h"
#include "search/time_control.h"
#include "search/trans_table.h"

struct RootResult {
  int score;
  Move best;
  uint64_t nodes;
};

class SearchFixture : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    BuildGeometryTables();
    if (!GameHistory) {
      ASSERT_EQ(AllocateGameHistory(), 1);
    }
    ASSERT_EQ(AllocateHashTables(8192), 1);
  }
  static void TearDownTestSuite() { FreeHashTables(); }

  std::unique_ptr<Position> pos{new Position{}};
  PlyState* root = nullptr;

  // Sets up the game from the FEN and prepares a new search on it.
  void Load(const char* fen) {
    ASSERT_TRUE(SetGameFromFen(fen)) << fen;
    LoadRootIntoPosition(pos.get());
    root = PrepareRoot(pos.get(), &GameHistory[GameLength]);
    NewSearch();
  }

  // Plays the coordinate move on the search position from `node` and returns the child.
  PlyState* Play(PlyState* node, const char* text) {
    const Move move = FindMove(node, text);
    EXPECT_NE(move, 0u) << text;
    node->move = move;
    PlyState* child = MakeMove(pos.get(), node);
    EXPECT_NE(child, nullptr) << text;
    return child;
  }

  // The generated move of `node` whose coordinate text is `text` (e.g. "e2e4"), or 0.
  Move FindMove(PlyState* node, const char* text) {
    for (Move move : PseudoLegalMoves(node)) {
      char buffer[32];
      MoveToText(buffer, move);
      if (std::strcmp(buffer + (buffer[0] == ' '), text) == 0) return move;
    }
    return 0;
  }

  std::vector<Move> PseudoLegalMoves(PlyState* node) {
    PlyState saved = *node;
    node->quietCursor = node->quietBase;
    node->tacticalCursor = node->tacticalBase;
    node->listsMade = 0;
    node->hashMove1 = node->triedHashMove2 = 0;  // the generator would leave them out
    GenerateMoves(pos.get(), node, GenAll, 1);
    std::vector<Move> moves;
    for (MoveEntry* list : {node->tacticalBase, node->quietBase})
      for (MoveEntry* e = list; e->score != MoveListEnd; e++) moves.push_back(e->move);
    *node = saved;
    return moves;
  }

  std::vector<Move> LegalMoves(PlyState* node) {
    std::vector<Move> legal;
    for (Move move : PseudoLegalMoves(node)) {
      node->move = move;
      if (MakeMove(pos.get(), node)) {
        UnmakeMove(pos.get(), node);
        legal.push_back(move);
      }
    }
    return legal;
  }

  // The per-search state the root search sets up before its iterations.
  void NewSearch() {
    std::memset(pos->history, 0, sizeof pos->history);
    std::memset(pos->killers, 0, sizeof pos->killers);
    NullDepth = SingularDepth = VerifyDepth = MultiCutDepth = 0;
    AdvanceTransGeneration();
    MapGenerationSignatures(TableSignatureSearch);
    HashfullCount = 0;
    pos->nodeCount = 0;
    StopFlag = 0;
    NextPollPoint = UINT64_MAX;
    RootBalance = root->material[White] - root->material[Black];
    RepetitionShift = (PhaseCode & 0x64) ? 2 : 1;
    SetDrawContempt(root->side);
    ResetRunningBounds();
    Evaluate(pos.get(), root, -30000, 30000, 0);
    WidenRunningBounds();
    for (int side = 0; side < 2; side++) {
      PositionalMax[side] = std::max(PositionalMax[side], 0);
      PositionalMin[side] = std::min(PositionalMin[side], 0);
    }
  }

  void SetIterationLimits(int depth) {
    RootDepth = depth;
    MaxSearchPly = depth;
    SingularPlyLimit = depth;
    NullMaterialPlyLimit = 0;
    NullReductionThreshold = (PhaseCode & 0x64) ? 5 : 4;
  }

  // Iterative deepening with the full window over every legal root move.
  RootResult SearchTo(int maxDepth) {
    const std::vector<Move> moves = LegalMoves(root);
    RootResult result{0, 0, 0};
    for (int depth = 1; depth <= maxDepth; depth++) {
      SetIterationLimits(depth);
      int alpha = -MateScore;
      Move best = 0;
      for (Move move : moves) {
        root->move = move;
        PlyState* child = MakeMove(pos.get(), root);
        const int score = -Search(pos.get(), child, -MateScore, -alpha, depth - 1, NullMoveSwitch, 0);
        UnmakeMove(pos.get(), root);
        if (!best || score > alpha) {
          alpha = score;
          best = move;
        }
      }
      result = RootResult{alpha, best, pos->nodeCount};
    }
    return result;
  }

  static std::string Text(Move move) {
    char buffer[32];
    MoveToText(buffer, move);
    return std::string(buffer + (buffer[0] == ' '));
  }
};
