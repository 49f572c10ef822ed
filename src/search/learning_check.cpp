#include "search/learning_check.h"

#include <cstring>

#include "board/fen.h"
#include "board/keys.h"
#include "board/make_move.h"
#include "board/move_checks.h"
#include "board/movegen.h"
#include "board/piece_lists.h"
#include "board/playable.h"
#include "board/position.h"
#include "board/root_ply.h"

// A position of its own for generating the moves of a record's board, so that checking a
// record never touches the search position.
static Position Scratch;

// Castling rights that the placement allows: king and rook still on their start squares.
static uint32_t PossibleCastling(const int8_t board[65]) {
  uint32_t rights = 0;
  if (board[5] == WKing && board[8] == WRook) rights |= WhiteKingSide;
  if (board[5] == WKing && board[1] == WRook) rights |= WhiteQueenSide;
  if (board[61] == BKing && board[64] == BRook) rights |= BlackKingSide;
  if (board[61] == BKing && board[57] == BRook) rights |= BlackQueenSide;
  return rights;
}

// An en-passant square that the placement allows for `move`: the captured pawn stands
// beside the capturing one and the squares it crossed are empty.
static uint32_t PossibleEnPassant(const int8_t board[65], int side, Move move) {
  if (!(move & MoveEnPassant)) return 0;
  int to = MoveTo(move);
  if (to < 1 || to > 64) return 0;
  int behind = side == White ? to - 8 : to + 8;   // the pawn that double-stepped
  int origin = side == White ? to + 8 : to - 8;   // where it came from
  int pawn = side == White ? BPawn : WPawn;
  if (RankOf(to) != (side == White ? 6 : 3) || board[behind] != pawn || board[to] || board[origin]) return 0;
  return uint32_t(to);
}

// Sets up the scratch position on `board` with the side to move and flags given.
static PlyState* SetUpScratch(const int8_t board[65], int side, uint32_t flags) {
  memcpy(Scratch.board, board, sizeof Scratch.board);
  Scratch.board[0] = 0;
  BuildPieceLists(&Scratch);
  BuildAttackTables(&Scratch);
  Scratch.keyPtr = nullptr;
  return SetupRootPly(&Scratch, side, flags);
}

// 1 when `move` is among the moves generated for ps (both lists).
static int Generates(PlyState* ps, Move move) {
  GenerateMoves(&Scratch, ps, GenAll, 1);
  for (MoveEntry* e = ps->tacticalBase; e->score != MoveListEnd; e++)
    if (e->move == move) return 1;
  for (MoveEntry* e = ps->quietBase; e->score != MoveListEnd; e++)
    if (e->move == move) return 1;
  return 0;
}

static int SoundMoveWord(Move move) {
  int from = MoveFrom(move), to = MoveTo(move);
  return move != 0 && (move & ~MoveWordMask) == 0 && !(move & MoveNull) && from >= 1 && from <= 64 &&
         to >= 1 && to <= 64 && from != to;
}

int LearningRecordFieldsAreSound(const LearningRecord* record) {
  if (record->side > 1 || record->secondMove || record->reserved) return 0;
  if (record->depth < 1 || record->depth >= MaxPly) return 0;
  if (record->bound != 0 && record->bound != LearnedUpperBound && record->bound != LearnedLowerBound) return 0;
  return record->score <= MateScore + 300 && record->score >= -MateScore - 300;
}

// Boards already found playable and matching their keys: learning files hold the same
// positions many times.
constexpr int CheckedBoardCount = 4096;
struct CheckedBoard {
  uint32_t slotKey, lock;
  int32_t side;  // -1 for an empty entry
  int8_t board[65];
};
static CheckedBoard CheckedBoards[CheckedBoardCount];
static int CheckedBoardsReady;

static int BoardIsSound(const LearningRecord* record) {
  if (!CheckedBoardsReady) {
    for (CheckedBoard& c : CheckedBoards) c.side = -1;
    CheckedBoardsReady = 1;
  }
  CheckedBoard* c = &CheckedBoards[record->slotKey % CheckedBoardCount];
  if (c->side == record->side && c->slotKey == record->slotKey && c->lock == record->lock &&
      memcmp(c->board + 1, record->board + 1, 64) == 0)
    return 1;
  uint32_t key1, key2;
  ComputeKeys(record->board, &key1, &key2);
  if (key1 != record->slotKey || key2 != record->lock) return 0;
  RootState state = {record->side, 0};
  if (!IsPlayablePosition(record->board, &state)) return 0;
  c->slotKey = key1;
  c->lock = key2;
  c->side = record->side;
  memcpy(c->board, record->board, sizeof c->board);
  return 1;
}

int LearnedMoveIsSound(const LearningRecord* record) {
  if (!BoardIsSound(record)) return 0;
  Move best = record->bestMove;
  if (!SoundMoveWord(best) || PieceSide(MovePiece(best)) != record->side) return 0;
  // The plausibility test follows the piece's geometry and the pawn, castling and
  // promotion rules, so a move that passes it is one the generator makes.
  uint32_t flags = PossibleCastling(record->board) | PossibleEnPassant(record->board, record->side, best);
  return IsMovePlausible(best, record->board, flags);
}

int LearnedReplyIsSound(const LearningRecord* record, uint32_t rootFlags, uint32_t* childKey1,
                        uint32_t* childKey2) {
  Move best = record->bestMove, reply = record->reply;
  uint32_t flags = rootFlags & (EnPassantMask | AllCastling);
  if (!SoundMoveWord(best) || !SoundMoveWord(reply) || !IsMovePlausible(best, record->board, flags)) return 0;
  PlyState* ps = SetUpScratch(record->board, record->side, flags);
  if (!Generates(ps, best)) return 0;
  ps->move = best;
  PlyState* child = MakeMove(&Scratch, ps);
  if (!child) return 0;
  child->hashMove1 = child->hashMove2 = child->triedHashMove2 = 0;
  int sound = IsMovePlausible(reply, Scratch.board, child->flags) && Generates(child, reply);
  *childKey1 = child->key1;
  *childKey2 = child->key2;
  UnmakeMove(&Scratch, ps);
  return sound;
}
