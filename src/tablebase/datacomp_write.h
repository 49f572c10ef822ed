// Writing compressed (".emd") tablebase files: 8 KB blocks of literals and matches over 24
// distances chosen per file, one canonical prefix code over the 1024 symbols, and a header
// with the block sizes, the distances, the code lengths and a CRC-32.
#pragma once
#include <cstddef>
#include <cstdint>

#include "tablebase/datacomp_bits.h"
#include "tablebase/datacomp_file.h"

struct DatacompWriteStats {
  uint64_t inputBytes;
  uint64_t outputBytes;  // the whole file, header included
  uint32_t blocks;
  uint32_t storedBlocks;  // blocks kept as they are: coding did not make them smaller
  uint32_t headerBytes;
  uint32_t distances[DatacompDistances];
};

// Compresses `bytes` bytes (1 .. 2^31) into a new buffer (*out, released with free).
// Returns 0 or an error code of datacomp_errors.h.
int CompressDatacomp(const uint8_t* data, uint64_t bytes, uint8_t** out, uint64_t* outBytes,
                     DatacompWriteStats* stats);
// Compresses and writes a file; 1 when written, 0 with a message in `error`.
int WriteDatacompFile(const char* path, const uint8_t* data, uint64_t bytes, DatacompWriteStats* stats, char* error,
                      size_t errorSize);
// Writes the code lengths of the 1024 block symbols (each 0..31) as the reader reads them.
void WriteBlockCodeLengths(BitWriter* w, const uint8_t* lengths);
// Compresses a plain table file into another file; 1 when written, 0 with a message.
int CompressTableFile(const char* plainPath, const char* compressedPath, DatacompWriteStats* stats, char* error,
                      size_t errorSize);
