// Writing scored entries into the two per-ply lists, shared by the generator, the evasion
// generator and the plausibility test.
#pragma once
#include "board/move_order.h"
#include "board/position.h"

struct MoveWriter {
  Position* pos;
  MoveEntry* quiet;          // next free entry of the quiet list
  MoveEntry* tactical;       // next free entry of the tactical list
  const int32_t* history;    // the side's history counters, killers swapped in
  int side;
  int allPromotions;
};

inline bool IsEnemyPiece(int code, int side) { return code > 0 && PieceSide(code) != side; }

inline bool OnHomeRank(int side, int sq) { return side == White ? sq < 17 : sq > 48; }

// The castling king moves and their rights, [side][0 king-side, 1 queen-side].
constexpr Move CastleMoves[2][2] = {
    {MakeMoveWord(5, 7, WKing) | MoveCastle, MakeMoveWord(5, 3, WKing) | MoveCastle},
    {MakeMoveWord(61, 63, BKing) | MoveCastle, MakeMoveWord(61, 59, BKing) | MoveCastle}};
constexpr uint32_t CastleRights[2][2] = {{WhiteKingSide, WhiteQueenSide}, {BlackKingSide, BlackQueenSide}};

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
