// Root preparation: the phase class, the tables built for the root, the repetition window,
// the signatures and the search switches.
#include <cstring>
#include <initializer_list>

#include "board/game.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "board/test_fens.h"
#include "board/types.h"
#include "eval/eval_fixture.h"
#include "eval/piece_square.h"
#include "eval/root_patterns.h"
#include "eval/root_tables.h"
#include "eval/squares.h"
#include "protocol/options.h"

namespace {

struct PrepareRootTest : ::testing::Test {
  void SetUp() override { SetOptionDefaults(); }
  void TearDown() override {
    for (int i = 0; i < OptionWeightCount; i++) OptionWeights[i] = 100;
    SetOptionDefaults();
  }
  EvalSetup s;
};

}  // namespace

TEST_F(PrepareRootTest, PhaseClassOfRootPositions) {
  struct Case {
    const char* fen;
    int phaseClass;
  } cases[] = {
      {StartFen, 1},
      {MiddlegameFen, 2},
      {EndgameFen, 4},
      {"8/4k3/4p3/8/8/4P3/4K3/8 w - - 0 1", 4 | 0x10},
      {"8/8/8/8/3k4/8/3K4/8 w - - 0 1", 4 | 0x10},
      {"3b4/8/3k4/8/7K/8/8/4n3 w - - 0 1", 0x20},
      {"8/8/8/8/7k/3K4/8/3B1N2 b - - 0 1", 0x40},
      {"8/8/8/8/7k/3K4/7P/8 b - - 0 1", 4 | 0x10},  // a single pawn is not more than a pawn
      {"4k3/8/8/8/8/8/8/R3K3 w - - 0 1", 0x40},
  };
  for (const Case& c : cases) {
    s.Load(c.fen);
    EXPECT_EQ(PhaseCode, c.phaseClass) << c.fen;
  }
}

TEST_F(PrepareRootTest, BareKingAgainstBishopAndKnightIsDrivenToTheBishopsCorners) {
  s.Load("3b4/8/3k4/8/7K/8/8/4n3 w - - 0 1");  // dark-squared bishop on d8
  EXPECT_EQ(PieceSquareTable[WKing][sq::A1], -124);
  EXPECT_EQ(PieceSquareTable[WKing][sq::H8], -124);
  EXPECT_EQ(PieceSquareTable[WKing][sq::A8], -48);
  s.Load("2b5/8/3k4/8/7K/8/8/4n3 w - - 0 1");  // light-squared bishop on c8
  EXPECT_EQ(PieceSquareTable[WKing][sq::A8], -124);
  EXPECT_EQ(PieceSquareTable[WKing][sq::H1], -124);
  s.Load("8/8/8/8/7k/3K4/8/3B1N2 b - - 0 1");  // Black bare king, White's bishop on a light square
  EXPECT_EQ(PieceSquareTable[BKing][sq::A8], -124);
  EXPECT_EQ(PieceSquareTable[BKing][sq::H1], -124);
}

TEST_F(PrepareRootTest, KingsAndPawnsOnlyNeverSwitchToEndgameAfterCaptures) {
  s.Load("8/4k3/4p3/8/8/4P3/4K3/8 w - - 0 1");
  for (int i = 0; i < 256; i++) EXPECT_EQ(EndgameAfterCaptures[i], 0) << i;
}

TEST_F(PrepareRootTest, EndgameAfterCapturesOfBothQueens) {
  s.Load("rnbq2k1/pppppppp/8/8/8/8/PPPPPPPP/RNBQ2K1 w - - 0 1");
  EXPECT_EQ(PhaseCode & 0x64, 0);
  EXPECT_EQ(EndgameAfterCaptures[0xC0], 1);
  EXPECT_EQ(EndgameAfterCaptures[0], 0);
  // Removing a kind that is not on the board changes nothing.
  s.Load("rnb3k1/pppppppp/8/8/8/8/PPPPPPPP/RNBQ2K1 w - - 0 1");
  EXPECT_EQ(EndgameAfterCaptures[0x40], EndgameAfterCaptures[0]);
}

TEST_F(PrepareRootTest, StartPositionTablesAreBaseTablesWithTheOpeningAdjustments) {
  s.Load(StartFen);
  EXPECT_EQ(PieceSquareTable[WKnight][sq::B1], -4 - 18);
  EXPECT_EQ(PieceSquareTable[BKnight][sq::G8], -4 - 18);
  EXPECT_EQ(PieceSquareTable[WKnight][sq::B5], 10 - 10);
  EXPECT_EQ(PieceSquareTable[BKnight][sq::G4], 10 - 10);
  EXPECT_EQ(PieceSquareTable[WBishop][sq::C1], 5 - 15 + 4);
  EXPECT_EQ(PieceSquareTable[BBishop][sq::D6], 17 + 4);
  EXPECT_EQ(PieceSquareTable[WKing][sq::G1], 2 + 8);
  EXPECT_EQ(PieceSquareTable[BKing][sq::C8], -2 + 6);
  EXPECT_EQ(PieceSquareTable[WQueen][sq::D1], 5 + 15);
  EXPECT_EQ(PieceSquareTable[WPawn][sq::E2], -17);
  EXPECT_EQ(PieceSquareTable[BPawn][sq::E7], -17);
  EXPECT_EQ(PieceSquareTable[WRook][sq::H8], 16);
  EXPECT_EQ(s.root->pstSum, 0);
}

TEST_F(PrepareRootTest, QueenWeightRaisesEveryQueenSquareInAMiddlegameRoot) {
  const char* fen = MiddlegameFen;
  s.Load(fen);
  int before[2][65];
  for (int q = 0; q < 2; q++)
    for (int sq = 1; sq <= 64; sq++) before[q][sq] = PieceSquareTable[q ? BQueen : WQueen][sq];
  int rookBefore = PieceSquareTable[WRook][sq::D1];
  OptionWeights[WeightQueen] = 200;
  s.Load(fen);
  for (int q = 0; q < 2; q++)
    for (int sq = 1; sq <= 64; sq++) EXPECT_EQ(PieceSquareTable[q ? BQueen : WQueen][sq], before[q][sq] + 1055);
  EXPECT_EQ(PieceSquareTable[WRook][sq::D1], rookBefore);
  // The endgame weight does not act on a middlegame root.
  OptionWeights[WeightQueen] = 100;
  OptionWeights[WeightQueenEnd] = 200;
  s.Load(fen);
  EXPECT_EQ(PieceSquareTable[WQueen][sq::D4], before[0][sq::D4]);
}

// The minority-pattern changes belong to the b-pawn they are about: a pawn on its second or
// third rank, or one on its fourth; with the pawn elsewhere or gone the tables stay as they are.
TEST_F(PrepareRootTest, MinorityPatternChangesNeedTheirBPawn) {
  struct Case {
    const char* name;
    int flag, pawnCode, pawnSquare;
    int rookCode, rookSquare, rookChange, pawnChange;
  };
  const Case cases[] = {
      {"White b2", PatternMinorityWhite, WPawn, sq::B2, WRook, sq::C1, -5, -13},
      {"White b4", PatternMinorityWhite, WPawn, sq::B4, WRook, sq::C1, -5, -11},
      {"White b5", PatternMinorityWhite, WPawn, sq::B5, WRook, sq::C1, 0, 0},
      {"White without b-pawn", PatternMinorityWhite, 0, 0, WRook, sq::C1, 0, 0},
      {"Black b6", PatternMinorityBlack, BPawn, sq::B6, BRook, sq::C8, -5, -13},
      {"Black b5", PatternMinorityBlack, BPawn, sq::B5, BRook, sq::C8, -5, -11},
      {"Black b4", PatternMinorityBlack, BPawn, sq::B4, BRook, sq::C8, 0, 0},
  };
  static int32_t saved[16][65];
  std::memcpy(saved, PieceSquareTable, sizeof saved);
  for (const Case& c : cases) {
    int8_t board[65] = {};
    board[sq::G1] = WKing;
    board[sq::G8] = BKing;
    if (c.pawnCode) board[c.pawnSquare] = int8_t(c.pawnCode);
    RootCounts rc{};
    rc.board = board;
    rc.king[White] = sq::G1;
    rc.king[Black] = sq::G8;
    rc.phaseClass = 2;
    RootPatternFlags = c.flag;
    ApplyRootPatterns(&rc);
    int changed = 0;
    for (int code = 0; code < 16; code++)
      for (int x = 1; x <= 64; x++) changed += PieceSquareTable[code][x] != saved[code][x];
    EXPECT_EQ(PieceSquareTable[c.rookCode][c.rookSquare] - saved[c.rookCode][c.rookSquare], c.rookChange) << c.name;
    if (c.pawnCode) {
      EXPECT_EQ(PieceSquareTable[c.pawnCode][c.pawnSquare] - saved[c.pawnCode][c.pawnSquare], c.pawnChange) << c.name;
    }
    if (c.rookChange == 0) {
      EXPECT_EQ(changed, 0) << c.name;
    }
    std::memcpy(PieceSquareTable, saved, sizeof saved);
  }
  RootPatternFlags = 0;
}

TEST_F(PrepareRootTest, PawnPlansChangeMovesButNotTheRootValue) {
  // Kings on opposite wings: the pawn tables push the storming pawns.
  s.Load("2kr3r/pppq1ppp/2n1bn2/2b1p3/4P3/2NPBN2/PPPQBPPP/R4RK1 w - - 5 9");
  EXPECT_NE(WhiteSideTerm, 0);
  int plain = 0;
  for (int sq = 1; sq <= 64; sq++) {
    int code = s.pos->board[sq];
    if (code > 0) plain += PieceSide(code) == White ? PieceSquareTable[code][sq] : -PieceSquareTable[code][sq];
  }
  EXPECT_EQ(s.root->pstSum, plain + WhiteSideTerm);
  EXPECT_GT(PieceSquareTable[WPawn][sq::H5] - PieceSquareTable[WPawn][sq::H2], 0);
}

TEST_F(PrepareRootTest, RepetitionWindowAndMoveCountComeFromTheGame) {
  int8_t board[65];
  RootState state;
  SetStartPosition(board, &state);
  if (!GameHistory) {
    ASSERT_EQ(AllocateGameHistory(), 1);
  }
  SetGameRoot(board, state);
  const char* cycle[4] = {"g8f6", "g1f3", "f6g8", "f3g1"};
  ASSERT_NE(ApplyGameMove(ParseLegalGameMove("e2e4")), 0);
  for (int i = 0; i < 32; i++) ASSERT_NE(ApplyGameMove(ParseLegalGameMove(cycle[i % 4])), 0) << i;
  LoadRootIntoPosition(s.pos.get());
  PlyState* root = PrepareRoot(s.pos.get(), &GameHistory[GameLength]);
  EXPECT_EQ(PhaseCode, 2);  // 33 moves played: no longer the opening
  EXPECT_EQ(root->irreversible, &s.pos->keyBuffer[0]);
  EXPECT_EQ(s.pos->keyPtr, &s.pos->keyBuffer[32]);
  EXPECT_EQ(*s.pos->keyPtr, root->key2);
  EXPECT_EQ(s.pos->keyBuffer[0], root->key2);  // the position after e4 came back
  EXPECT_EQ(s.pos->keyBuffer[4], root->key2);
}

TEST_F(PrepareRootTest, SignaturesFollowTheSettings) {
  const char* fen = MiddlegameFen;
  s.Load(fen);
  uint32_t search = TableSignatureSearch, eval = TableSignatureEval, stamp = EvalSignature;
  s.Load(fen);
  EXPECT_EQ(TableSignatureSearch, search);
  EXPECT_EQ(TableSignatureEval, eval);
  EXPECT_EQ(EvalSignature, stamp);
  OptionWeights[WeightKingSafety] = 120;
  s.Load(fen);
  EXPECT_NE(TableSignatureSearch, search);
  EXPECT_NE(TableSignatureEval, eval);
  EXPECT_NE(EvalSignature, stamp);
  OptionWeights[WeightKingSafety] = 100;
  // Another root of the same class with other tables gets another cache stamp.
  s.Load("2kr3r/pppq1ppp/2n1bn2/2b1p3/4P3/2NPBN2/PPPQBPPP/R4RK1 w - - 5 9");
  EXPECT_EQ(TableSignatureEval, eval);
  EXPECT_NE(EvalSignature, stamp);
}

TEST_F(PrepareRootTest, SearchSwitches) {
  s.Load(StartFen);
  EXPECT_EQ(NullMoveSwitch, 1);
  EXPECT_EQ(NullMaterialLimitEnabled, 0);
  EXPECT_EQ(MultiCutSwitch, 1);
  EXPECT_EQ(HangingReductionPlyLimit, 4);
  EXPECT_EQ(SingularSwitch, 1);
  EXPECT_EQ(CheckExtensionPlyLimit, 99);
  EXPECT_EQ(FutilitySwitch, 1);
  EXPECT_EQ(PawnEndingExtensionSwitch, 0);
  s.Load("6k1/5ppp/8/8/8/8/5PPP/R5K1 w - - 0 1");
  EXPECT_EQ(NullMaterialLimitEnabled, 1);
  EXPECT_EQ(MultiCutSwitch, 0);
  EXPECT_EQ(HangingReductionPlyLimit, 99);  // Black has no piece at all
  EXPECT_EQ(SingularSwitch, 0);
  EXPECT_EQ(CheckExtensionPlyLimit, 4);
  EXPECT_EQ(FutilitySwitch, 0);
  EXPECT_EQ(PawnEndingExtensionSwitch, 1);
  s.Load("2r3k1/5ppp/8/8/8/8/5PPP/3R2K1 w - - 0 1");
  EXPECT_EQ(CheckExtensionPlyLimit, 4);
  EXPECT_EQ(HangingReductionPlyLimit, 4);
  ForwardPruning = 0;
  s.Load(StartFen);
  EXPECT_EQ(FutilitySwitch, 0);
  StyleMultiCut = 0;
  CombinationSingular = 0;
  s.Load(StartFen);
  EXPECT_EQ(MultiCutSwitch, 0);
  EXPECT_EQ(SingularSwitch, 0);
}

// Make and unmake keep the sum of these tables: after every move it equals a recount.
TEST_F(PrepareRootTest, MovesKeepThePieceSquareSumOfTheRootTables) {
  int checked = 0;
  for (const char* fen : {"2kr3r/pppq1ppp/2n1bn2/2b1p3/4P3/2NPBN2/PPPQBPPP/R4RK1 w - - 5 9",
                          KiwipeteFen,
                          EndgameFen}) {
    s.Load(fen);
    ASSERT_EQ(s.root->pstSum, RootPieceSquareSum(s.pos.get(), s.root->side));
    GenerateMoves(s.pos.get(), s.root, GenAll, 1);
    for (MoveEntry* list : {s.root->tacticalBase, s.root->quietBase})
      for (MoveEntry* e = list; e->score != MoveListEnd; e++) {
        s.root->move = e->move;
        PlyState* child = MakeMove(s.pos.get(), s.root);
        if (!child) continue;
        EXPECT_EQ(child->pstSum, RootPieceSquareSum(s.pos.get(), child->side)) << fen;
        UnmakeMove(s.pos.get(), s.root);
        checked++;
      }
  }
  EXPECT_GT(checked, 60);
}
