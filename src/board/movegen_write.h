// Writing scored entries into the two per-ply lists; shared by the generator and the
// evasion generator.
#pragma once
#include "board/movegen.h"

struct MoveWriter {
  Position* pos;
  MoveEntry* quiet;          // next free entry of the quiet list
  MoveEntry* tactical;       // next free entry of the tactical list
  const int32_t* history;    // the side's history counters, killers swapped in
  int side;
  int allPromotions;
};

inline bool IsEnemyPiece(int code, int side) { return code > 0 && PieceSide(code) != side; }

inline void AddQuiet(MoveWriter* w, Move move) {
  w->quiet->move = move;
  w->quiet->score = w->history[move & 0x3FFF];
  w->quiet++;
}

inline void AddTactical(MoveWriter* w, Move move) {
  w->tactical->move = move;
  w->tactical->score = CaptureScore(move, w->pos);
  w->tactical++;
}

// Queen, rook, knight, bishop; the queen alone without the all-promotions flag.
inline void AddPromotions(MoveWriter* w, Move move) {
  static const int Order[4] = {WQueen, WRook, WKnight, WBishop};
  int colour = w->side * BlackBit;
  int count = w->allPromotions ? 4 : 1;
  for (int i = 0; i < count; i++) AddTactical(w, move | Move(Order[i] + colour) << 14);
}

void GenerateEvasions(MoveWriter* w, PlyState* ps);
