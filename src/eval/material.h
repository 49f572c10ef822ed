// The material table: imbalance score and drawishness per pair of material signatures.
#pragma once
#include <cstdint>
#include "board/position.h"
#include "board/types.h"

struct MaterialEntry {
  uint32_t key;     // White signature << 16 | Black signature
  int16_t score;    // White's view
  uint8_t scale;    // percent, 0 none
  uint8_t flags;    // MaterialFlag bits
};

enum MaterialFlag : uint8_t {
  MaterialWhiteExchangeUp = 0x01,  // White has the extra rook: Black's isolated pawns count
  MaterialBlackExchangeUp = 0x02,
  MaterialPawnCountTerm = 0x04,    // equal minors: the pawn entry's pawn-count term applies
  MaterialFilled = 0x80,
};

// Piece counts of one side, as the balance reads them.
struct MaterialCounts {
  int pawns, knights, bishops, light, dark, rooks, queens;
};

constexpr int MaterialHashSize = 4096;

inline void CountMaterial(const Position* pos, const PlyState* ps, int side, MaterialCounts* c) {
  int b = side << 3;
  c->pawns = pos->pieceCount[WPawn | b];
  c->knights = pos->pieceCount[WKnight | b];
  c->bishops = pos->pieceCount[WBishop | b];
  c->rooks = pos->pieceCount[WRook | b];
  c->queens = pos->pieceCount[WQueen | b];
  // The signature holds 64 per light and 128 per dark bishop beside the other weights.
  int bishopPart = int(ps->signature[side]) - c->pawns - 16 * c->knights - 256 * c->rooks - 1024 * c->queens;
  c->dark = bishopPart / 64 - c->bishops;
  if (c->dark < 0) c->dark = 0;
  if (c->dark > c->bishops) c->dark = c->bishops;
  c->light = c->bishops - c->dark;
}
void MaterialBalance(const PlyState* ps, const MaterialCounts counts[2], MaterialEntry* entry);
// The entry for the node's material; positions whose counts do not fit the signature
// fields are balanced into `scratch` instead of the table.
const MaterialEntry* MaterialLookup(const Position* pos, const PlyState* ps, MaterialEntry* scratch);
// Starts loading the table entry of the node's signatures.
void PrefetchMaterialEntry(const PlyState* ps);
// The same with the node's counts already at hand.
const MaterialEntry* MaterialLookupCounted(const Position* pos, const PlyState* ps, const MaterialCounts counts[2],
                                           MaterialEntry* scratch);
void ClearMaterialHash();
// Before a search: keeps the table when the root values its entries read are the ones they
// were filled under, clears it otherwise.
void PrepareMaterialHash();
int MaterialHashFilled();  // entries in use
// A table entry agrees with the node: its key is the node's signatures and its terms are what
// the balance works out afresh from the node's counts.
int MaterialEntryIsOk(const MaterialEntry* e, const Position* pos, const PlyState* ps);
