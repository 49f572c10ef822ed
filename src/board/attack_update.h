// The attack primitives that keep both attack tables exact: adding and removing one piece's
// attacks, and extending or cutting slider rays through a square that is vacated or
// occupied. Inline because make and unmake run them on every move.
#pragma once
#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#include "board/geometry.h"
#include "board/position.h"

inline void AddAttacker(AttackCell* cell, int square) { cell->from[cell->count++] = uint8_t(square); }

// The attacker leaves its place to the last listed one. The list is searched for the first
// byte equal to the square; bytes past the count are stale but come after the match. A lone
// attacker is its own last entry, so it needs no case of its own.
inline void RemoveAttacker(AttackCell* cell, int square) {
  int last = --cell->count;
  uint8_t* from = cell->from;
#if defined(__SSE2__)
  static_assert(sizeof cell->from == 16, "one vector compare covers the attacker list");
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
  const int i = __builtin_ctz(unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(char(square))))));
#else
  int i = 0;
  while (from[i] != square) i++;
#endif
  from[i] = from[last];
}

// The step pieces' target lists by code, found without a branch on the code: the first
// square's list and the distance between lists. Sliders and empty codes have none.
struct StepTargetTable {
  const uint8_t* first;
  int stride;
};

inline constexpr StepTargetTable StepTargetTables[16] = {
    {nullptr, 0}, {&KingTargets[0][0], 9}, {&PawnCaptureTargets[White][0][0], 3}, {&KnightTargets[0][0], 9},
    {nullptr, 0}, {nullptr, 0}, {nullptr, 0}, {nullptr, 0},
    {nullptr, 0}, {&KingTargets[0][0], 9}, {&PawnCaptureTargets[Black][0][0], 3}, {&KnightTargets[0][0], 9},
    {nullptr, 0}, {nullptr, 0}, {nullptr, 0}, {nullptr, 0}};

inline const uint8_t* StepTargets(int code, int square) {
  const StepTargetTable& t = StepTargetTables[code];
  return t.first + square * t.stride;
}

inline void AddAttacks(const int8_t* board, AttackTable* table, int square, int code) {
  if (IsSlider(code)) {
    int kind = WalkOf(code);
    const uint8_t(*step)[2] = WalkStep[kind][square];
    for (int s = step[square][0]; s != 0; s = board[s] ? step[s][1] : step[s][0]) {
      AttackCell* cell = &table->cell[s];
      AddAttacker(cell, square);
      cell->sliders++;
    }
    return;
  }
  for (const uint8_t* t = StepTargets(code, square); *t; t++) AddAttacker(&table->cell[*t], square);
}

inline void RemoveAttacks(const int8_t* board, AttackTable* table, int square, int code) {
  if (IsSlider(code)) {
    int kind = WalkOf(code);
    const uint8_t(*step)[2] = WalkStep[kind][square];
    for (int s = step[square][0]; s != 0; s = board[s] ? step[s][1] : step[s][0]) {
      AttackCell* cell = &table->cell[s];
      RemoveAttacker(cell, square);
      cell->sliders--;
    }
    return;
  }
  for (const uint8_t* t = StepTargets(code, square); *t; t++) RemoveAttacker(&table->cell[*t], square);
}

// Square q changed occupancy: every slider attacking q gains (vacated) or loses (occupied)
// the squares beyond it, up to and including the first occupied one.
template <bool Vacated>
inline void UpdateRaysThrough(Position* pos, int q) {
  for (int side = 0; side < 2; side++) {
    AttackTable* table = &pos->attacks[side];
    const AttackCell* cell = &table->cell[q];
    // Only sliders' rays go on past q; the scan ends with the last of them.
    for (int i = 0, left = cell->sliders; left != 0; i++) {
      int a = cell->from[i];
      if (!IsSlider(pos->board[a])) continue;
      left--;
      for (const uint8_t* s = BeyondList[q][a]; *s; s++) {
        AttackCell* target = &table->cell[*s];
        if (Vacated) {
          AddAttacker(target, a);
          target->sliders++;
        } else {
          RemoveAttacker(target, a);
          target->sliders--;
        }
        if (pos->board[*s]) break;
      }
    }
  }
}

inline void ExtendThrough(Position* pos, int q) { UpdateRaysThrough<true>(pos, q); }
inline void CutThrough(Position* pos, int q) { UpdateRaysThrough<false>(pos, q); }
