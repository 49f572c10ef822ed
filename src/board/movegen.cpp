// Pseudo-legal generation in four modes: tactical, quiet, all, quiet checks.
#include "board/movegen.h"

#include "board/evasions.h"
#include "board/geometry.h"
#include "board/move_checks.h"
#include "board/move_order.h"
#include "board/movegen_write.h"

namespace {

void AddCastling(MoveWriter* w, uint32_t flags) {
  for (int wing = 0; wing < 2; wing++)
    if (flags & CastleRights[w->side][wing]) AddQuiet(w, CastleMoves[w->side][wing]);
}

inline void AddEnPassant(MoveWriter* w, int from, int to) {
  int pawn = WPawn + w->side * BlackBit;
  int enemyPawn = WPawn + (w->side ^ 1) * BlackBit;
  AddTactical(w, MakeMoveWord(from, to, pawn, enemyPawn) | MoveEnPassant);
}

// Pushes of a pawn that does not reach the last rank: one step, and two from its home rank.
inline void AddQuietPushes(MoveWriter* w, const int8_t* board, int sq, int code) {
  int ahead = PawnAhead[w->side][sq];
  if (board[ahead] != 0 || PawnAhead[w->side][ahead] == 0) return;
  AddQuiet(w, MakeMoveWord(sq, ahead, code));
  int twoAhead = PawnAhead[w->side][ahead];
  if (OnHomeRank(w->side, sq) && board[twoAhead] == 0) AddQuiet(w, MakeMoveWord(sq, twoAhead, code) | MoveDoubleStep);
}

// Mode 0: captures found from each enemy piece's cell, en passant, promotion pushes.
void GenerateTactical(MoveWriter* w, PlyState* ps) {
  const Position* pos = w->pos;
  const int8_t* board = pos->board;
  const int side = w->side;
  const AttackTable* own = &pos->attacks[side];
  const uint8_t* enemyList = pos->pieceList[side ^ 1];
  for (int i = 1; enemyList[i] != 0; i++) {
    int target = enemyList[i];
    if (target == CapturedMark) continue;
    const AttackCell* cell = &own->cell[target];
    int captured = board[target];
    bool lastRank = PawnAhead[side][target] == 0;
    for (int k = 0; k < cell->count; k++) {
      int from = cell->from[k];
      int code = board[from];
      Move move = MakeMoveWord(from, target, code, captured);
      if (lastRank && IsPawnCode(code)) AddPromotions(w, move);
      else AddTactical(w, move);
    }
  }
  int ep = ps->flags & EnPassantMask;
  if (ep) {
    const AttackCell* cell = &own->cell[ep];
    int pawn = WPawn + side * BlackBit;
    for (int k = 0; k < cell->count; k++)
      if (board[cell->from[k]] == pawn) AddEnPassant(w, cell->from[k], ep);
  }
  int pawn = WPawn + side * BlackBit;
  int first = side == White ? 49 : 9;
  for (int sq = first; sq < first + 8; sq++) {
    int ahead = PawnAhead[side][sq];
    if (board[sq] == pawn && board[ahead] == 0) AddPromotions(w, MakeMoveWord(sq, ahead, pawn));
  }
}

// Modes 1 and 2: every own piece from the king on; with `captures` also its captures,
// en passant and promotions.
template <bool captures>
void GeneratePieceMoves(MoveWriter* w, PlyState* ps) {
  const int8_t* board = w->pos->board;
  const int side = w->side;
  const int ep = ps->flags & EnPassantMask;
  AddCastling(w, ps->flags);
  const uint8_t* list = w->pos->pieceList[side];
  for (int i = 0; list[i] != 0; i++) {
    int sq = list[i];
    if (sq == CapturedMark) continue;
    int code = board[sq];
    switch (PieceKind(code)) {
      case WPawn: {
        if (captures) {
          for (const uint8_t* t = PawnCaptureTargets[side][sq]; *t; t++) {
            int target = board[*t];
            if (target == 0) {
              if (*t == ep) AddEnPassant(w, sq, *t);
            } else if (IsEnemyPiece(target, side)) {
              Move move = MakeMoveWord(sq, *t, code, target);
              if (PawnAhead[side][*t] == 0) AddPromotions(w, move);
              else AddTactical(w, move);
            }
          }
          int ahead = PawnAhead[side][sq];
          if (board[ahead] == 0 && PawnAhead[side][ahead] == 0) AddPromotions(w, MakeMoveWord(sq, ahead, code));
        }
        AddQuietPushes(w, board, sq, code);
        break;
      }
      case WKnight:
      case WKing: {
        const uint8_t* targets = PieceKind(code) == WKing ? KingTargets[sq] : KnightTargets[sq];
        for (const uint8_t* t = targets; *t; t++) {
          int target = board[*t];
          if (target == 0) AddQuiet(w, MakeMoveWord(sq, *t, code));
          else if (captures && IsEnemyPiece(target, side)) AddTactical(w, MakeMoveWord(sq, *t, code, target));
        }
        break;
      }
      default: {
        int kind = WalkOf(code);
        const uint8_t(*step)[2] = WalkStep[kind][sq];
        int s = step[sq][0];
        while (s != 0) {
          int target = board[s];
          if (target == 0) {
            AddQuiet(w, MakeMoveWord(sq, s, code));
            s = step[s][0];
          } else {
            if (captures && IsEnemyPiece(target, side)) AddTactical(w, MakeMoveWord(sq, s, code, target));
            s = step[s][1];
          }
        }
        break;
      }
    }
  }
}

// Mode 3: quiet moves after which the moved piece itself attacks the enemy king.
void GenerateQuietChecks(MoveWriter* w) {
  const int8_t* board = w->pos->board;
  const int side = w->side;
  const int king = w->pos->pieceList[side ^ 1][0];
  const uint8_t* list = w->pos->pieceList[side];
  for (int i = 1; list[i] != 0; i++) {
    int sq = list[i];
    if (sq == CapturedMark) continue;
    int code = board[sq];
    switch (PieceKind(code)) {
      case WPawn: {
        int ahead = PawnAhead[side][sq];
        if (board[ahead] != 0 || PawnAhead[side][ahead] == 0) break;
        if (!PieceMissesSquare(board, code, ahead, king)) {
          AddQuiet(w, MakeMoveWord(sq, ahead, code));
        } else {
          int twoAhead = PawnAhead[side][ahead];
          if (OnHomeRank(side, sq) && board[twoAhead] == 0 && !PieceMissesSquare(board, code, twoAhead, king))
            AddQuiet(w, MakeMoveWord(sq, twoAhead, code) | MoveDoubleStep);
        }
        break;
      }
      case WKnight:
        for (const uint8_t* t = KnightTargets[sq]; *t; t++)
          if (board[*t] == 0 && (LineKindOf(*t, king) & 8)) AddQuiet(w, MakeMoveWord(sq, *t, code));
        break;
      case WKing:
        break;
      default: {
        int kind = WalkOf(code);
        const uint8_t(*step)[2] = WalkStep[kind][sq];
        int s = step[sq][0];
        while (s != 0) {
          if (board[s] != 0) {
            s = step[s][1];
            continue;
          }
          if (!PieceMissesSquare(board, code, s, king)) AddQuiet(w, MakeMoveWord(sq, s, code));
          s = step[s][0];
        }
        break;
      }
    }
  }
}

inline int HistoryIndex(Move move) {
  int index = int(move & 0x3FFF);
  return index < HistorySize ? index : 0;
}

inline void EndList(MoveEntry* entry) { entry->score = MoveListEnd; }

}  // namespace

void GenerateMoves(Position* pos, PlyState* ps, int mode, int allPromotions) {
  const int side = ps->side;
  // The in-check bit is trusted only with a checker present, so the evasion walk always has one.
  const bool inCheck = (ps->flags & InCheckFlag) != 0 && pos->attacks[side ^ 1].cell[pos->pieceList[side][0]].count != 0;
  const uint8_t madeBits = inCheck || mode == GenAll ? 3 : mode == GenTactical ? 1 : mode == GenQuiet || mode == GenQuietChecks ? 2 : 0;

  // A stack without room for one more generation gets an empty list and its cursor stays;
  // one entry is always kept free for that marker.
  if (pos->quietStack + QuietStackSize - ps->quietCursor <= MaxListEntries ||
      pos->tacticalStack + TacticalStackSize - ps->tacticalCursor <= MaxListEntries) {
    EndList(ps->quietCursor);
    EndList(ps->tacticalCursor);
    ps->listsMade |= madeBits;
    return;
  }

  // Killers score just below the end marker through their history counters; the earlier
  // ply's go in first so that a move that is a killer of both plies gets the current value.
  int32_t* history = pos->history[side];
  const Move* killers = pos->killers[ps->ply];
  const Move* earlier = ps->ply >= 2 ? pos->killers[ps->ply - 2] : nullptr;
  int index[4] = {earlier ? HistoryIndex(earlier[0]) : 0, earlier ? HistoryIndex(earlier[1]) : 0,
                  HistoryIndex(killers[0]), HistoryIndex(killers[1])};
  int32_t saved[4];
  for (int i = 0; i < 4; i++) {
    saved[i] = history[index[i]];
    history[index[i]] = i < 2 ? 0x7FFFFE0A : 0x7FFFFE0B;
  }

  MoveWriter w{pos, ps->quietCursor, ps->tacticalCursor, history, side, allPromotions};
  if (inCheck) GenerateEvasions(&w, ps);
  else if (mode == GenTactical) GenerateTactical(&w, ps);
  else if (mode == GenQuiet) GeneratePieceMoves<false>(&w, ps);
  else if (mode == GenAll) GeneratePieceMoves<true>(&w, ps);
  else if (mode == GenQuietChecks) GenerateQuietChecks(&w);

  for (int i = 3; i >= 0; i--) history[index[i]] = saved[i];

  int written = 0;
  if (madeBits & 1) {
    written += int(w.tactical - ps->tacticalCursor);
    EndList(w.tactical);
    ps->tacticalCursor = w.tactical + 1;
  }
  if (madeBits & 2) {
    written += int(w.quiet - ps->quietCursor);
    EndList(w.quiet);
    ps->quietCursor = w.quiet + 1;
  }
  ps->moveTotal = uint8_t(ps->moveTotal + written);
  ps->listsMade |= madeBits;
  if (ps->hashMove1) RemoveMove(ps, ps->hashMove1);
  if (ps->triedHashMove2) RemoveMove(ps, ps->triedHashMove2);
}
