// FEN parsing and the start position onto a 65-byte board and a root state.
#pragma once
#include <cstdint>

struct RootState {
  int side;        // 0 White, 1 Black
  uint32_t flags;  // StateFlags: en-passant square and castling rights
};

// 1 when the placement and side letter parse; later fields stop the parse quietly.
int ParseFen(const char* text, int8_t board[65], RootState* state);
void SetStartPosition(int8_t board[65], RootState* state);
