// Positions of a record's material for the index tests: the pieces of a record, the board
// symmetries a record's index uses, and square lists in the routines' format.
#pragma once
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "tablebase/endgame_table.h"
#include "tablebase/index_count.h"

struct TbTestPiece {
  int side, kind;  // kind 0 for the king
};

struct TbTestPosition {
  int32_t white[24], black[24], ep;
};

// Kings first, then every piece of the record's name, White's before Black's.
inline std::vector<TbTestPiece> RecordPieces(int record) {
  static const char letters[] = "kpnbrq";
  std::vector<TbTestPiece> pieces = {{0, 0}, {1, 0}};
  int side = -1;
  for (const char* p = EndgameTable[record].name; *p; p++) {
    if (*p == 'k') { side++; continue; }
    pieces.push_back({side, int(strchr(letters, *p) - letters)});
  }
  return pieces;
}

inline bool RecordHasPawns(int record) {
  return strchr(EndgameTable[record].name, 'p') != nullptr;
}

// Square lists from squares given in RecordPieces order.
inline TbTestPosition MakePosition(const std::vector<TbTestPiece>& pieces, const int* squares,
                                   int ep = TbNoEnPassant) {
  TbTestPosition p;
  for (int i = 0; i < 24; i++) p.white[i] = p.black[i] = 0;
  int used[2][6] = {};
  for (size_t i = 0; i < pieces.size(); i++) {
    int32_t* list = pieces[i].side == 0 ? p.white : p.black;
    int kind = pieces[i].kind;
    list[kind == 0 ? 0 : 4 * kind + used[pieces[i].side][kind]++] = squares[i];
  }
  p.ep = ep;
  return p;
}

// What the symmetry check needs to know of a record: its piece counts per side and kind.
struct TbRecordShape {
  int record, counts[2][6], symmetries;
};

inline TbRecordShape ShapeOfRecord(int record) {
  TbRecordShape r{record, {}, RecordHasPawns(record) ? 2 : 8};
  for (auto& pc : RecordPieces(record)) r.counts[pc.side][pc.kind]++;
  return r;
}

inline int MapSquare(int sq, int symmetry) {
  int file = sq & 7, rank = sq >> 3;
  if (symmetry & 1) file = 7 - file;
  if (symmetry & 2) rank = 7 - rank;
  if (symmetry & 4) std::swap(file, rank);
  return rank * 8 + file;
}

// Whether the pieces of p moved by `symmetry` stand where the pieces of q stand.
inline bool SameImage(const TbRecordShape& r, const TbTestPosition& p, const TbTestPosition& q,
                      int symmetry) {
  const int32_t* from[2] = {p.white, p.black};
  const int32_t* to[2] = {q.white, q.black};
  for (int side = 0; side < 2; side++) {
    if (MapSquare(from[side][0], symmetry) != to[side][0]) return false;
    for (int kind = 1; kind < 6; kind++) {
      int n = r.counts[side][kind];
      for (int j = 0; j < n; j++) {
        int sq = MapSquare(from[side][4 * kind + j], symmetry);
        bool found = false;
        for (int k = 0; k < n; k++) found |= to[side][4 * kind + k] == sq;
        if (!found) return false;
      }
    }
  }
  int ep = p.ep == TbNoEnPassant ? p.ep : MapSquare(p.ep, symmetry);
  return ep == q.ep;
}

// Whether q is p under one of the symmetries of the record's index (all eight board
// symmetries without pawns, the file mirror with pawns).
inline bool SameUpToSymmetry(const TbRecordShape& r, const TbTestPosition& p,
                             const TbTestPosition& q) {
  for (int sym = 0; sym < r.symmetries; sym++)
    if (SameImage(r, p, q, sym)) return true;
  return false;
}

inline uint64_t IndexOf(int record, int side, const TbTestPosition& p, int flip = 0) {
  const EndgameRecord& r = EndgameTable[record];
  return (side == 0 ? r.indexWhite : r.indexBlack)(p.white, p.black, p.ep, flip);
}

inline uint64_t RecordCount(int record, int side) {
  return side == 0 ? EndgameTable[record].countWhite : EndgameTable[record].countBlack;
}

// Random squares for the record's pieces: pawns on ranks 2-7, the others anywhere. With
// `enPassantSide` 0 or 1, the other side's pawns stand half the time on the rank that a double
// step reaches, so that `enPassantSide` may often take en passant.
inline void RandomSquares(const std::vector<TbTestPiece>& pieces, int enPassantSide, std::mt19937_64& rng,
                          int squares[8]) {
  for (size_t i = 0; i < pieces.size() && i < 8; i++) {
    bool pawn = pieces[i].kind == TbPawn;
    squares[i] = pawn ? int(8 + rng() % 48) : int(rng() % 64);
    if (pawn && enPassantSide >= 0 && pieces[i].side != enPassantSide && rng() % 2)
      squares[i] = (enPassantSide == 0 ? 32 : 24) + int(rng() % 8);
  }
}

// A random legal position of the record with `side` to move (without en passant).
inline TbTestPosition RandomLegalPosition(int record, int side, std::mt19937_64& rng) {
  auto pieces = RecordPieces(record);
  int squares[8] = {};
  for (;;) {
    RandomSquares(pieces, -1, rng, squares);
    TbTestPosition p = MakePosition(pieces, squares);
    if (TbPositionIsLegal(record, side, p.white, p.black, p.ep)) return p;
  }
}

// A random legal position of the record with `side` to move in which `side` may take en
// passant (the record must have pawns on both sides).
inline TbTestPosition RandomEnPassantPosition(int record, int side, std::mt19937_64& rng) {
  auto pieces = RecordPieces(record);
  int squares[8] = {};
  for (;;) {
    RandomSquares(pieces, side, rng, squares);
    for (size_t i = 0; i < pieces.size() && i < 8; i++) {
      if (pieces[i].kind != TbPawn || pieces[i].side == side) continue;
      TbTestPosition p = MakePosition(pieces, squares, squares[i] + (side == 0 ? 8 : -8));
      if (TbPositionIsLegal(record, side, p.white, p.black, p.ep)) return p;
    }
  }
}

