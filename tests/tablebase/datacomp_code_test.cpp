// Canonical prefix codes: the decoding table built from code lengths (empty, single-symbol,
// too long, over- and under-subscribed, long codes through tree entries) and the reader of
// code lengths with its two codes.
#include <gtest/gtest.h>

#include <vector>

#include "tablebase/datacomp_bits.h"
#include "tablebase/datacomp_code.h"
#include "tablebase/datacomp_errors.h"
#include "tablebase/datacomp_huffman.h"
#include "tablebase/datacomp_write.h"

namespace {

struct TableCase {
  const char* name;
  std::vector<uint8_t> lengths;  // of the first symbols; the rest are 0
  int status;
};

TEST(DatacompCode, TableConstructionAcceptsOnlyCompleteCodes) {
  const TableCase cases[] = {
      {"all zero", {}, 0},
      {"single symbol of length 1", {0, 0, 1}, 0},
      {"single symbol of length 2", {0, 2}, DatacompIncompleteCode},
      {"two of length 1", {1, 1}, 0},
      {"length 32", {1, 2, 32, 32}, DatacompBadCodeLengths},
      {"over-subscribed", {1, 1, 1}, DatacompIncompleteCode},
      {"under-subscribed", {1, 2}, DatacompIncompleteCode},
      {"over-subscribed deep", {1, 2, 3, 3, 3}, DatacompIncompleteCode},
      {"complete with 31-bit codes", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
                                      21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 31}, 0},
  };
  for (const TableCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> lengths(DatacompSymbols, 0);
    for (size_t i = 0; i < c.lengths.size(); i++) lengths[i] = c.lengths[i];
    std::vector<int16_t> table(DatacompTableEntries, 123);
    EXPECT_EQ(BuildPrefixTable(lengths.data(), DatacompSymbols, DatacompRootBits, table.data(), DatacompTableEntries),
              c.status);
  }
}

// Symbols written with the canonical codes of their lengths decode back to themselves,
// through first-level entries and through tree entries; a single symbol costs no bits.
TEST(DatacompCode, CanonicalCodesDecodeBack) {
  struct Case {
    const char* name;
    std::vector<uint64_t> frequencies;
  };
  std::vector<uint64_t> skewed(DatacompSymbols, 0), flat(DatacompSymbols, 1), single(DatacompSymbols, 0);
  uint64_t f = 1;
  for (int s = 0; s < 40; s++, f = f * 3 / 2 + 1) skewed[s * 7] = f;  // codes up to 31 bits
  single[700] = 5;
  const Case cases[] = {{"skewed", skewed}, {"flat", flat}, {"single", single}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    uint8_t lengths[DatacompSymbols];
    uint32_t codes[DatacompSymbols];
    HuffmanLengths(c.frequencies.data(), DatacompSymbols, DatacompMaxCodeLength, lengths);
    CanonicalCodes(lengths, DatacompSymbols, codes);
    int used = 0, longest = 0;
    for (int s = 0; s < DatacompSymbols; s++) used += lengths[s] != 0, longest = std::max<int>(longest, lengths[s]);
    EXPECT_LE(longest, DatacompMaxCodeLength);
    std::vector<int16_t> table(DatacompTableEntries);
    ASSERT_EQ(BuildPrefixTable(lengths, DatacompSymbols, DatacompRootBits, table.data(), DatacompTableEntries), 0);
    BitWriter w;
    StartBitWriter(&w);
    std::vector<int> written;
    for (int round = 0; round < 3; round++)
      for (int s = 0; s < DatacompSymbols; s++)
        if (lengths[s]) {
          if (used > 1) PutBits(&w, codes[s], lengths[s]);
          written.push_back(s);
        }
    PadToByte(&w);
    BitReader r;
    StartBitReader(&r, w.bytes, w.size);
    for (int s : written) ASSERT_EQ(DecodeSymbol(&r, table.data(), DatacompRootBits, DatacompTableEntries), s);
    EXPECT_FALSE(Overran(&r));
    EXPECT_EQ(BytesTaken(&r), w.size);
    FreeBitWriter(&w);
  }
}

// The code-length reader: written lengths read back; runs and repeats that pass the end of
// the alphabet, lengths above 31 and streams cut short are refused.
TEST(DatacompCode, CodeLengthsReadBackAndFaultsAreRefused) {
  std::vector<uint8_t> lengths(DatacompSymbols, 0);
  for (int s = 0; s < 300; s++) lengths[s] = uint8_t(s % 7 == 0 ? 9 : 10);
  for (int s = 600; s < 1024; s++) lengths[s] = 31;
  BitWriter w;
  StartBitWriter(&w);
  WriteBlockCodeLengths(&w, lengths.data());
  PadToByte(&w);
  BitReader r;
  StartBitReader(&r, w.bytes, w.size);
  std::vector<uint8_t> read(DatacompSymbols, 99);
  EXPECT_EQ(ReadCodeLengths(&r, read.data(), DatacompSymbols), 0);
  EXPECT_EQ(read, lengths);
  // Cut short: the same stream without its last half.
  StartBitReader(&r, w.bytes, w.size / 2);
  EXPECT_EQ(ReadCodeLengths(&r, read.data(), DatacompSymbols), DatacompHeaderOverrun);
  FreeBitWriter(&w);

  struct Case {
    const char* name;
    std::vector<std::pair<uint32_t, int>> bits;  // (value, width) in order
    int symbols;
    int status;
  };
  const Case cases[] = {
      {"zero run past the end", {{0, 1}, {3, 5}, {0, 3}, {15, 4}}, 10, DatacompBadCodeLengths},
      {"length above 31", {{0, 1}, {6, 5}, {32, 6}}, 10, DatacompBadCodeLengths},
      {"all zero flag", {{1, 1}}, 100, 0},
      // Code A: symbols 0 and 32 (a repeat of length 0), one bit each; code B: symbol 31 alone
      // (a count of 33, no bits). 32 repeats of 33 pass the end of 1024 lengths.
      {"repeat past the end",
       {{0, 1}, {0, 1}, {1, 5},
        {1, 1}, {0, 1}, {15, 4}, {0, 1}, {14, 4},   // A: 0 has length 1, 1..31 none
        {1, 1}, {0, 1}, {15, 4}, {0, 1}, {14, 4},   // A: 32 has length 1, 33..63 none
        {0, 1}, {15, 4}, {0, 1}, {14, 4},           // B: 0..30 none
        {1, 1}, {0, 1}, {15, 4}, {0, 1}, {15, 4}},  // B: 31 has length 1, 32..63 none
       DatacompSymbols, DatacompBadCodeLengths},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StartBitWriter(&w);
    for (auto [value, width] : c.bits) PutBits(&w, value, width);
    if (c.status == DatacompBadCodeLengths && c.symbols == DatacompSymbols)
      for (int i = 0; i < 40; i++) PutBits(&w, 1, 1);  // code A symbol 32, no bits for code B
    PadToByte(&w);
    for (int i = 0; i < 8; i++) PutBits(&w, 0, 8);
    StartBitReader(&r, w.bytes, w.size);
    std::vector<uint8_t> out(size_t(c.symbols));
    EXPECT_EQ(ReadCodeLengths(&r, out.data(), c.symbols), c.status);
    FreeBitWriter(&w);
  }
}

}  // namespace
