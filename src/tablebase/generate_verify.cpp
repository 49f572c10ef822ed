#include "tablebase/generate_verify.h"

#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "board/attack_update.h"
#include "board/check.h"
#include "board/geometry.h"
#include "board/make_move.h"
#include "board/movegen.h"
#include "board/piece_lists.h"
#include "board/position.h"
#include "board/root_ply.h"

// Engine piece codes of the generator's kinds 1..6 (pawn .. queen, king).
static const int CodeOfKind[7] = {0, WPawn, WKnight, WBishop, WRook, WQueen, WKing};

static int KindOfCode(int code) {
  for (int k = 1; k <= 6; k++)
    if (CodeOfKind[k] == PieceKind(code)) return k;
  return 0;
}

// The generator's view of the engine position after a move (side to move `side`).
static void ReadEnginePosition(const Position* pos, int side, uint32_t flags, GenPos* out) {
  int n = 2;
  out->epMan = -1;
  out->side = int8_t(side);
  for (int c = 0; c < 2; c++) {
    const uint8_t* list = pos->pieceList[c];
    out->sq[c] = int8_t(list[0] - 1), out->kind[c] = GenKing, out->color[c] = int8_t(c);
    for (int e = 1; list[e] != 0 && n < GenMaxMen; e++) {
      if (list[e] == CapturedMark) continue;
      out->sq[n] = int8_t(list[e] - 1);
      out->kind[n] = int8_t(KindOfCode(pos->board[list[e]]));
      out->color[n] = int8_t(c);
      n++;
    }
  }
  out->men = int8_t(n);
  int target = int(flags & EnPassantMask);
  if (target == 0) return;
  // The pawn that has just double-stepped stands beyond the target square; the right
  // counts only when a pawn of the side to move can take it.
  int pawnSquare = side == 1 ? target - 1 + 8 : target - 1 - 8;
  int pawn = -1;
  bool taker = false;
  for (int i = 2; i < n; i++) {
    if (out->sq[i] == pawnSquare) pawn = i;
    int s = out->sq[i];
    if (out->kind[i] == 1 && out->color[i] == side && (s >> 3) == (pawnSquare >> 3) &&
        ((s & 7) - (pawnSquare & 7) == 1 || (pawnSquare & 7) - (s & 7) == 1))
      taker = true;
  }
  if (pawn >= 0 && taker) out->epMan = int8_t(pawn);
}

// The engine's piece lists, slots and counts for the men of `gp`, as BuildPieceLists lays
// them out (king first, then pawns, knights, bishops, rooks and queens, each by ascending
// square), without its scans of the whole board: the check sets up every position.
static void LayPieceLists(Position* pos, const GenPos* gp) {
  memset(pos->pieceCount, 0, sizeof pos->pieceCount);
  memset(pos->slots, 0, sizeof pos->slots);
  memset(pos->pieceList, 0, sizeof pos->pieceList);
  memset(pos->listCode, 0, sizeof pos->listCode);
  memset(pos->entryOf, 0, sizeof pos->entryOf);
  int order[GenMaxMen], n = 0;
  for (int i = 2; i < gp->men; i++) {
    // Men of a side by kind (pawn first), then square; insertion keeps the handful sorted.
    int key = gp->color[i] * 1024 + gp->kind[i] * 64 + gp->sq[i];
    int at = n++;
    while (at > 0) {
      int j = order[at - 1];
      if (gp->color[j] * 1024 + gp->kind[j] * 64 + gp->sq[j] < key) break;
      order[at] = j;
      at--;
    }
    order[at] = i;
  }
  int length[2] = {1, 1};
  for (int c = 0; c < 2; c++) {
    int code = WKing + c * BlackBit, square = gp->sq[c] + 1;
    pos->pieceList[c][0] = uint8_t(square);
    pos->listCode[c][0] = code;
    pos->entryOf[square] = 0;
    pos->pieceCount[code]++;
  }
  for (int k = 0; k < n; k++) {
    int i = order[k], c = gp->color[i];
    int code = CodeOfKind[gp->kind[i]] + c * BlackBit, square = gp->sq[i] + 1, index = length[c]++;
    pos->pieceList[c][index] = uint8_t(square);
    pos->listCode[c][index] = code;
    pos->entryOf[square] = uint8_t(index);
    pos->pieceCount[code]++;
    if (gp->kind[i] == 1) continue;
    PieceSlots* slots = &pos->slots[code];
    slots->entry[slots->count++] = uint8_t(index);
    slots->entry[slots->count] = 0;
  }
  pos->undoTop = 0;
}

// Consecutive numbers mostly differ in the last man's square alone; the engine board then
// keeps everything else.
static bool OnlyLastManMoved(const GenPos* held, const GenPos* next) {
  if (held->side != next->side || held->epMan >= 0 || next->epMan >= 0) return false;
  for (int i = 0; i + 1 < next->men; i++)
    if (held->sq[i] != next->sq[i]) return false;
  return true;
}

// Moves a man to an empty square (engine squares), keeping the piece lists and both attack
// tables exact the way a move does: its own attacks go, rays through `from` open and rays
// through `to` close.
static void ShiftMan(Position* pos, int from, int to) {
  int code = pos->board[from], side = PieceSide(code);
  AttackTable* own = &pos->attacks[side];
  RemoveAttacks(pos->board, own, from, code);
  ExtendThrough(pos, from);
  int entry = pos->entryOf[from];
  pos->entryOf[to] = uint8_t(entry);
  pos->pieceList[side][entry] = uint8_t(to);
  pos->board[from] = 0;
  pos->board[to] = int8_t(code);
  AddAttacks(pos->board, own, to, code);
  CutThrough(pos, to);
}

// Whether the man on `from` may leave for `to` without exposing its king to a slider behind
// it (engine squares): it may unless an enemy slider that attacks `from` stands first beyond
// it on an open line from the king, and then only along that line.
static bool KeepsKingCovered(const Position* pos, const AttackCell* attackers, int from, int to, int king) {
  if (attackers->sliders == 0) return true;
  int step = StepBetween[king][from];
  if (step == 0) return true;
  for (int s = king + step; s != from; s += step)
    if (pos->board[s] != 0) return true;
  const uint8_t* beyond = BeyondList[from][king];
  while (*beyond != 0 && pos->board[*beyond] == 0) beyond++;
  if (*beyond == 0 || !IsSlider(pos->board[*beyond])) return true;
  for (int i = 0; i < attackers->count; i++)
    if (attackers->from[i] == *beyond) return StepBetween[king][to] == step;
  return true;
}

// In check: whether a move to `to` by a man other than the king takes the only checker or
// steps between it and the king.
static bool AnswersCheck(const Position* pos, const AttackCell* checkers, int to, int king) {
  if (checkers->count != 1) return false;
  int checker = checkers->from[0];
  if (to == checker) return true;
  int step = StepBetween[checker][king];
  return IsSlider(pos->board[checker]) && step != 0 && StepBetween[checker][to] == step &&
         StepBetween[to][king] == step;
}

// In check: whether a king step to `to` keeps to the line of a checking slider, on which the
// king's own square hid `to` from the attack tables.
static bool StaysOnCheckLine(const Position* pos, const AttackCell* checkers, int to, int king) {
  for (int i = 0; i < checkers->count; i++) {
    int checker = checkers->from[i];
    if (IsSlider(pos->board[checker]) && StepBetween[checker][king] == StepBetween[king][to]) return true;
  }
  return false;
}

// The position after a move that is known legal, from the move word alone.
static void ApplyMoveWord(const GenPos* before, const int8_t manAt[65], Move move, GenPos* out) {
  *out = *before;
  out->side = int8_t(before->side ^ 1);
  out->epMan = -1;
  int man = manAt[MoveFrom(move)], taken = manAt[MoveTo(move)];
  if (taken >= 0) out->sq[taken] = -1;
  out->sq[man] = int8_t(MoveTo(move) - 1);
  if (MovePromotion(move)) out->kind[man] = int8_t(KindOfCode(MovePromotion(move)));
  if (!(move & MoveDoubleStep)) return;
  int to = MoveTo(move) - 1;
  for (int i = 2; i < out->men; i++) {
    int s = out->sq[i];
    if (s >= 0 && out->kind[i] == 1 && out->color[i] == out->side && (s >> 3) == (to >> 3) &&
        ((s & 7) - (to & 7) == 1 || (to & 7) - (s & 7) == 1))
      out->epMan = int8_t(man);
  }
}

void GenVerifyRange(GenJob* job, uint64_t begin, uint64_t end) {
  GenTable* table = job->table;
  Position* pos = static_cast<Position*>(calloc(1, sizeof(Position)));
  if (pos == nullptr) {
    job->mismatches.fetch_add(1, std::memory_order_relaxed);
    return;
  }
  int stackSide = -1;  // the side the ply stack was laid out for
  GenPos held;         // the position on the engine board
  bool holding = false;
  int8_t manAt[65];
  for (uint64_t n = begin; n < end; n++) {
    int side = n >= table->sideSize ? 1 : 0;
    uint64_t index = n - side * table->sideSize;
    GenPos gp, after;
    if (!GenDecode(&table->mat, side, index, &gp)) continue;
    if (holding && OnlyLastManMoved(&held, &gp)) {
      int last = gp.men - 1;
      ShiftMan(pos, held.sq[last] + 1, gp.sq[last] + 1);
      manAt[held.sq[last] + 1] = -1;
      manAt[gp.sq[last] + 1] = int8_t(last);
    } else {
      memset(pos->board, 0, sizeof pos->board);
      memset(manAt, -1, sizeof manAt);
      pos->board[0] = -1;
      for (int i = 0; i < gp.men; i++) {
        pos->board[gp.sq[i] + 1] = int8_t(CodeOfKind[gp.kind[i]] + gp.color[i] * BlackBit);
        manAt[gp.sq[i] + 1] = int8_t(i);
      }
      LayPieceLists(pos, &gp);
      BuildAttackTables(pos);
    }
    held = gp;
    holding = true;
    uint32_t flags = 0;
    if (gp.epMan >= 0) flags = uint32_t(gp.sq[gp.epMan] + (gp.color[gp.epMan] == 0 ? -8 : 8) + 1);
    PlyState* root = &pos->plies[0];
    // Builds that check the engine's invariants need the whole root state at every position.
    if (side != stackSide || KESTRANE_CHECKS) {
      pos->keyPtr = nullptr;
      SetupRootPly(pos, side, flags);
      stackSide = side;
    } else {
      // Keys, material and scores of the root do not bear on which moves are legal: only
      // the flags and the list windows are renewed for the next position.
      bool check = pos->attacks[side ^ 1].cell[pos->pieceList[side][0]].count != 0;
      root->flags = flags | (check ? InCheckFlag : 0);
      root->quietBase = root->quietCursor = pos->quietStack;
      root->tacticalBase = root->tacticalCursor = pos->tacticalStack;
      root->listsMade = 0, root->moveTotal = 0, root->moveStage = 0;
    }
    GenerateMoves(pos, root, GenAll, 1);
    const AttackTable& enemy = pos->attacks[side ^ 1];
    bool inCheck = (root->flags & InCheckFlag) != 0;
    int kingSquare = gp.sq[side] + 1;
    const AttackCell* checkers = &enemy.cell[kingSquare];
    int legal = 0;
    uint16_t best = GenUndecided;
    for (MoveEntry* list : {root->tacticalBase, root->quietBase}) {
      for (MoveEntry* entry = list; entry->score != MoveListEnd; entry++) {
        Move move = entry->move;
        // The attack tables settle legality: a king may step to a square no enemy attacks,
        // off any checking slider's line; another man may move unless that exposes its king
        // to a slider behind it, and in check only to take or block the single checker. En
        // passant empties a second square: that move is made to find out.
        int from = MoveFrom(move), to = MoveTo(move);
        uint16_t raw;
        if (move & (MoveEnPassant | MoveCastle)) {
          root->move = move;
          PlyState* next = MakeMove(pos, root);
          if (next == nullptr) continue;
          ReadEnginePosition(pos, side ^ 1, next->flags, &after);
          UnmakeMove(pos, root);
          raw = GenLookup(job, &after);
        } else {
          if (PieceKind(MovePiece(move)) == WKing) {
            if (enemy.cell[to].count != 0 || (inCheck && StaysOnCheckLine(pos, checkers, to, kingSquare))) continue;
          } else if (!KeepsKingCovered(pos, &enemy.cell[from], from, to, kingSquare) ||
                     (inCheck && !AnswersCheck(pos, checkers, to, kingSquare))) {
            continue;
          }
          // The decoded position reads as its own number: a quiet move of a man other than a
          // king changes that man's digit only, and a king step that needs no mirror the
          // king pair's digit.
          int man = manAt[from], pair = -1;
          bool quiet = gp.epMan < 0 && manAt[to] < 0 && !(move & (MovePromoMask | MoveDoubleStep));
          int pairShift = 6 * (gp.men - 2);
          if (quiet && man < 2)
            pair = GenPlainKingPair(&table->mat, man == 0 ? to - 1 : gp.sq[0], man == 1 ? to - 1 : gp.sq[1]);
          if (quiet && man >= 2) {
            uint64_t digit = uint64_t(1) << 6 * (gp.men - 1 - man);
            raw = GenStoredValue(table, side ^ 1, index + uint64_t(to - from) * digit);
          } else if (pair >= 0) {
            uint64_t rest = index & ((uint64_t(1) << pairShift) - 1);
            raw = GenStoredValue(table, side ^ 1, uint64_t(pair) << pairShift | rest);
          } else {
            ApplyMoveWord(&gp, manAt, move, &after);
            raw = GenLookup(job, &after);
          }
        }
        if (raw == GenBroken) job->mismatches.fetch_add(1, std::memory_order_relaxed);
        uint16_t v = GenMoverValue(raw);
        if (legal == 0 || GenPreference(v) > GenPreference(best)) best = v;
        legal++;
      }
    }
    uint16_t expected = legal > 0 ? best : inCheck ? 1 : GenUndecided;
    if (GenStoredValue(table, side, index) != expected) {
      if (job->mismatches.fetch_add(1, std::memory_order_relaxed) == 0)
        job->firstMismatch.store(n, std::memory_order_relaxed);
    }
  }
  free(pos);
}
