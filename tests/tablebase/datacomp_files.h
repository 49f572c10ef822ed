// Compressed files for the tests: whole files of chosen data, files put together field by
// field (to make every kind of damage), and reading every block of one back.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tablebase/datacomp_file.h"

using Bytes = std::vector<uint8_t>;

Bytes Compressed(const Bytes& data);  // fails the test when the writer refuses
void WriteBytes(const std::string& path, const Bytes& bytes);
Bytes ReadBytes(const std::string& path);

// A file put together from its fields. The header size and the CRC are filled in unless
// the fields below override them.
struct FileParts {
  uint32_t blockExponent = 13;
  uint8_t distanceCount = 24;
  uint32_t constant = DatacompConstant;
  int64_t blockCount = -1;               // -1: the number of blocks given
  std::vector<uint32_t> compressedSizes;  // packed as given (0 stands for a full block)
  uint32_t lastBlockBytes = 0;            // packed as given
  uint32_t distances[DatacompDistances] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12,
                                           13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
  std::vector<uint8_t> codeLengths = std::vector<uint8_t>(1024, 0);  // of the 1024 block symbols
  Bytes body;                              // the blocks as they are stored
};
// The fixed-size header fields, the packed sizes, the code lengths and the CRC, then the body.
Bytes AssembleFile(const FileParts& parts);
// Big-endian 32-bit field at `offset`, and the header's CRC made right again after a change.
void PutField(Bytes* file, size_t offset, uint32_t value);
void FixChecksum(Bytes* file);
uint32_t HeaderBytesOf(const Bytes& file);

// Header status of a file written to `path`; the descriptor is freed.
int HeaderStatus(const std::string& path);
// Reads every block of the file through the reader and returns the data, or the first error
// code in *status (0 when every block read).
Bytes ReadAllBlocks(const std::string& path, int* status);
