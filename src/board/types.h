// Piece codes, squares, sides, the move word and mate scores shared by every subsystem.
#pragma once
#include <cstdint>

using Move = uint32_t;

enum Side : int { White = 0, Black = 1 };

// Piece code: bits 0-2 the kind, bit 3 set for Black, 0 an empty square.
enum PieceCode : int {
  NoPiece = 0,
  WKing = 1, WPawn = 2, WKnight = 3, WBishop = 5, WRook = 6, WQueen = 7,
  BKing = 9, BPawn = 10, BKnight = 11, BBishop = 13, BRook = 14, BQueen = 15,
};
constexpr int BlackBit = 8;

inline int PieceSide(int code) { return code >> 3; }
inline int PieceKind(int code) { return code & 7; }
inline bool IsSlider(int code) { return (code & 4) != 0; }
inline bool IsPawnCode(int code) { return code != 0 && (code & 5) == 0; }

// Squares 1..64, a1 = 1, h1 = 8, a8 = 57; 0 is "no square" and ends square lists.
constexpr int NoSquare = 0;
inline int SquareOf(int file, int rank) { return file + 8 * (rank - 1); }  // file, rank 1..8
inline int FileOf(int sq) { return (sq - 1) % 8 + 1; }
inline int RankOf(int sq) { return (sq - 1) / 8 + 1; }

// StateFlags bits.
constexpr uint32_t EnPassantMask = 0x3F;
constexpr uint32_t BlackQueenSide = 0x40;
constexpr uint32_t BlackKingSide = 0x80;
constexpr uint32_t WhiteQueenSide = 0x100;
constexpr uint32_t WhiteKingSide = 0x200;
constexpr uint32_t AllCastling = 0x3C0;
constexpr uint32_t InCheckFlag = 0x400;

// Move word fields.
constexpr Move MoveFromMask = 0x7F;
constexpr Move MoveToMask = 0x3F80;
constexpr Move MovePromoMask = 0x3C000;
constexpr Move MoveCaptureMask = 0x3C0000;
constexpr Move MoveTacticalMask = 0x3FC000;  // capture or promotion
constexpr Move MoveEnPassant = 0x4000000;
constexpr Move MoveCastle = 0x8000000;
constexpr Move MoveNull = 0x10000000;
constexpr Move MoveDoubleStep = 0x20000000;
constexpr Move MoveWordMask = 0x3FFFFFFF;

inline int MoveFrom(Move m) { return m & 0x7F; }
inline int MoveTo(Move m) { return (m >> 7) & 0x7F; }
inline int MovePromotion(Move m) { return (m >> 14) & 0xF; }
inline int MoveCaptured(Move m) { return (m >> 18) & 0xF; }
inline int MovePiece(Move m) { return (m >> 22) & 0xF; }
inline int MoveResultPiece(Move m) { return MovePromotion(m) ? MovePromotion(m) : MovePiece(m); }
inline bool IsQuietNonPawnMove(Move m) { return (m & 0x183FC000) == 0 && (m & 0x1400000) != 0; }
// The word of a move from its squares and pieces; callers add the flag bits.
constexpr Move MakeMoveWord(int from, int to, int piece, int captured = 0, int promotion = 0) {
  return Move(from) | Move(to) << 7 | Move(promotion) << 14 | Move(captured) << 18 | Move(piece) << 22;
}

constexpr int MateScore = 30000;
constexpr int MateThreshold = 29000;
