// The descriptor of one compressed tablebase file part: what its header says, the block
// index and the decoding table of its block code.
#pragma once
#include <cstdint>

#include "tablebase/datacomp_code.h"

constexpr int DatacompDistances = 24;  // match distances per file

struct DatacompFile {
  uint32_t blockCount;
  uint32_t blockBytes;      // uncompressed bytes of every block but the last
  uint32_t lastBlockBytes;
  uint32_t headerBytes;
  uint32_t largestBlock;    // compressed bytes of the largest block
  uint32_t distances[DatacompDistances];
  // Block offsets: an anchor for every sixteenth block and a 16-bit difference per block,
  // counted up from the anchor below (bit 3 of the block number clear) or down from the
  // anchor above (bit 3 set). There are blockCount + 1 offsets: the last is the file's end.
  uint32_t* anchors;        // blockCount / 16 + 2
  uint16_t* differences;    // blockCount + 1
  int16_t table[DatacompTableEntries];
};

inline uint32_t DatacompOffset(const DatacompFile* d, uint32_t block) {
  uint32_t group = block >> 4;
  return (block & 8) ? d->anchors[group + 1] - d->differences[block] : d->anchors[group] + d->differences[block];
}

// The first bytes of every compressed file: a text, a carriage return, a line feed, then zeros.
constexpr int DatacompBannerBytes = 64;
inline constexpr char DatacompBanner[DatacompBannerBytes] = "Kestrane compressed endgame table\r\n";
constexpr uint32_t DatacompConstant = 0x004001F5;
constexpr int DatacompFixedHeaderBytes = 80;
