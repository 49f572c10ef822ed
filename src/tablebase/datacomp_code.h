// Canonical prefix codes of compressed tablebase files: building a decoding table from code
// lengths, decoding one symbol, and reading the code lengths of an alphabet.
#pragma once
#include <cstdint>

#include "tablebase/datacomp_bits.h"

constexpr int DatacompMaxCodeLength = 31;
constexpr int DatacompSymbols = 1024;     // the block code: 256 bytes and 768 matches
constexpr int DatacompRootBits = 13;      // first-level table of the block code
constexpr int DatacompTableEntries = (1 << DatacompRootBits) + 2 * DatacompSymbols;
constexpr int LengthCodeSymbols = 64;     // codes A and B of the code-length reader
constexpr int LengthCodeRootBits = 8;
constexpr int LengthCodeEntries = (1 << LengthCodeRootBits) + 2 * LengthCodeSymbols;

// Builds the decoding table of the canonical code with the given lengths (0 = unused).
// First-level entries e >= 0 hold symbol << 5 | length; longer codes start from an entry
// -i and go on through the pair table[i], table[i + 1] chosen by each further bit, ending
// at the symbol itself. All lengths 0 gives a table of zeros; a single symbol must have
// length 1 and then costs no bits. Returns 0, DatacompBadCodeLengths for a length above 31,
// or DatacompIncompleteCode for lengths that make no complete code.
int BuildPrefixTable(const uint8_t* lengths, int symbols, int rootBits, int16_t* table, int entries);

// Decodes one symbol; -1 for a table entry that leads nowhere.
inline int DecodeSymbol(BitReader* r, const int16_t* table, int rootBits, int entries) {
  int e = table[PeekBits(r, rootBits)];
  if (e >= 0) {
    TakeBits(r, e & 31);
    return e >> 5;
  }
  TakeBits(r, rootBits);
  for (int depth = 0; depth < DatacompMaxCodeLength; depth++) {
    int at = int(TakeBits(r, 1)) - e;
    if (at >= entries) return -1;
    e = table[at];
    if (e >= 0) return e;
  }
  return -1;
}

// Reads the lengths of `symbols` code symbols (at most 1024): 0, DatacompBadCodeLengths or
// DatacompIncompleteCode (codes A and B), or DatacompHeaderOverrun when the stream ran out.
int ReadCodeLengths(BitReader* r, uint8_t* lengths, int symbols);
