#include "board/fen.h"

#include <cstring>

#include "board/types.h"

namespace {

int PieceFromLetter(char c) {
  switch (c) {
    case 'K': return WKing;
    case 'P': return WPawn;
    case 'N': return WKnight;
    case 'B': return WBishop;
    case 'R': return WRook;
    case 'Q': return WQueen;
    case 'k': return BKing;
    case 'p': return BPawn;
    case 'n': return BKnight;
    case 'b': return BBishop;
    case 'r': return BRook;
    case 'q': return BQueen;
    default: return 0;
  }
}

// Reads the eight ranks; returns the text after the placement, or null when malformed.
// Every read stops at the terminating zero, so cut or overlong texts are safe.
const char* ParsePlacement(const char* p, int8_t board[65]) {
  for (int rank = 8; rank >= 1; rank--) {
    int file = 0;  // squares of this rank passed so far
    for (;;) {
      char c = *p;
      if (file > 7) {
        if (c != '/' && c != ' ') return nullptr;
        p++;
        break;
      }
      if (c == '/' || c == ' ') {
        p++;
        break;
      }
      if (c >= '0' && c <= '9') {
        file += c - '0';
      } else {
        int code = PieceFromLetter(c);
        if (code == 0) return nullptr;
        board[SquareOf(file + 1, rank)] = int8_t(code);
        file++;
      }
      p++;
    }
  }
  return p;
}

// The castling field; rights count only with king and rook on their home squares.
const char* ParseCastling(const char* p, const int8_t board[65], uint32_t* flags, bool* more) {
  *more = false;
  if (*p == '-') {
    if (p[1] != ' ') return p;
    *more = true;
    return p + 2;
  }
  for (; *p != ' '; p++) {
    switch (*p) {
      case 'K':
        if (board[5] == WKing && board[8] == WRook) *flags |= WhiteKingSide;
        break;
      case 'Q':
        if (board[5] == WKing && board[1] == WRook) *flags |= WhiteQueenSide;
        break;
      case 'k':
        if (board[61] == BKing && board[64] == BRook) *flags |= BlackKingSide;
        break;
      case 'q':
        if (board[61] == BKing && board[57] == BRook) *flags |= BlackQueenSide;
        break;
      default:
        return p;  // any other character (the terminator too) ends the parse
    }
  }
  *more = true;
  return p + 1;
}

// An en-passant square counts only when a pawn can just have passed over it: empty, the
// pawn that moved two squares beyond it and its start square empty.
bool EnPassantFits(const int8_t board[65], int side, int square) {
  int moved = side == White ? square - 8 : square + 8;
  int start = side == White ? square + 8 : square - 8;
  int pawn = side == White ? BPawn : WPawn;
  return board[square] == 0 && board[moved] == pawn && board[start] == 0;
}

}  // namespace

int ParseFen(const char* text, int8_t board[65], RootState* state) {
  if (text == nullptr) return 0;
  int8_t squares[65];
  std::memset(squares, 0, sizeof squares);
  const char* p = ParsePlacement(text, squares);
  if (p == nullptr) return 0;
  int side;
  if (*p == 'w') side = White;
  else if (*p == 'b') side = Black;
  else return 0;
  p++;

  uint32_t flags = 0;
  bool more = *p == ' ';
  if (more) p = ParseCastling(p + 1, squares, &flags, &more);
  if (more && p[0] >= 'a' && p[0] <= 'h' && p[1] >= '1' && p[1] <= '8') {
    int square = (p[0] - 'a' + 1) + 8 * (p[1] - '1');
    bool rankFits = side == Black ? (square >= 17 && square <= 24) : (square >= 41 && square <= 48);
    if (rankFits && EnPassantFits(squares, side, square)) flags |= uint32_t(square);
  }

  std::memcpy(board + 1, squares + 1, 64);
  state->side = side;
  state->flags = flags;
  return 1;
}

void SetStartPosition(int8_t board[65], RootState* state) {
  static const int8_t BackRank[8] = {WRook, WKnight, WBishop, WQueen, WKing, WBishop, WKnight, WRook};
  board[0] = -1;
  for (int sq = 1; sq <= 64; sq++) board[sq] = 0;
  for (int file = 1; file <= 8; file++) {
    board[SquareOf(file, 1)] = BackRank[file - 1];
    board[SquareOf(file, 2)] = WPawn;
    board[SquareOf(file, 7)] = BPawn;
    board[SquareOf(file, 8)] = int8_t(BackRank[file - 1] + BlackBit);
  }
  state->side = White;
  state->flags = AllCastling;
}
