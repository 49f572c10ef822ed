#include <gtest/gtest.h>
#include <cstring>
#include <string>

#include "board/fen.h"
#include "board/geometry.h"
#include "board/test_fens.h"
#include "search/learning_text.h"

static LearningRecord RecordOn(const char* fen) {
  LearningRecord r;
  memset(&r, 0, sizeof r);
  RootState state;
  EXPECT_TRUE(ParseFen(fen, r.board, &state));
  r.side = uint8_t(state.side);
  return r;
}

static std::string Text(const LearningRecord& r) {
  char text[LearningTextSize];
  LearningRecordText(&r, text);
  return text;
}

TEST(LearningText, SoundRecordsReadAsFenMovesAndResult) {
  BuildGeometryTables();
  LearningRecord r = RecordOn(StartFen);
  r.bestMove = MakeMoveWord(13, 29, WPawn) | MoveDoubleStep;
  r.reply = MakeMoveWord(53, 37, BPawn) | MoveDoubleStep;
  r.score = 25;
  r.depth = 9;
  r.signature = 0xB7D47EC7;
  EXPECT_EQ(Text(r), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w - - 0 1 best e2e4 reply e7e5 "
                     "score 25 depth 9 bound exact signature b7d47ec7");

  r = RecordOn("8/P6k/8/8/8/8/8/K7 w - - 0 1");
  r.bestMove = MakeMoveWord(49, 57, WPawn, 0, WQueen);
  r.score = -31;
  r.depth = 4;
  r.bound = LearnedUpperBound;
  r.signature = 7;
  EXPECT_EQ(Text(r), "8/P6k/8/8/8/8/8/K7 w - - 0 1 best a7a8q reply - score -31 depth 4 bound upper signature 00000007");
  r.side = 1;
  r.bound = LearnedLowerBound;
  EXPECT_NE(Text(r).find(" b - - 0 1 "), std::string::npos);
  EXPECT_NE(Text(r).find("bound lower"), std::string::npos);
}

TEST(LearningText, DamagedBytesShowAsQuestionMarks) {
  LearningRecord r;
  memset(&r, 0, sizeof r);
  for (int sq = 1; sq <= 64; sq++) r.board[sq] = int8_t(sq % 3 ? -100 + sq : 12);
  r.side = 9;
  r.bound = 0x13;
  r.bestMove = 0xFFFFFFFF;
  r.reply = MakeMoveWord(70, 3, WKnight);
  std::string text = Text(r);
  EXPECT_EQ(text.substr(0, 9), std::string(8, '?') + "/");
  EXPECT_NE(text.find(" ? - - 0 1 best ? reply ? "), std::string::npos) << text;
  EXPECT_NE(text.find("bound ?"), std::string::npos);
}
