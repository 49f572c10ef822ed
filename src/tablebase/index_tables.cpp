// Builds the shared tables of the tablebase position index (index_tables.h).
#include "tablebase/index_tables.h"

#include <mutex>

#include "tablebase/endgame_table.h"
#include "tablebase/index_layout.h"

uint8_t TbTranspose[64];
uint8_t TbPawnMirror[64];
uint8_t TbQuadrant[64];
uint8_t TbFlip[2];
uint8_t TbTriangle[64];
uint8_t TbOffDiagonal[64];
uint8_t TbOnOrBelow[64];
uint16_t TbPawnlessPair[64][64];
uint16_t TbPawnPair[64][64];
uint8_t TbPawnlessPairKings[PawnlessKingPairs][2];
uint8_t TbPawnPairKings[PawnKingPairs][2];
uint8_t TbPlacement[PlacementKinds][64][64];
uint8_t TbPlacementSquare[PlacementKinds][64][64];
uint8_t TbPlacementCount[PlacementKinds][64];

// [pawns][kind][size - 1][pair], the last entry of a row the total.
static uint32_t PlacementOffsets[2][PlacementKinds][MaxGroupSize][PawnKingPairs + 1];

static int FileOfSquare(int sq) { return sq & 7; }
static int RankOfSquare(int sq) { return sq >> 3; }

static bool KingsTouch(int a, int b) {
  int df = FileOfSquare(a) - FileOfSquare(b), dr = RankOfSquare(a) - RankOfSquare(b);
  return df >= -1 && df <= 1 && dr >= -1 && dr <= 1;
}

// Whether a piece placed with `kind` on `sq` attacks a king on `king` from next to it.
static bool ContactCheck(int kind, int sq, int king) {
  int df = FileOfSquare(sq) - FileOfSquare(king), dr = RankOfSquare(sq) - RankOfSquare(king);
  int adf = df < 0 ? -df : df, adr = dr < 0 ? -dr : dr;
  switch (kind) {
    case PlaceCheckPawn: return dr == -1 && adf == 1;  // a White pawn captures upwards
    case PlaceKnight: return (adf == 1 && adr == 2) || (adf == 2 && adr == 1);
    case PlaceBishop: return adf == 1 && adr == 1;
    case PlaceRook: return adf + adr == 1;
    case PlaceQueen: return adf <= 1 && adr <= 1;
    default: return false;
  }
}

static void BuildSymmetryTables() {
  for (int sq = 0; sq < 64; sq++) {
    int file = FileOfSquare(sq), rank = RankOfSquare(sq);
    TbTranspose[sq] = uint8_t(file * 8 + rank);
    TbPawnMirror[sq] = file < 4 ? 0 : 7;
    TbQuadrant[sq] = uint8_t((file < 4 ? 0 : 7) + (rank < 4 ? 0 : 56));
    TbTriangle[sq] = file < 4 && rank <= file;
    TbOffDiagonal[sq] = file != rank;
    TbOnOrBelow[sq] = rank <= file;
  }
  TbFlip[0] = 0;
  TbFlip[1] = 56;
}

static void BuildKingPairs() {
  int pawnless = 0, pawn = 0;
  for (int a = 0; a < 64; a++)
    for (int b = 0; b < 64; b++) TbPawnlessPair[a][b] = TbPawnPair[a][b] = NoKingPair;
  for (int a = 0; a < 64; a++) {
    for (int b = 0; b < 64; b++) {
      if (KingsTouch(a, b)) continue;
      if (TbTriangle[a] && (TbOffDiagonal[a] || TbOnOrBelow[b])) {
        TbPawnlessPairKings[pawnless][0] = uint8_t(a);
        TbPawnlessPairKings[pawnless][1] = uint8_t(b);
        TbPawnlessPair[a][b] = uint16_t(pawnless++);
      }
      if (FileOfSquare(a) < 4) {
        TbPawnPairKings[pawn][0] = uint8_t(a);
        TbPawnPairKings[pawn][1] = uint8_t(b);
        TbPawnPair[a][b] = uint16_t(pawn++);
      }
    }
  }
}

static void BuildPlacementTables() {
  for (int kind = 0; kind < PlacementKinds; kind++) {
    for (int king = 0; king < 64; king++) {
      int count = 0;
      for (int sq = 0; sq < 64; sq++) {
        bool pawn = kind == PlacePawn || kind == PlaceCheckPawn;
        bool allowed = sq != king && !(pawn && (sq < 8 || sq > 55)) && !ContactCheck(kind, sq, king);
        TbPlacement[kind][king][sq] = allowed ? uint8_t(count) : NoPlacement;
        TbPlacementSquare[kind][king][sq] = NoPlacement;
        if (allowed) count++;
      }
      for (int sq = 0; sq < 64; sq++)
        if (TbPlacement[kind][king][sq] != NoPlacement)
          TbPlacementSquare[kind][king][TbPlacement[kind][king][sq]] = uint8_t(sq);
      TbPlacementCount[kind][king] = uint8_t(count);
    }
  }
}

int TbPlacementsBeside(int kind, int otherKing, int ownKing) {
  return TbPlacementCount[kind][otherKing] - (TbPlacement[kind][otherKing][ownKing] != NoPlacement);
}

static void BuildOffsets() {
  for (int pawns = 0; pawns < 2; pawns++) {
    int pairs = pawns ? PawnKingPairs : PawnlessKingPairs;
    for (int kind = 0; kind < PlacementKinds; kind++) {
      for (int size = 1; size <= MaxGroupSize; size++) {
        uint32_t* row = PlacementOffsets[pawns][kind][size - 1];
        uint32_t total = 0;
        for (int p = 0; p < pairs; p++) {
          row[p] = total;
          int own = pawns ? TbPawnPairKings[p][0] : TbPawnlessPairKings[p][0];
          int other = pawns ? TbPawnPairKings[p][1] : TbPawnlessPairKings[p][1];
          total += uint32_t(TbChoose(TbPlacementsBeside(kind, other, own), size));
        }
        row[pairs] = total;
      }
    }
  }
}

const uint32_t* TbPlacementOffsets(bool pawns, int kind, int size) {
  return PlacementOffsets[pawns ? 1 : 0][kind][size - 1];
}

static void BuildAllIndexTables() {
  BuildSymmetryTables();
  BuildKingPairs();
  BuildPlacementTables();
  BuildOffsets();
  BuildTbLayouts();
}

void BuildTablebaseIndexTables() {
  static std::once_flag built;
  std::call_once(built, BuildAllIndexTables);
}
