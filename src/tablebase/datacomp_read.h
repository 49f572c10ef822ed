// Reading compressed (DATACOMP, ".emd") tablebase files: the header with its block index
// and block code, and the decoding of one 8 KB block into a cache block.
#pragma once
#include <cstdint>

struct DatacompFile;  // the descriptor of one registered compressed file part
struct DatacompWork;  // one of the four decompression work buffers

constexpr int DatacompBlockBytes = 8192;
constexpr int DatacompWorkBytes = 8256;  // one work buffer
constexpr int DatacompWorkBuffers = 4;

// Reads and checks the header of an open compressed file. Returns 0 and stores a new
// descriptor in *out, or returns the error code of the failed check (datacomp_errors.h)
// with *out null.
int ReadDatacompHeader(int64_t file, DatacompFile** out);
void FreeDatacompFile(DatacompFile* descriptor);
uint32_t DatacompBlockCount(const DatacompFile* descriptor);
// Bytes of the last block (the block size when it is full).
uint32_t DatacompLastBlockBytes(const DatacompFile* descriptor);
// Uncompressed bytes of a full block.
uint32_t DatacompBlockSize(const DatacompFile* descriptor);
// The memory a descriptor is counted for: 20634 + 2n + 4(n / 16) bytes for n blocks.
uint32_t DatacompDescriptorBytes(const DatacompFile* descriptor);

// The four work buffers, shared by all readers: taken and returned under their lock.
// Allocated when the first compressed file is registered; freed with the registrations.
int AllocateDatacompWork();  // 1 when they exist
void FreeDatacompWork();
DatacompWork* TakeDatacompWork();  // null when all four are in use or none exist
void ReturnDatacompWork(DatacompWork* work);
// A work buffer of one's own, outside the shared four (for tools that read files by
// themselves); null when out of memory.
DatacompWork* NewDatacompWork();
void DeleteDatacompWork(DatacompWork* work);

// Reads block `block` of the file and decodes it into `out` (room for 8192 bytes).
// Returns 0, or an error code when the block cannot be read or does not decode to its size.
int ReadDatacompBlock(const DatacompFile* descriptor, int64_t file, uint32_t block, DatacompWork* work,
                      uint8_t* out);
