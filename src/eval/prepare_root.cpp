// Root preparation: the root ply state with its repetition window, the phase class, the
// tables of the evaluation, the two table signatures and the search switches.
#include "eval/prepare_root.h"
#include <initializer_list>
#include "board/game.h"
#include "board/keys.h"
#include "board/option_values.h"
#include "board/piece_square_table.h"
#include "board/piece_values.h"
#include "board/root_ply.h"
#include "board/types.h"
#include "eval/kpk.h"
#include "eval/material.h"
#include "eval/pawn_table_steps.h"
#include "eval/piece_square.h"
#include "eval/root_counts.h"
#include "eval/root_patterns.h"
#include "eval/root_tables.h"
#include "eval/squares.h"

int32_t PhaseCode = 1;
uint8_t EndgameAfterCaptures[256];
int32_t WhiteSideTerm = 0;
uint32_t TableSignatureSearch = 0;
uint32_t TableSignatureEval = 0;
int32_t NullMoveSwitch = 1;
int32_t NullMaterialLimitEnabled = 0;
int32_t MultiCutSwitch = 0;
int32_t HangingReductionPlyLimit = 99;
int32_t SingularSwitch = 0;
int32_t CheckExtensionPlyLimit = 99;
int32_t FutilitySwitch = 0;
int32_t PawnEndingExtensionSwitch = 0;

static int32_t signatureCount[2];

int IsEndgameLike(int phaseClass) { return (phaseClass & 0x64) != 0; }

int IsEndgameMaterial(int queens, int majors, int minors, int nonPawn, int pawns) {
  if (queens >= 2 && majors >= 4) return 0;
  if (nonPawn <= 2976) return 1;
  int r = majors + minors;
  if (r <= 5 && pawns <= 10) return 1;
  if (majors <= 2 && minors <= 4 && pawns <= 8) return 1;
  if (queens <= 1 && ((r <= 6 && majors <= 2) || (r <= 7 && pawns <= 10))) return 1;
  if (queens == 0 && (r <= 7 || (r <= 8 && pawns <= 10) || (majors <= 3 && minors <= 5))) return 1;
  return r <= 3;
}

// Adds value times a fixed pseudo-random word to signature `which` (0 search, 1 evaluation).
static void SignatureAdd(int which, int32_t value) {
  uint32_t* signature = which ? &TableSignatureEval : &TableSignatureSearch;
  int32_t n = ++signatureCount[which];
  int m = (n < 0 ? -n : n) & 1023;
  *signature += uint32_t(value) * ZobristKey1[m / 64][m % 64 + 1];
}

static void SignatureAddBoth(int32_t value) {
  SignatureAdd(0, value);
  SignatureAdd(1, value);
}

static void CountRoot(const Position* pos, const PlyState* root, RootCounts* rc) {
  *rc = RootCounts{};
  rc->board = pos->board;
  rc->side = root->side;
  rc->castling = root->flags & AllCastling;
  for (int s = 1; s <= 64; s++) {
    int code = pos->board[s];
    if (code <= 0) continue;
    int side = PieceSide(code);
    switch (PieceKind(code)) {
      case WKing: rc->king[side] = s; break;
      case WPawn:
        rc->pawns[side]++;
        rc->pawnsOnFile[side][FileOf(s)]++;
        break;
      case WKnight: rc->knights[side]++; break;
      case WBishop:
        rc->bishops[side]++;
        rc->lastBishopDark[side] = IsDarkSquare(s);
        break;
      case WRook: rc->rooks[side]++; break;
      case WQueen: rc->queens[side]++; break;
      default: break;
    }
    if (PieceKind(code) != WKing) rc->material[side] += PieceValue[code];
  }
  static const int homes[5] = {sq::B1, sq::G1, sq::C1, sq::F1, sq::E1};
  static const int kinds[5] = {WKnight, WKnight, WBishop, WBishop, WKing};
  for (int side = White; side <= Black; side++) {
    rc->nonPawn[side] = rc->material[side] - 100 * rc->pawns[side];
    for (int i = 0; i < 5; i++) rc->development[side] += RootHas(rc, side, kinds[i], homes[i]);
  }
}

static int MovesPlayed() {
  if (!KeyHistory || !KeyHistoryTop) return 0;
  return int(KeyHistoryTop - KeyHistory) - 3;
}

static int ClassifyRoot(const RootCounts* rc) {
  int cls;
  int queens = rc->queens[0] + rc->queens[1];
  int majors = rc->rooks[0] + rc->rooks[1] + queens;
  int minors = rc->knights[0] + rc->knights[1] + rc->bishops[0] + rc->bishops[1];
  if (rc->material[White] == 0 && rc->material[Black] > 100)
    cls = 0x20;
  else if (rc->material[Black] == 0 && rc->material[White] > 100)
    cls = 0x40;
  else if (IsEndgameMaterial(queens, majors, minors, rc->nonPawn[0] + rc->nonPawn[1], rc->pawns[0] + rc->pawns[1]))
    cls = 4;
  else if (rc->development[0] && rc->development[1] && rc->development[0] + rc->development[1] >= 3 &&
           queens >= 2 && MovesPlayed() < 30)
    cls = 1;
  else
    cls = 2;
  if (rc->nonPawn[0] == 0 && rc->nonPawn[1] == 0) cls |= 0x10;
  return cls;
}

static void BuildEndgameAfterCaptures(const RootCounts* rc) {
  if (IsEndgameLike(rc->phaseClass)) {
    for (int i = 0; i < 256; i++) EndgameAfterCaptures[i] = 0;
    return;
  }
  // Bit order of CapturedKinds: Black knight, White knight, Black bishop, White bishop,
  // Black rook, White rook, Black queen, White queen.
  static const int bitSide[8] = {Black, White, Black, White, Black, White, Black, White};
  static const int bitKind[8] = {WKnight, WKnight, WBishop, WBishop, WRook, WRook, WQueen, WQueen};
  for (int i = 0; i < 256; i++) {
    int count[2][8] = {};
    for (int side = White; side <= Black; side++) {
      count[side][WKnight] = rc->knights[side];
      count[side][WBishop] = rc->bishops[side];
      count[side][WRook] = rc->rooks[side];
      count[side][WQueen] = rc->queens[side];
    }
    int nonPawn = rc->nonPawn[0] + rc->nonPawn[1];
    for (int bit = 0; bit < 8; bit++)
      if ((i >> bit & 1) && count[bitSide[bit]][bitKind[bit]] > 0) {
        count[bitSide[bit]][bitKind[bit]]--;
        nonPawn -= PieceValue[bitKind[bit]];
      }
    int queens = count[0][WQueen] + count[1][WQueen];
    int majors = queens + count[0][WRook] + count[1][WRook];
    int minors = count[0][WKnight] + count[1][WKnight] + count[0][WBishop] + count[1][WBishop];
    EndgameAfterCaptures[i] = uint8_t(IsEndgameMaterial(queens, majors, minors, nonPawn, rc->pawns[0] + rc->pawns[1]));
  }
}

static void SetRootScalars(const RootCounts* rc) {
  int endgameLike = IsEndgameLike(rc->phaseClass);
  CentreMask[0] = CentreMask[1] = 0;
  for (int f = 3; f <= 6; f++) {
    for (int r = 4; r <= 6; r++) CentreMask[0] |= uint64_t(1) << (SquareOf(f, r) - 1);
    for (int r = 3; r <= 5; r++) CentreMask[1] |= uint64_t(1) << (SquareOf(f, r) - 1);
  }
  WinningChancesFlag = 1;
  for (int side = White; side <= Black; side++) {
    int lead = rc->nonPawn[side] - rc->nonPawn[side ^ 1];
    if (lead > 0 && lead <= 325 && rc->pawns[side] == 0 && rc->pawns[side ^ 1] > 0) WinningChancesFlag = 0;
  }
  int wk = FileOf(rc->king[White]), bk = FileOf(rc->king[Black]);
  SameWingFlag = (wk <= 3 && bk <= 3) || (wk >= 6 && bk >= 6);
  int pawns = rc->pawns[0] + rc->pawns[1];
  MinorPiecesFlag = endgameLike && pawns <= 4 && rc->nonPawn[0] == 325 && rc->nonPawn[1] == 325 &&
                    (rc->bishops[0] + rc->bishops[1]) > 0;
  if (rc->pawns[0] > 5 && rc->pawns[1] > 5) {
    RootPawnCount[0] = rc->pawns[0];
    RootPawnCount[1] = rc->pawns[1];
  } else {
    RootPawnCount[0] = RootPawnCount[1] = -1;
  }
  EngineSide = rc->side;
}

static void SetOptionScalars(const RootCounts* rc) {
  int endgameLike = IsEndgameLike(rc->phaseClass);
  BishopPairBonus = 28 * OptionWeights[endgameLike ? WeightBishopPairEnd : WeightBishopPair] / 100;
  static const int base[PassedTableCount][8] = {
      {0, 15, 22, 32, 44, 69, 93, 117}, {0, 10, 14, 20, 28, 54, 77, 101},
      {0, 0, 0, 30, 70, 125, 175, 0},   {0, 0, 0, 21, 53, 100, 160, 0},
      {0, 0, 0, 60, 90, 130, 190, 250}, {0, 0, 0, 60, 90, 130, 190, 250},
  };
  for (int t = 0; t < PassedTableCount; t++) {
    int percent = OptionWeights[(t & 1) ? WeightPassedPawns : WeightPassedPawnsEnd];
    for (int i = 0; i < 8; i++) PassedTable[t][i] = base[t][i] * percent / 100;
  }
  if (endgameLike)
    PieceConstants = ClassConstants{5, 24, -45, 0, 24, 7, 5};
  else
    PieceConstants = ClassConstants{12, 14, -30, 5, 28, 10, 7};
  LazyMargin = 40 + KnowledgeOrSpeed;
}

static void AddOptionsToSignatures() {
  for (int i = 0; i < OptionWeightCount; i++) SignatureAddBoth(OptionWeights[i]);
  const int32_t flags[] = {KnowledgeOrSpeed, PreferOpenPositions, Test1, Test2, Test3,
                           StyleLateMoveReductions, StyleHangingReduction, StyleMultiCut,
                           CombinationQuiesceChecks, CombinationSingular, ForwardPruning, Selectivity};
  for (int32_t v : flags) SignatureAddBoth(v);
}

static void SetSearchSwitches(const RootCounts* rc) {
  int cls = rc->phaseClass, endgameLike = IsEndgameLike(cls);
  int pieces[2], queens = rc->queens[0] + rc->queens[1];
  for (int side = White; side <= Black; side++)
    pieces[side] = rc->knights[side] + rc->bishops[side] + rc->rooks[side] + rc->queens[side];
  int majors = rc->rooks[0] + rc->rooks[1] + queens;
  int minors = rc->knights[0] + rc->knights[1] + rc->bishops[0] + rc->bishops[1];
  int pawns = rc->pawns[0] + rc->pawns[1];
  int phase[2];
  for (int side = White; side <= Black; side++)
    phase[side] = rc->knights[side] + rc->bishops[side] + 3 * rc->rooks[side] + 6 * rc->queens[side];

  NullMoveSwitch = 1;
  NullMaterialLimitEnabled = (majors == 0 && minors <= 2) || (majors == 1 && minors <= 1) || (cls & 0x60);
  if (!StyleMultiCut)
    MultiCutSwitch = 0;
  else if (!endgameLike)
    MultiCutSwitch = 1;
  else
    MultiCutSwitch = pieces[0] >= 2 && pieces[1] >= 2 && phase[0] >= 6 && phase[1] >= 6 && pawns >= 7;
  int bothActive = 1;
  for (int side = White; side <= Black; side++)
    if (pieces[side] < 2 && rc->rooks[side] + rc->queens[side] == 0) bothActive = 0;
  HangingReductionPlyLimit = StyleHangingReduction && bothActive ? 4 : 99;
  SingularSwitch = CombinationSingular && !endgameLike;
  CheckExtensionPlyLimit = (cls & 4) && queens == 0 && rc->rooks[0] + rc->rooks[1] <= 2 ? 4 : 99;
  if (ForwardPruning == 0)
    FutilitySwitch = 0;
  else
    FutilitySwitch = !endgameLike || (pieces[0] >= 3 && pieces[1] >= 3) ||
                     (rc->queens[0] > 0 && rc->queens[1] > 0 && pieces[0] > rc->queens[0] && pieces[1] > rc->queens[1]);
  PawnEndingExtensionSwitch = majors + minors <= 4;
}

static uint32_t Mix(uint32_t h, int32_t v) {
  h ^= uint32_t(v);
  return h * 16777619u;
}

static uint32_t MixTable(uint32_t h, const int32_t* t, int n) {
  for (int i = 0; i < n; i++) h = Mix(h, t[i]);
  return h;
}

// The pawn table's entries depend on the phase bits, the engine's side with the open-
// position option, the passed-pawn values and the pawn blend tables; the evaluation cache
// on everything the positional value reads from the root.
static void SetEvalStamps() {
  uint32_t h = 2166136261u;
  h = Mix(h, PhaseCode & 7);
  h = Mix(h, EngineSide);
  h = Mix(h, PreferOpenPositions);
  h = MixTable(h, &PassedTable[0][0], PassedTableCount * 8);
  h = MixTable(h, &PawnEndgameBlend[0][0], 2 * 65);
  PawnStamp = h;
  h = Mix(h, PhaseCode);
  h = Mix(h, int32_t(TableSignatureEval));
  h = Mix(h, DrawScore);
  h = MixTable(h, &PieceSquareTable[0][0], 16 * 65);
  h = MixTable(h, &KingCentralBlend[0][0], 2 * 65);
  h = MixTable(h, &KingSecondShelterBlend[0][0], 2 * 65);
  h = MixTable(h, &KingEndgameBlend[0][0], 2 * 65);
  const int32_t scalars[] = {WinningChancesFlag, SameWingFlag, BishopPairBonus, MinorPiecesFlag,
                             RootPawnCount[0], RootPawnCount[1], RootPatternFlags, WhiteSideTerm,
                             PieceConstants.rookSeventhKingSeventh, PieceConstants.rookSeventhKingEighth,
                             PieceConstants.knightNoSafeSquare, PieceConstants.rooksConnectedFirst,
                             PieceConstants.rooksConnectedSeventh, PieceConstants.rooksOpenFile,
                             PieceConstants.rooksHalfOpenFile};
  h = MixTable(h, scalars, int(sizeof scalars / sizeof scalars[0]));
  for (int i = 0; i < 256; i++) h = Mix(h, EndgameAfterCaptures[i]);
  // A zero stamp would match cleared entries.
  if ((h & 0xFFFF) == 0) h |= 1;
  EvalSignature = h;
}

static void PrepareTables(Position* pos, PlyState* root) {
  RootCounts rc;
  CountRoot(pos, root, &rc);
  TableSignatureSearch = TableSignatureEval = 0;
  signatureCount[0] = signatureCount[1] = 0;
  RootPatternFlags = 0;
  rc.phaseClass = ClassifyRoot(&rc);
  PhaseCode = rc.phaseClass;
  BuildEndgameAfterCaptures(&rc);
  SetRootScalars(&rc);
  SignatureAddBoth(rc.phaseClass);
  BuildPieceSquareTables(&rc);
  int before = PawnTableBalance(pos->board);
  ApplyPawnStructureSteps(&rc);
  WhiteSideTerm = before - PawnTableBalance(pos->board);
  BuildBlendTables(&rc);
  ApplyRootPatterns(&rc);
  ApplyOptionScaling(&rc);
  SetOptionScalars(&rc);
  AddOptionsToSignatures();
  SetSearchSwitches(&rc);
  SetEvalStamps();
  PrepareMaterialHash();
  // King and pawn against king can only arise from an endgame root.
  if (IsEndgameLike(rc.phaseClass)) InitKpkTable();
}

int RootPieceSquareSum(const Position* pos, int side) {
  int sum = 0;
  for (int s = 1; s <= 64; s++) {
    int code = pos->board[s];
    if (code <= 0) continue;
    sum += PieceSide(code) == side ? PieceSquareTable[code][s] : -PieceSquareTable[code][s];
  }
  return sum + (side == White ? WhiteSideTerm : -WhiteSideTerm);
}

static int IsReversibleMove(Move m) {
  return m != 0 && (m & (MoveTacticalMask | MoveCastle | MoveNull)) == 0 && !IsPawnCode(MovePiece(m));
}

// The game's keys since its last irreversible move continue in the position's buffer.
static void SetRepetitionWindow(Position* pos, PlyState* root, const GameEntry* entry) {
  int n = 0;
  if (entry && GameHistory && KeyHistoryTop && entry >= GameHistory) {
    const GameEntry* e = entry;
    while (n < 100 && e > GameHistory && IsReversibleMove(e->move)) {
      n++;
      e--;
    }
    if (KeyHistoryTop - n < KeyHistory) n = 0;
  }
  if (n > 0 || (KeyHistoryTop && *KeyHistoryTop == root->key2)) {
    for (int i = 0; i <= n; i++) pos->keyBuffer[i] = KeyHistoryTop[i - n];
  } else {
    pos->keyBuffer[0] = root->key2;
  }
  pos->keyPtr = &pos->keyBuffer[n];
  root->irreversible = &pos->keyBuffer[0];
}

PlyState* PrepareRoot(Position* pos, const GameEntry* entry) {
  int side = entry ? int(entry->side) : int(White);
  uint32_t flags = entry ? entry->flags : 0;
  PlyState* root = SetupRootPly(pos, side, flags);
  SetRepetitionWindow(pos, root, entry);
  if (pos->context == 0) PrepareTables(pos, root);
  root->pstSum = RootPieceSquareSum(pos, side);
  return root;
}
