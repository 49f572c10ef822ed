// Retrograde analysis of one endgame in the generator's own numbering. The work is split
// into passes over ranges of numbers, so a caller may run a pass on several threads.
#pragma once
#include <atomic>
#include <cstdint>

#include "tablebase/generate_position.h"

// Work values: 0 undecided (a draw once the work ends), GenBroken for numbers that stand
// for no legal position, otherwise the distance in plies plus one: an odd distance is a win
// for the side to move, an even one a loss (0 plies: checkmated). They are stored in one
// byte: distances up to 252 plies, the 126 moves that one-byte table entries hold.
constexpr uint16_t GenUndecided = 0;
constexpr uint16_t GenBroken = 0xFFFF;
constexpr uint16_t GenLongest = 253;    // the largest value stored
constexpr uint8_t GenStoredBroken = 0xFF;

struct GenTable {
  GenMaterial mat;
  uint64_t sideSize;
  uint8_t* value[2];  // White to move, Black to move
};

inline uint16_t GenStoredValue(const GenTable* table, int side, uint64_t number) {
  uint8_t v = table->value[side][number];
  return v == GenStoredBroken ? GenBroken : v;
}

// A table reached by a capture or a promotion; `table` null for bare kings.
struct GenExit {
  uint32_t key;
  const GenTable* table;
  int swap;
};

constexpr int GenMaxExits = 32;

struct GenJob {
  GenTable* table;
  // Per number of each side: how many distinct positions inside the table its moves reach
  // that are not yet known wins for the opponent (the lost-position count of the level passes).
  uint8_t* pending[2];
  GenExit exits[GenMaxExits];
  int exitCount;
  int side;                         // the array a level pass scans
  uint32_t level;                   // plies of the values it scans
  std::atomic<uint32_t> maxValue;   // the largest work value written so far
  std::atomic<uint64_t> faults;     // inconsistencies met (successors without a value)
  std::atomic<uint64_t> tooLong;    // distances beyond GenLongest
  std::atomic<uint64_t> mismatches; // forward check: values that disagree with successors
  std::atomic<uint64_t> firstMismatch;
};

// The materials that captures and promotions of `mat` lead to, once each: the canonical
// material, and the colours of the position reached (key) with the swap between them.
int GenExitMaterials(const GenMaterial* mat, GenMaterial out[GenMaxExits], GenExit exits[GenMaxExits]);
// The value of any position reachable from the job's table, from its side to move's view.
uint16_t GenLookup(GenJob* job, const GenPos* pos);
// The value for the mover of a move leading to a position of value `next`.
inline uint16_t GenMoverValue(uint16_t next) {
  if (next == GenUndecided || next == GenBroken) return GenUndecided;
  return uint16_t(next + 1);
}
// Preference of the side to move: higher is better.
inline int32_t GenPreference(uint16_t value) {
  if (value == GenUndecided || value == GenBroken) return 0;
  int32_t plies = value - 1;
  return (plies & 1) ? 100000 - plies : plies - 100000;
}

// Pass 1 over [begin, end) of 2 × sideSize numbers (White to move first): broken numbers,
// mates, stalemates, the results of captures and promotions, and the pending counts.
void GenInitRange(GenJob* job, uint64_t begin, uint64_t end);
// A level pass over [begin, end) of job->side's numbers: positions lost in `level` plies
// make their predecessors wins; positions won in `level` plies make losses of predecessors
// whose every move now loses. Each position is handled once under its smallest number, and
// a predecessor's count drops once per distinct position reached, so positions the numbering
// maps onto themselves or onto two numbers are counted right.
void GenLevelRange(GenJob* job, uint64_t begin, uint64_t end);
