#include "tablebase/datacomp_write.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "tablebase/crc32.h"
#include "tablebase/datacomp_read.h"
#include "tablebase/datacomp_bits.h"
#include "tablebase/datacomp_errors.h"
#include "tablebase/datacomp_huffman.h"
#include "tablebase/datacomp_parse.h"

namespace {

constexpr uint32_t BlockExponent = 13;
constexpr uint32_t BlockBytes = 1u << BlockExponent;
constexpr uint64_t LargestInput = uint64_t(1) << 31;
constexpr uint32_t EstimateBlocks = 2048;     // blocks parsed for the first estimate of the code
constexpr uint32_t UnseenSymbolPrice = 30 * 16;

// A prefix code ready for writing: canonical codes and the bits each costs (none when the
// code has a single symbol).
struct WriteCode {
  uint8_t lengths[DatacompSymbols];
  uint32_t codes[DatacompSymbols];
  bool single;
};

void MakeCode(const uint64_t* frequencies, int symbols, WriteCode* code) {
  HuffmanLengths(frequencies, symbols, DatacompMaxCodeLength, code->lengths);
  CanonicalCodes(code->lengths, symbols, code->codes);
  int used = 0;
  for (int s = 0; s < symbols; s++) used += code->lengths[s] != 0;
  code->single = used == 1;
}

void PutSymbol(BitWriter* w, const WriteCode* code, int symbol) {
  if (!code->single) PutBits(w, code->codes[symbol], code->lengths[symbol]);
}

// Lengths of an alphabet of up to 128 symbols: a width, then each length, a zero length
// followed by the count (up to 15) of further zeros.
void PutShortLengths(BitWriter* w, const uint8_t* lengths, int symbols) {
  int longest = 0;
  for (int s = 0; s < symbols; s++) longest = longest > lengths[s] ? longest : lengths[s];
  if (longest == 0) {
    PutBits(w, 1, 1);
    return;
  }
  PutBits(w, 0, 1);
  int width = 32 - __builtin_clz(uint32_t(longest));
  PutBits(w, uint32_t(width), 5);
  for (int s = 0; s < symbols;) {
    PutBits(w, lengths[s], width);
    if (lengths[s++]) continue;
    int zeros = 0;
    while (zeros < 15 && s + zeros < symbols && lengths[s + zeros] == 0) zeros++;
    PutBits(w, uint32_t(zeros), 4);
    s += zeros;
  }
}

}  // namespace

// Runs of equal lengths become a repeat (code A symbol 32 + the length, then the count through
// code B); single lengths are code A symbols of their own.
void WriteBlockCodeLengths(BitWriter* w, const uint8_t* lengths) {
  struct Step {
    uint8_t a, b;        // code A symbol; code B symbol of a repeat
    uint8_t extraBits;
    uint32_t extra;
  };
  Step steps[DatacompSymbols];
  int count = 0;
  uint64_t frequencyA[LengthCodeSymbols] = {}, frequencyB[LengthCodeSymbols] = {};
  bool allZero = true;
  for (int s = 0; s < DatacompSymbols; s++) allZero = allZero && lengths[s] == 0;
  if (allZero) {
    PutBits(w, 1, 1);
    return;
  }
  PutBits(w, 0, 1);
  for (int s = 0; s < DatacompSymbols;) {
    int run = 1;
    while (s + run < DatacompSymbols && lengths[s + run] == lengths[s]) run++;
    Step step{lengths[s], 0, 0, 0};
    if (run >= 2) {
      step.a = uint8_t(32 + lengths[s]);
      if (run <= 33) {
        step.b = uint8_t(run - 2);
      } else {
        int k = 31 - __builtin_clz(uint32_t(run - 33));
        step.b = uint8_t(32 + k);
        step.extraBits = uint8_t(k);
        step.extra = uint32_t(run - 33) - (1u << k);
      }
      frequencyB[step.b]++;
    } else {
      run = 1;
    }
    frequencyA[step.a]++;
    steps[count++] = step;
    s += run;
  }
  WriteCode codeA, codeB;
  MakeCode(frequencyA, LengthCodeSymbols, &codeA);
  MakeCode(frequencyB, LengthCodeSymbols, &codeB);
  uint8_t both[2 * LengthCodeSymbols];
  memcpy(both, codeA.lengths, LengthCodeSymbols);
  memcpy(both + LengthCodeSymbols, codeB.lengths, LengthCodeSymbols);
  PutShortLengths(w, both, 2 * LengthCodeSymbols);
  for (int i = 0; i < count; i++) {
    PutSymbol(w, &codeA, steps[i].a);
    if (steps[i].a >= 32) {
      PutSymbol(w, &codeB, steps[i].b);
      PutBits(w, steps[i].extra, steps[i].extraBits);
    }
  }
}

namespace {

void PutBigEndian(uint8_t* p, uint32_t value) {
  p[0] = uint8_t(value >> 24), p[1] = uint8_t(value >> 16), p[2] = uint8_t(value >> 8), p[3] = uint8_t(value);
}

uint32_t BlockSize(uint64_t bytes, uint32_t block) {
  uint64_t start = uint64_t(block) * BlockBytes;
  return bytes - start < BlockBytes ? uint32_t(bytes - start) : BlockBytes;
}

// Parses the chosen blocks and counts the symbols used.
void CountSymbols(const uint8_t* data, uint64_t bytes, uint32_t blocks, uint32_t step, const uint32_t* distances,
                  const uint32_t* prices, ParseToken* tokens, uint64_t* frequencies) {
  memset(frequencies, 0, sizeof(uint64_t) * DatacompSymbols);
  for (uint32_t b = 0; b < blocks; b += step) {
    int count = ParseBlock(data + uint64_t(b) * BlockBytes, BlockSize(bytes, b), distances, prices, tokens);
    for (int i = 0; i < count; i++) frequencies[tokens[i].symbol]++;
  }
}

void PricesOfLengths(const uint8_t* lengths, uint32_t* prices) {
  for (int s = 0; s < DatacompSymbols; s++) prices[s] = lengths[s] ? lengths[s] * 16u : UnseenSymbolPrice;
}

// A first guess: literals priced by how often their byte occurs, every match alike.
void FirstPrices(const uint8_t* data, uint64_t bytes, uint32_t* prices) {
  uint64_t seen[256] = {};
  uint64_t stride = bytes > (uint64_t(1) << 24) ? bytes >> 24 : 1;
  uint64_t total = 0;
  for (uint64_t i = 0; i < bytes; i += stride) seen[data[i]]++, total++;
  for (int b = 0; b < 256; b++) {
    double bits = seen[b] ? -std::log2(double(seen[b]) / double(total)) : 20.0;
    prices[b] = uint32_t((bits < 1 ? 1 : bits) * 16);
  }
  for (int s = 256; s < DatacompSymbols; s++) prices[s] = 7 * 16;
}

}  // namespace

int CompressDatacomp(const uint8_t* data, uint64_t bytes, uint8_t** out, uint64_t* outBytes,
                     DatacompWriteStats* stats) {
  *out = nullptr;
  *outBytes = 0;
  if (!data || bytes == 0 || bytes > LargestInput) return DatacompBadArguments;
  uint32_t blocks = uint32_t((bytes + BlockBytes - 1) / BlockBytes);
  DatacompWriteStats local{};
  if (!stats) stats = &local;
  *stats = DatacompWriteStats{};
  stats->inputBytes = bytes;
  stats->blocks = blocks;

  uint32_t* distances = stats->distances;
  ChooseDistances(data, bytes, BlockBytes, distances);
  ParseToken* tokens = static_cast<ParseToken*>(malloc(sizeof(ParseToken) * BlockBytes));
  uint64_t* frequencies = static_cast<uint64_t*>(malloc(sizeof(uint64_t) * DatacompSymbols));
  uint32_t* sizes = static_cast<uint32_t*>(malloc(sizeof(uint32_t) * blocks));
  WriteCode* code = static_cast<WriteCode*>(malloc(sizeof(WriteCode)));
  uint32_t prices[DatacompSymbols];
  BitWriter body, block, header;
  StartBitWriter(&body), StartBitWriter(&block), StartBitWriter(&header);
  int status = 0;
  if (!tokens || !frequencies || !sizes || !code) status = DatacompOutOfMemory;
  if (!status) {
    // The code is found in two rounds: a parse of a sample under guessed prices, then a parse
    // of every block under the prices of the sample's code. The last parse is repeated to write.
    FirstPrices(data, bytes, prices);
    uint32_t step = blocks > EstimateBlocks ? blocks / EstimateBlocks : 1;
    CountSymbols(data, bytes, blocks, step, distances, prices, tokens, frequencies);
    MakeCode(frequencies, DatacompSymbols, code);
    PricesOfLengths(code->lengths, prices);
    CountSymbols(data, bytes, blocks, 1, distances, prices, tokens, frequencies);
    MakeCode(frequencies, DatacompSymbols, code);
    for (uint32_t b = 0; b < blocks && !status; b++) {
      const uint8_t* start = data + uint64_t(b) * BlockBytes;
      uint32_t size = BlockSize(bytes, b);
      int count = ParseBlock(start, size, distances, prices, tokens);
      block.size = 0;
      for (int i = 0; i < count; i++) {
        PutSymbol(&block, code, tokens[i].symbol);
        if (tokens[i].symbol >= 256) {
          uint32_t length = uint32_t(tokens[i].length) + 1;
          PutBits(&block, MatchExtraValue(length), MatchExtraBits(MatchLengthCode(length)));
        }
      }
      PadToByte(&block);
      if (block.failed) status = DatacompOutOfMemory;
      // A block that coding does not shrink is stored as it is; a coded block takes at least
      // one byte (a code of one symbol costs no bits).
      uint8_t zero = 0;
      const uint8_t* stored = block.size ? block.bytes : &zero;
      uint32_t storedSize = block.size ? uint32_t(block.size) : 1;
      if (storedSize >= size) {  // the reader takes a block of its own size as stored
        stored = start, storedSize = size;
        stats->storedBlocks++;
      }
      for (uint32_t i = 0; i < storedSize; i++) PutBits(&body, stored[i], 8);
      sizes[b] = storedSize;
    }
  }
  if (!status) {
    // The header: fixed fields, zero per-block words, the packed sizes and distances, the code
    // lengths, and the CRC-32 of all that.
    uint8_t fixed[DatacompFixedHeaderBytes] = {};
    memcpy(fixed, DatacompBanner, DatacompBannerBytes);
    fixed[70] = uint8_t(BlockExponent);
    fixed[71] = uint8_t(DatacompDistances);
    PutBigEndian(fixed + 72, blocks);
    PutBigEndian(fixed + 76, DatacompConstant);
    for (uint8_t byte : fixed) PutBits(&header, byte, 8);
    for (uint64_t i = 0; i < uint64_t(blocks) * 8; i++) PutBits(&header, 0, 8);
    for (uint32_t b = 0; b < blocks; b++) PutBits(&header, sizes[b] & (BlockBytes - 1), int(BlockExponent));
    PutBits(&header, BlockSize(bytes, blocks - 1) & (BlockBytes - 1), int(BlockExponent));
    for (int k = 0; k < DatacompDistances; k++) PutBits(&header, distances[k], int(BlockExponent));
    PadToByte(&header);
    WriteBlockCodeLengths(&header, code->lengths);
    PadToByte(&header);
    PutBits(&header, 0, 32);  // room for the CRC
    if (header.failed || body.failed) status = DatacompOutOfMemory;
  }
  if (!status) {
    uint32_t headerBytes = uint32_t(header.size);
    PutBigEndian(header.bytes + 64, headerBytes);
    PutBigEndian(header.bytes + headerBytes - 4, Crc32(header.bytes, headerBytes - 4));
    // The block index keeps offsets as 16-bit differences within groups of 16 blocks: eight
    // whole stored blocks in a row would not fit.
    uint64_t offset = headerBytes;
    for (uint32_t g = 0; g * 16 < blocks && !status; g++) {
      uint64_t groupEnd = offset;
      for (uint32_t b = g * 16; b < blocks && b < g * 16 + 16; b++) groupEnd += sizes[b];
      uint64_t at = offset;
      for (uint32_t b = g * 16; b < blocks && b < g * 16 + 16; b++) {
        if (((b & 8) ? groupEnd - at : at - offset) > UINT16_MAX) status = DatacompOffsetRange;
        at += sizes[b];
      }
      offset = groupEnd;
    }
    if (offset > UINT32_MAX) status = DatacompOffsetRange;
  }
  if (!status) {
    uint64_t total = header.size + body.size;
    uint8_t* file = static_cast<uint8_t*>(malloc(size_t(total)));
    if (!file) {
      status = DatacompOutOfMemory;
    } else {
      memcpy(file, header.bytes, header.size);
      if (body.size) memcpy(file + header.size, body.bytes, body.size);
      *out = file;
      *outBytes = total;
      stats->outputBytes = total;
      stats->headerBytes = uint32_t(header.size);
    }
  }
  FreeBitWriter(&body), FreeBitWriter(&block), FreeBitWriter(&header);
  free(tokens), free(frequencies), free(sizes), free(code);
  return status;
}

// Reads a written file back through the reader: 1 when every block gives the data again.
static int VerifyDatacompFile(const char* path, const uint8_t* data, uint64_t bytes) {
  int64_t file = OpenReadOnlyFile(path);
  DatacompFile* descriptor = nullptr;
  uint8_t* block = static_cast<uint8_t*>(malloc(DatacompBlockBytes));
  DatacompWork* work = NewDatacompWork();
  int ok = file != NoFileHandle && block && work && ReadDatacompHeader(file, &descriptor) == 0 &&
           uint64_t(DatacompBlockCount(descriptor) - 1) * DatacompBlockBytes + DatacompLastBlockBytes(descriptor) == bytes;
  for (uint32_t b = 0; ok && b < DatacompBlockCount(descriptor); b++) {
    uint32_t size = BlockSize(bytes, b);
    ok = ReadDatacompBlock(descriptor, file, b, work, block) == 0 &&
         memcmp(block, data + uint64_t(b) * BlockBytes, size) == 0;
  }
  FreeDatacompFile(descriptor);
  if (file != NoFileHandle) CloseReadOnlyFile(file);
  free(block);
  DeleteDatacompWork(work);
  return ok;
}

int WriteDatacompFile(const char* path, const uint8_t* data, uint64_t bytes, DatacompWriteStats* stats, char* error,
                      size_t errorSize) {
  uint8_t* file;
  uint64_t fileBytes;
  int status = CompressDatacomp(data, bytes, &file, &fileBytes, stats);
  if (status) {
    snprintf(error, errorSize, "%s: cannot be compressed (error %d)", path, status);
    return 0;
  }
  FILE* f = fopen(path, "wb");
  bool ok = f && fwrite(file, 1, size_t(fileBytes), f) == fileBytes;
  if (f && fclose(f) != 0) ok = false;
  free(file);
  if (!ok) {
    snprintf(error, errorSize, "cannot write %s", path);
    remove(path);
  } else if (!VerifyDatacompFile(path, data, bytes)) {
    snprintf(error, errorSize, "%s does not read back as written; removed", path);
    remove(path);
    ok = false;
  }
  return ok;
}

int CompressTableFile(const char* plainPath, const char* compressedPath, DatacompWriteStats* stats, char* error,
                      size_t errorSize) {
  FILE* f = fopen(plainPath, "rb");
  if (!f) {
    snprintf(error, errorSize, "cannot open %s", plainPath);
    return 0;
  }
  uint8_t* data = nullptr;
  int64_t bytes = -1;
  if (fseek(f, 0, SEEK_END) == 0) bytes = ftell(f);
  bool ok = bytes > 0 && uint64_t(bytes) <= LargestInput && fseek(f, 0, SEEK_SET) == 0;
  if (ok) data = static_cast<uint8_t*>(malloc(size_t(bytes)));
  ok = ok && data && fread(data, 1, size_t(bytes), f) == size_t(bytes);
  fclose(f);
  if (!ok) {
    free(data);
    snprintf(error, errorSize, "cannot read %s (empty, unreadable or larger than 2 GB)", plainPath);
    return 0;
  }
  ok = WriteDatacompFile(compressedPath, data, uint64_t(bytes), stats, error, errorSize);
  free(data);
  return ok;
}
