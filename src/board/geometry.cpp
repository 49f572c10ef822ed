#include "board/geometry.h"

#include <cstring>

#include "board/keys.h"
#include "board/types.h"

int8_t SquareColour[65];
uint8_t Square88[65];
const uint8_t AttackKindBits[16] = {0, 1, 2, 8, 0, 16, 32, 64, 0, 1, 4, 8, 0, 16, 32, 64};

uint8_t KingTargets[65][9];
uint8_t KnightTargets[65][9];
uint8_t PawnCaptureTargets[2][65][3];
uint8_t WalkStep[3][65][65][2];
const uint8_t* BeyondList[65][65];
int8_t StepBetween[65][65];
uint8_t LineKinds[239];
uint8_t PawnAhead[2][65];
uint8_t FileSquares[9][9];
uint64_t SquareMask[65];
uint64_t FileMask[9];
uint64_t RanksTwoThreeMask;
uint64_t RanksSixSevenMask;

namespace {

struct Direction {
  int offset88;  // 0x88 offset
  int step;      // square-number step
};

// Queen directions in walk order; the rook and bishop sets are subsets in the same order.
constexpr Direction QueenDirections[8] = {{15, 7}, {16, 8}, {17, 9}, {1, 1},
                                          {-15, -7}, {-16, -8}, {-17, -9}, {-1, -1}};
constexpr int RookDirections[4] = {1, 3, 5, 7};
constexpr int BishopDirections[4] = {0, 2, 4, 6};

constexpr int KingOffsets[8] = {-1, -17, -16, -15, 1, 17, 16, 15};
constexpr int KnightOffsets[8] = {-18, -14, -33, -31, 18, 14, 33, 31};

// Beyond lists live here: per origin and queen direction, up to seven squares and a 0.
uint8_t BeyondStore[65][8][8];
const uint8_t EmptySquareList[1] = {0};

int SquareFrom88(int x88) { return (x88 >> 4) * 8 + (x88 & 7) + 1; }
bool OnBoard88(int x88) { return x88 >= 0 && (x88 & 0x88) == 0; }

void FillTargets(uint8_t* list, int sq, const int* offsets, int count) {
  int n = 0;
  for (int i = 0; i < count; i++) {
    int t = Square88[sq] + offsets[i];
    if (OnBoard88(t)) list[n++] = uint8_t(SquareFrom88(t));
  }
  list[n] = 0;
}

// The walk of one kind from one origin, as the list of its non-empty rays.
struct Walk {
  uint8_t ray[8][8];
  int length[8];
  int rays;
};

void CollectWalk(int kind, int origin, Walk* walk) {
  const int* dirs = kind == RookWalk ? RookDirections : BishopDirections;
  int count = kind == QueenWalk ? 8 : 4;
  walk->rays = 0;
  for (int i = 0; i < count; i++) {
    int d = kind == QueenWalk ? i : dirs[i];
    int n = 0;
    for (int t = Square88[origin] + QueenDirections[d].offset88; OnBoard88(t); t += QueenDirections[d].offset88)
      walk->ray[walk->rays][n++] = uint8_t(SquareFrom88(t));
    if (n > 0) walk->length[walk->rays++] = n;
  }
}

}  // namespace

void BuildSquareTables() {
  SquareColour[0] = 0;
  Square88[0] = 0;
  for (int sq = 1; sq <= 64; sq++) {
    SquareColour[sq] = int8_t((FileOf(sq) + RankOf(sq)) % 2 == 0);
    Square88[sq] = uint8_t(16 * (RankOf(sq) - 1) + FileOf(sq) - 1);
  }
}

void BuildTargetLists() {
  std::memset(KingTargets, 0, sizeof KingTargets);
  std::memset(KnightTargets, 0, sizeof KnightTargets);
  std::memset(PawnCaptureTargets, 0, sizeof PawnCaptureTargets);
  constexpr int WhitePawnOffsets[2] = {17, 15};
  constexpr int BlackPawnOffsets[2] = {-17, -15};
  for (int sq = 1; sq <= 64; sq++) {
    FillTargets(KingTargets[sq], sq, KingOffsets, 8);
    FillTargets(KnightTargets[sq], sq, KnightOffsets, 8);
    if (sq >= 9 && sq <= 56) {
      FillTargets(PawnCaptureTargets[White][sq], sq, WhitePawnOffsets, 2);
      FillTargets(PawnCaptureTargets[Black][sq], sq, BlackPawnOffsets, 2);
    }
  }
}

void BuildSliderWalks() {
  std::memset(WalkStep, 0, sizeof WalkStep);
  Walk walk;
  for (int kind = 0; kind < 3; kind++) {
    for (int o = 1; o <= 64; o++) {
      CollectWalk(kind, o, &walk);
      int previous = o;
      for (int r = 0; r < walk.rays; r++) {
        for (int i = 0; i < walk.length[r]; i++) {
          WalkStep[kind][o][previous][0] = walk.ray[r][i];
          previous = walk.ray[r][i];
        }
      }
      for (int r = 0; r + 1 < walk.rays; r++)
        for (int i = 0; i < walk.length[r]; i++) WalkStep[kind][o][walk.ray[r][i]][1] = walk.ray[r + 1][0];
    }
  }
}

void BuildBeyondLists() {
  std::memset(BeyondStore, 0, sizeof BeyondStore);
  for (int o = 0; o <= 64; o++)
    for (int a = 0; a <= 64; a++) BeyondList[o][a] = EmptySquareList;
  for (int o = 1; o <= 64; o++) {
    for (int d = 0; d < 8; d++) {
      int offset = QueenDirections[d].offset88;
      if (!OnBoard88(Square88[o] + offset)) continue;
      int n = 0;
      for (int t = Square88[o] - offset; OnBoard88(t); t -= offset) BeyondStore[o][d][n++] = uint8_t(SquareFrom88(t));
      BeyondStore[o][d][n] = 0;
      for (int t = Square88[o] + offset; OnBoard88(t); t += offset) BeyondList[o][SquareFrom88(t)] = BeyondStore[o][d];
    }
  }
}

void BuildPawnAhead() {
  std::memset(PawnAhead, 0, sizeof PawnAhead);
  for (int sq = 1; sq <= 56; sq++) PawnAhead[White][sq] = uint8_t(sq + 8);
  for (int sq = 9; sq <= 64; sq++) PawnAhead[Black][sq] = uint8_t(sq - 8);
}

// Every square of a queen ray from the origin gets the ray's square step.
void BuildStepBetween() {
  std::memset(StepBetween, 0, sizeof StepBetween);
  for (int o = 1; o <= 64; o++)
    for (const Direction& d : QueenDirections)
      for (int t = Square88[o] + d.offset88; OnBoard88(t); t += d.offset88) StepBetween[o][SquareFrom88(t)] = int8_t(d.step);
}

// Reads the target lists of e4 and the rook and bishop walks of every square.
void BuildLineKinds() {
  std::memset(LineKinds, 0, sizeof LineKinds);
  const int e4 = SquareOf(5, 4);
  for (const uint8_t* t = KingTargets[e4]; *t; t++) LineKinds[Square88[*t] - Square88[e4] + 119] |= 1;
  for (const uint8_t* t = KnightTargets[e4]; *t; t++) LineKinds[Square88[*t] - Square88[e4] + 119] |= 8;
  for (const uint8_t* t = PawnCaptureTargets[White][e4]; *t; t++) LineKinds[Square88[*t] - Square88[e4] + 119] |= 2;
  for (const uint8_t* t = PawnCaptureTargets[Black][e4]; *t; t++) LineKinds[Square88[*t] - Square88[e4] + 119] |= 4;
  for (int o = 1; o <= 64; o++) {
    for (int s = WalkStep[RookWalk][o][o][0]; s != 0; s = WalkStep[RookWalk][o][s][0])
      LineKinds[Square88[s] - Square88[o] + 119] |= 0x20 | 0x40;
    for (int s = WalkStep[BishopWalk][o][o][0]; s != 0; s = WalkStep[BishopWalk][o][s][0])
      LineKinds[Square88[s] - Square88[o] + 119] |= 0x10 | 0x40;
  }
}

void BuildFileSquares() {
  std::memset(FileSquares, 0, sizeof FileSquares);
  for (int file = 1; file <= 8; file++)
    for (int rank = 1; rank <= 8; rank++) FileSquares[file][rank - 1] = uint8_t(SquareOf(file, rank));
}

void BuildMasks() {
  SquareMask[0] = 0;
  for (int sq = 1; sq <= 64; sq++) SquareMask[sq] = uint64_t(1) << (sq - 1);
  FileMask[0] = 0;
  for (int file = 1; file <= 8; file++) {
    FileMask[file] = 0;
    for (int rank = 1; rank <= 8; rank++) FileMask[file] |= SquareMask[SquareOf(file, rank)];
  }
  RanksTwoThreeMask = 0;
  RanksSixSevenMask = 0;
  for (int sq = 9; sq <= 24; sq++) RanksTwoThreeMask |= SquareMask[sq];
  for (int sq = 41; sq <= 56; sq++) RanksSixSevenMask |= SquareMask[sq];
}

void BuildGeometryTables() {
  BuildSquareTables();
  BuildTargetLists();
  BuildSliderWalks();
  BuildBeyondLists();
  BuildPawnAhead();
  BuildStepBetween();
  BuildLineKinds();
  BuildFileSquares();
  BuildMasks();
  BuildZobristKeys();
}

// The tables are ready before any code of the program or its tests runs; the start-up
// sequence builds them again with identical contents.
[[maybe_unused]] static const bool GeometryBuiltAtLoad = (BuildGeometryTables(), true);
