#include "tablebase/datacomp_code.h"

#include <cstring>

#include "tablebase/datacomp_errors.h"

namespace {

constexpr int16_t Unset = INT16_MIN;  // no pair pointer reaches this far

}  // namespace

int BuildPrefixTable(const uint8_t* lengths, int symbols, int rootBits, int16_t* table, int entries) {
  int count[DatacompMaxCodeLength + 1] = {};
  int used = 0, only = 0;
  for (int s = 0; s < symbols; s++) {
    if (lengths[s] > DatacompMaxCodeLength) return DatacompBadCodeLengths;
    if (lengths[s]) count[lengths[s]]++, used++, only = s;
  }
  int rootSize = 1 << rootBits;
  if (used == 0) {
    memset(table, 0, sizeof(int16_t) * size_t(entries));
    return 0;
  }
  if (used == 1) {
    if (lengths[only] != 1) return DatacompIncompleteCode;
    for (int i = 0; i < entries; i++) table[i] = int16_t(only << 5);
    return 0;
  }
  // Complete: the codes of each length pair up into the level above, ending in one root.
  uint64_t carry = 0;
  for (int length = DatacompMaxCodeLength; length >= 1; length--) {
    carry += uint64_t(count[length]);
    if (carry & 1) return DatacompIncompleteCode;
    carry >>= 1;
  }
  if (carry != 1) return DatacompIncompleteCode;

  uint32_t next[DatacompMaxCodeLength + 2] = {};
  uint32_t code = 0;
  for (int length = 1; length <= DatacompMaxCodeLength; length++) {
    code = (code + uint32_t(count[length - 1])) << 1;
    next[length] = code;
  }
  for (int i = 0; i < entries; i++) table[i] = Unset;
  int nextPair = rootSize;  // the next unused pair
  for (int s = 0; s < symbols; s++) {
    int length = lengths[s];
    if (!length) continue;
    uint32_t c = next[length]++;
    if (length <= rootBits) {
      int first = int(c << (rootBits - length)), span = 1 << (rootBits - length);
      for (int i = first; i < first + span; i++) table[i] = int16_t(s << 5 | length);
      continue;
    }
    int slot = int(c >> (length - rootBits));
    for (int bit = length - rootBits - 1; bit >= 0; bit--) {
      if (table[slot] == Unset) {
        if (nextPair + 2 > entries) return DatacompIncompleteCode;
        table[slot] = int16_t(-nextPair);
        table[nextPair] = table[nextPair + 1] = Unset;
        nextPair += 2;
      }
      if (table[slot] >= 0) return DatacompIncompleteCode;  // a shorter code is a prefix
      slot = -table[slot] + int((c >> bit) & 1);
    }
    if (table[slot] != Unset) return DatacompIncompleteCode;
    table[slot] = int16_t(s);
  }
  for (int i = 0; i < nextPair; i++)
    if (table[i] == Unset) return DatacompIncompleteCode;
  return 0;
}

namespace {

// Lengths of an alphabet of up to 128 symbols: a width, then each length in that many bits,
// a zero length followed by a 4-bit count of further zeros.
int ReadShortLengths(BitReader* r, uint8_t* lengths, int symbols) {
  if (TakeBits(r, 1)) {
    memset(lengths, 0, size_t(symbols));
    return 0;
  }
  int width = int(TakeBits(r, 5));
  for (int i = 0; i < symbols;) {
    uint32_t length = TakeLongBits(r, width);
    if (length > DatacompMaxCodeLength) return DatacompBadCodeLengths;
    lengths[i++] = uint8_t(length);
    if (length == 0) {
      int zeros = int(TakeBits(r, 4));
      if (zeros > symbols - i) return DatacompBadCodeLengths;
      memset(lengths + i, 0, size_t(zeros));
      i += zeros;
    }
    if (Overran(r)) return DatacompHeaderOverrun;
  }
  return Overran(r) ? DatacompHeaderOverrun : 0;
}

}  // namespace

int ReadCodeLengths(BitReader* r, uint8_t* lengths, int symbols) {
  constexpr int ShortAlphabet = 2 * LengthCodeSymbols;
  if (symbols <= ShortAlphabet) return ReadShortLengths(r, lengths, symbols);
  if (TakeBits(r, 1)) {
    memset(lengths, 0, size_t(symbols));
    return 0;
  }
  uint8_t codeLengths[ShortAlphabet];
  int status = ReadShortLengths(r, codeLengths, ShortAlphabet);
  if (status) return status;
  int16_t codeA[LengthCodeEntries], codeB[LengthCodeEntries];
  if ((status = BuildPrefixTable(codeLengths, LengthCodeSymbols, LengthCodeRootBits, codeA, LengthCodeEntries)) ||
      (status = BuildPrefixTable(codeLengths + LengthCodeSymbols, LengthCodeSymbols, LengthCodeRootBits, codeB,
                                 LengthCodeEntries)))
    return status;
  for (int i = 0; i < symbols;) {
    int s = DecodeSymbol(r, codeA, LengthCodeRootBits, LengthCodeEntries);
    if (s < 0) return DatacompBadCodeLengths;
    if (s <= DatacompMaxCodeLength) {
      lengths[i++] = uint8_t(s);
    } else {
      int t = DecodeSymbol(r, codeB, LengthCodeRootBits, LengthCodeEntries);
      if (t < 0) return DatacompBadCodeLengths;
      uint64_t repeat = t <= 31 ? uint64_t(t) + 2 : (uint64_t(1) << (t - 32)) + TakeLongBits(r, t - 32) + 33;
      if (repeat > uint64_t(symbols - i)) return DatacompBadCodeLengths;
      memset(lengths + i, s - 32, size_t(repeat));
      i += int(repeat);
    }
    if (Overran(r)) return DatacompHeaderOverrun;
  }
  return 0;
}
