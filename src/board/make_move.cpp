#include "board/make_move.h"

#include "board/attack_update.h"
#include "board/check.h"
#include "board/keys.h"
#include "board/piece_square_table.h"
#include "board/piece_values.h"
#include "board/position_check.h"

namespace {

struct CastlingPath {
  uint8_t empty[4];     // zero-terminated
  uint8_t safe[3];      // must not be attacked by the opponent
  uint8_t rookFrom, rookTo;
};

// [side][0 king-side, 1 queen-side]
constexpr CastlingPath Castling[2][2] = {
    {{{6, 7, 0, 0}, {5, 6, 7}, 8, 6}, {{4, 3, 2, 0}, {5, 4, 3}, 1, 4}},
    {{{62, 63, 0, 0}, {61, 62, 63}, 64, 62}, {{60, 59, 58, 0}, {61, 60, 59}, 57, 60}}};

// Castling rights that survive a move from or to each square.
constexpr uint32_t CastlingKept(int sq) {
  return sq == 5 ? ~(WhiteKingSide | WhiteQueenSide)
       : sq == 1 ? ~WhiteQueenSide
       : sq == 8 ? ~WhiteKingSide
       : sq == 61 ? ~(BlackKingSide | BlackQueenSide)
       : sq == 57 ? ~BlackQueenSide
       : sq == 64 ? ~BlackKingSide
       : ~0u;
}

struct KeptTable {
  uint32_t kept[65];
};

constexpr KeptTable MakeKeptTable() {
  KeptTable t{};
  for (int sq = 0; sq <= 64; sq++) t.kept[sq] = CastlingKept(sq);
  return t;
}

constexpr KeptTable RightsKept = MakeKeptTable();

inline void XorPiece(PlyState* next, int code, int sq) {
  next->key1 ^= ZobristKey1[code][sq];
  next->key2 ^= ZobristKey2[code][sq];
  if (IsPawnCode(code)) {
    next->pawnKey1 ^= ZobristKey1[code][sq];
    next->pawnKey2 ^= ZobristKey2[code][sq];
  }
}

// Moves one piece, capturing on `to` when `captured` is set; returns how many enemy pieces
// attack the mover's king afterwards.
inline int CoreMake(Position* pos, PlyState* next, int from, int to, int mover, int captured, int promotion) {
  int8_t* board = pos->board;
  int side = PieceSide(mover);
  AttackTable* own = &pos->attacks[side];
  RemoveAttacks(board, own, from, mover);
  XorPiece(next, mover, from);
  if (captured) {
    RemoveAttacks(board, &pos->attacks[PieceSide(captured)], to, captured);
    pos->pieceCount[captured]--;
    XorPiece(next, captured, to);
  }
  ExtendThrough(pos, from);
  if (captured) {
    int capturedSide = PieceSide(captured);
    int entry = pos->entryOf[to];
    pos->undoStack[pos->undoTop++] = uint8_t(capturedSide << 5 | entry);
    pos->pieceList[capturedSide][entry] = CapturedMark;
  }
  int entry = pos->entryOf[from];
  pos->entryOf[to] = uint8_t(entry);
  pos->pieceList[side][entry] = uint8_t(to);
  board[from] = 0;
  int placed = mover;
  if (promotion) {
    pos->pieceCount[mover]--;
    pos->pieceCount[promotion]++;
    PieceSlots* slots = &pos->slots[promotion];
    slots->entry[slots->count++] = uint8_t(entry);
    slots->entry[slots->count] = 0;
    placed = promotion;
  }
  board[to] = int8_t(placed);
  AddAttacks(board, own, to, placed);
  XorPiece(next, placed, to);
  if (!captured) CutThrough(pos, to);
  return pos->attacks[side ^ 1].cell[pos->pieceList[side][0]].count;
}

inline void CoreUnmake(Position* pos, int from, int to, int mover, int captured, int promotion) {
  int8_t* board = pos->board;
  int side = PieceSide(mover);
  AttackTable* own = &pos->attacks[side];
  int placed = promotion ? promotion : mover;
  RemoveAttacks(board, own, to, placed);
  if (captured) AddAttacks(board, &pos->attacks[PieceSide(captured)], to, captured);
  else ExtendThrough(pos, to);
  int entry = pos->entryOf[to];
  pos->entryOf[from] = uint8_t(entry);
  pos->pieceList[side][entry] = uint8_t(from);
  board[to] = int8_t(captured);
  if (promotion) {
    PieceSlots* slots = &pos->slots[promotion];
    slots->entry[--slots->count] = 0;
    pos->pieceCount[promotion]--;
    pos->pieceCount[mover]++;
  }
  board[from] = int8_t(mover);
  if (captured) {
    int undo = pos->undoStack[--pos->undoTop];
    int capturedEntry = undo & 31;
    pos->pieceList[undo >> 5][capturedEntry] = uint8_t(to);
    pos->entryOf[to] = uint8_t(capturedEntry);
    pos->pieceCount[captured]++;
  }
  AddAttacks(board, own, from, mover);
  CutThrough(pos, from);
}

inline void StartNextLists(Position* pos, PlyState* ps, PlyState* next) {
  ++pos->keyPtr;
  *pos->keyPtr = next->key2;
  next->quietBase = next->quietCursor = ps->quietCursor;
  next->tacticalBase = next->tacticalCursor = ps->tacticalCursor;
  next->listsMade = 0;
  next->moveStage = 0;
  next->triedHashMove2 = 0;
  next->attackFlag = 0;
}

}  // namespace

PlyState* MakeMove(Position* pos, PlyState* ps) {
  PlyState* next = ps + 1;
  const Move move = ps->move;
  next->key1 = ps->key1;
  next->key2 = ps->key2;
  next->pawnKey1 = ps->pawnKey1;
  next->pawnKey2 = ps->pawnKey2;
  next->menCount = ps->menCount;
  next->signature[0] = ps->signature[0];
  next->signature[1] = ps->signature[1];
  next->checkCount[0] = ps->checkCount[0];
  next->checkCount[1] = ps->checkCount[1];
  next->capturedKinds = ps->capturedKinds;
  next->moveTotal = 0;
  next->legalCount = 0;

  if (move & MoveNull) {
    next->flags = ps->flags & AllCastling;
    next->material[0] = ps->material[0];
    next->material[1] = ps->material[1];
    next->phaseCount[0] = ps->phaseCount[0];
    next->phaseCount[1] = ps->phaseCount[1];
    next->pstSum = -ps->pstSum;
    StartNextLists(pos, ps, next);
    next->irreversible = pos->keyPtr;
    return next;
  }

  const int from = MoveFrom(move), to = MoveTo(move);
  const int mover = MovePiece(move), captured = MoveCaptured(move), promotion = MovePromotion(move);
  const int side = PieceSide(mover), opponent = side ^ 1;
  const int placed = promotion ? promotion : mover;
  int pst = ps->pstSum - PieceSquareTable[mover][from] + PieceSquareTable[placed][to];
  int captureSquare = to;

  if (promotion && pos->slots[promotion].count >= MaxSlotPieces) return nullptr;  // no room in its slots
  if ((move & (MoveEnPassant | MoveCastle)) == 0) {
    if (CoreMake(pos, next, from, to, mover, captured, promotion)) {
      CoreUnmake(pos, from, to, mover, captured, promotion);
      return nullptr;
    }
  } else if (move & MoveEnPassant) {
    captureSquare = PawnAhead[opponent][to];
    CoreMake(pos, next, from, captureSquare, mover, captured, 0);
    if (CoreMake(pos, next, captureSquare, to, mover, 0, 0)) {
      CoreUnmake(pos, captureSquare, to, mover, 0, 0);
      CoreUnmake(pos, from, captureSquare, mover, captured, 0);
      return nullptr;
    }
  } else {
    const CastlingPath& path = Castling[side][to < from];
    const int rook = WRook + side * BlackBit;
    if (pos->board[path.rookFrom] != rook) return nullptr;
    for (const uint8_t* s = path.empty; *s; s++)
      if (pos->board[*s]) return nullptr;
    const AttackCell* enemy = pos->attacks[opponent].cell;
    if (enemy[path.safe[0]].count | enemy[path.safe[1]].count | enemy[path.safe[2]].count) return nullptr;
    CoreMake(pos, next, from, to, mover, 0, 0);
    CoreMake(pos, next, path.rookFrom, path.rookTo, rook, 0, 0);
    pst += PieceSquareTable[rook][path.rookTo] - PieceSquareTable[rook][path.rookFrom];
  }

  uint32_t flags = ps->flags & AllCastling & RightsKept.kept[from] & RightsKept.kept[to];
  if (pos->attacks[side].cell[pos->pieceList[opponent][0]].count) {
    flags |= InCheckFlag;
    next->checkCount[opponent]++;
  }
  if (move & MoveDoubleStep) flags |= PawnAhead[opponent][to];
  next->flags = flags;

  next->material[side] = ps->material[side];
  next->material[opponent] = ps->material[opponent] - PieceValue[captured];
  next->phaseCount[side] = ps->phaseCount[side];
  next->phaseCount[opponent] = uint8_t(ps->phaseCount[opponent] - PhaseWeight[captured]);
  if (promotion) {
    next->material[side] += PieceValue[promotion] - PieceValue[WPawn];
    next->phaseCount[side] = uint8_t(next->phaseCount[side] + PhaseWeight[promotion]);
    next->signature[side] += PieceSignatureWeight(promotion, to) - 1;
  }
  if (captured) {
    pst += PieceSquareTable[captured][captureSquare];
    next->menCount--;
    next->signature[opponent] -= PieceSignatureWeight(captured, captureSquare);
    next->capturedKinds |= CapturedKindBit[captured];
  }
  next->pstSum = -pst;

  StartNextLists(pos, ps, next);
  next->irreversible = IsQuietNonPawnMove(move) ? ps->irreversible : pos->keyPtr;
  KESTRANE_ASSERT(PositionIsOk(pos, next));
  return next;
}

void UnmakeMove(Position* pos, PlyState* ps) {
  --pos->keyPtr;
  const Move move = ps->move;
  if (move & MoveNull) return;
  const int from = MoveFrom(move), to = MoveTo(move);
  const int mover = MovePiece(move), captured = MoveCaptured(move), promotion = MovePromotion(move);
  if ((move & (MoveEnPassant | MoveCastle)) == 0) {
    CoreUnmake(pos, from, to, mover, captured, promotion);
  } else if (move & MoveEnPassant) {
    const int captureSquare = PawnAhead[PieceSide(mover) ^ 1][to];
    CoreUnmake(pos, captureSquare, to, mover, 0, 0);
    CoreUnmake(pos, from, captureSquare, mover, captured, 0);
  } else {
    const int side = PieceSide(mover);
    const CastlingPath& path = Castling[side][to < from];
    CoreUnmake(pos, path.rookFrom, path.rookTo, WRook + side * BlackBit, 0, 0);
    CoreUnmake(pos, from, to, mover, 0, 0);
  }
  KESTRANE_ASSERT(PositionIsOk(pos, ps));
}
