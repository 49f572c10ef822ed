#include "board/move_text.h"

#include <cstring>

const char SquareName[65][3] = {
    "00", "a1", "b1", "c1", "d1", "e1", "f1", "g1", "h1", "a2", "b2", "c2", "d2", "e2", "f2", "g2", "h2",
    "a3", "b3", "c3", "d3", "e3", "f3", "g3", "h3", "a4", "b4", "c4", "d4", "e4", "f4", "g4", "h4",
    "a5", "b5", "c5", "d5", "e5", "f5", "g5", "h5", "a6", "b6", "c6", "d6", "e6", "f6", "g6", "h6",
    "a7", "b7", "c7", "d7", "e7", "f7", "g7", "h7", "a8", "b8", "c8", "d8", "e8", "f8", "g8", "h8"};

const char UpperPieceLetter[17] = "0K NXBRQXK NXBRQ";
const char LowerPieceLetter[17] = "0k nXbrqXk nXbrq";

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// The first square from 1 on whose rank matches, then onwards the first whose file matches.
int SquareFromText(char fileChar, char rankChar) {
  int sq = 1;
  while (sq <= 64 && SquareName[sq][1] != rankChar) sq++;
  char file = Lower(fileChar);
  while (sq <= 64 && SquareName[sq][0] != file) sq++;
  return sq <= 64 ? sq : 0;
}

bool ValidSquare(int sq) { return sq >= 1 && sq <= 64; }

}  // namespace

Move ParseMoveText(const int8_t board[65], const char* text, int side) {
  if (text == nullptr) return 0;
  size_t length = strnlen(text, 6);
  int promotion = 0;
  if (length == 5) {
    static const int PromotionCodes[4] = {WKnight, WBishop, WRook, WQueen};
    char letter = Lower(text[4]);
    for (int code : PromotionCodes)
      if (LowerPieceLetter[code] == letter) promotion = code + (side == Black ? BlackBit : 0);
    if (promotion == 0) return 0;
    length = 4;
  }
  if (length != 4) return 0;
  int from = SquareFromText(text[0], text[1]);
  int to = SquareFromText(text[2], text[3]);
  if (from == 0 || to == 0) return 0;
  int piece = board[from];
  if (piece <= 0) return 0;
  Move move = MakeMoveWord(from, to, piece, 0, promotion);
  int distance = from > to ? from - to : to - from;
  if (PieceKind(piece) == WKing && distance == 2) move |= MoveCastle;
  bool enPassant = false;
  if (PieceKind(piece) == WPawn) {
    if (FileOf(from) != FileOf(to) && board[to] == 0) {
      move |= MoveEnPassant;
      enPassant = true;
    }
    if (distance == 16) move |= MoveDoubleStep;
  }
  if (enPassant) move |= Move(PieceSide(piece) == White ? BPawn : WPawn) << 18;
  else if (board[to] > 0) move |= Move(board[to]) << 18;
  return move;
}

int MoveToText(char* buffer, Move move) {
  int from = MoveFrom(move), to = MoveTo(move);
  if (!ValidSquare(from) || !ValidSquare(to)) from = to = 0;  // prints "0000" rather than reading past the table
  int n = 0;
  buffer[n++] = ' ';
  buffer[n++] = SquareName[from][0];
  buffer[n++] = SquareName[from][1];
  buffer[n++] = SquareName[to][0];
  buffer[n++] = SquareName[to][1];
  if (MovePromotion(move)) buffer[n++] = LowerPieceLetter[MovePromotion(move)];
  buffer[n] = 0;
  return n;
}

int MoveToLongText(char* buffer, Move move, int leadingBlank) {
  int n = 0;
  if (leadingBlank) buffer[n++] = ' ';
  if (move & MoveCastle) {
    const char* text = MoveTo(move) < MoveFrom(move) ? "O-O-O" : "O-O";
    std::memcpy(buffer + n, text, std::strlen(text) + 1);
    return n + int(std::strlen(text));
  }
  int from = MoveFrom(move), to = MoveTo(move);
  if (!ValidSquare(from) || !ValidSquare(to)) from = to = 0;
  int piece = MovePiece(move);
  if (!IsPawnCode(piece)) buffer[n++] = UpperPieceLetter[piece];
  buffer[n++] = SquareName[from][0];
  buffer[n++] = SquareName[from][1];
  buffer[n++] = MoveCaptured(move) ? 'x' : '-';
  buffer[n++] = SquareName[to][0];
  buffer[n++] = SquareName[to][1];
  if (MovePromotion(move)) buffer[n++] = UpperPieceLetter[MovePromotion(move)];
  buffer[n] = 0;
  return n;
}
