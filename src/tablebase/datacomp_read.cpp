#include "tablebase/datacomp_read.h"

#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "tablebase/datacomp_block.h"
#include "tablebase/crc32.h"
#include "tablebase/datacomp_errors.h"
#include "tablebase/datacomp_file.h"
#include "tablebase/tb_lock.h"

namespace {

uint32_t BigEndian32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }

constexpr uint32_t MaxBlockExponent = 16;
constexpr uint32_t MinHeaderBytes = 84;
// Far above any real header (2^18 blocks of a 2 GB part need under 3 MB), and readable in one go.
constexpr uint32_t MaxHeaderBytes = uint32_t(1) << 28;

// Block offsets from the compressed sizes into anchors and differences. Fails when an offset
// passes the file's end or a difference does not fit 16 bits.
int StoreOffsets(DatacompFile* d, const uint32_t* offsets) {
  uint32_t n = d->blockCount;
  for (uint32_t group = 0; group <= n / 16 + 1; group++) d->anchors[group] = offsets[group * 16 < n ? group * 16 : n];
  for (uint32_t b = 0; b <= n; b++) {
    uint32_t group = b >> 4;
    uint32_t difference = (b & 8) ? d->anchors[group + 1] - offsets[b] : offsets[b] - d->anchors[group];
    if (difference > UINT16_MAX) return DatacompOffsetRange;
    d->differences[b] = uint16_t(difference);
  }
  return 0;
}

// After the per-block words: the compressed sizes, the last block's size and the distances,
// `width` bits each (a size of 0 is the full block size); then the block code's lengths.
int ReadPackedHeader(DatacompFile* d, const uint8_t* header, uint32_t width, uint64_t fileBytes) {
  uint32_t n = d->blockCount;
  size_t packedStart = DatacompFixedHeaderBytes + size_t(n) * 8, checkStart = d->headerBytes - 4;
  if (packedStart > checkStart) return DatacompBadBlockCount;
  BitReader r;
  StartBitReader(&r, header + packedStart, checkStart - packedStart);
  uint32_t* offsets = static_cast<uint32_t*>(malloc((size_t(n) + 1) * sizeof(uint32_t)));
  if (!offsets) return DatacompOutOfMemory;
  uint64_t offset = d->headerBytes;
  int status = 0;
  for (uint32_t b = 0; b < n && !status; b++) {
    offsets[b] = uint32_t(offset);
    uint32_t size = TakeBits(&r, int(width));
    if (size == 0) size = d->blockBytes;
    if (size > d->largestBlock) d->largestBlock = size;
    offset += size;
    if (offset > fileBytes) status = DatacompBadBlockSizes;
    else if (offset > UINT32_MAX) status = DatacompOffsetRange;
  }
  offsets[n] = uint32_t(offset);
  if (!status) status = StoreOffsets(d, offsets);
  free(offsets);
  if (status) return status;
  uint32_t last = TakeBits(&r, int(width));
  d->lastBlockBytes = last ? last : d->blockBytes;
  for (uint32_t& distance : d->distances) distance = TakeBits(&r, int(width));
  if (Overran(&r)) return DatacompHeaderOverrun;
  size_t codeStart = packedStart + size_t(BytesTaken(&r));
  BitReader code;
  StartBitReader(&code, header + codeStart, checkStart - codeStart);
  uint8_t lengths[DatacompSymbols];
  status = ReadCodeLengths(&code, lengths, DatacompSymbols);
  if (status) return status;
  if (Overran(&code)) return DatacompHeaderOverrun;
  return BuildPrefixTable(lengths, DatacompSymbols, DatacompRootBits, d->table, DatacompTableEntries);
}

}  // namespace

uint32_t DatacompDescriptorBytes(const DatacompFile* d) {
  uint32_t n = d ? d->blockCount : 0;
  return 20634 + 2 * n + 4 * (n / 16);
}

int ReadDatacompHeader(int64_t file, DatacompFile** out) {
  if (!out) return DatacompBadArguments;
  *out = nullptr;
  if (file == NoFileHandle) return DatacompBadArguments;
  int64_t fileBytes = ReadOnlyFileSize(file);
  uint8_t fixed[DatacompFixedHeaderBytes];
  if (fileBytes < 0 || ReadFileAt(file, 0, fixed, DatacompFixedHeaderBytes) != DatacompFixedHeaderBytes)
    return DatacompShortRead;
  if (memcmp(fixed, DatacompBanner, DatacompBannerBytes) != 0) return DatacompBannerMismatch;
  uint32_t headerBytes = BigEndian32(fixed + 64), exponent = fixed[70];
  if (headerBytes < MinHeaderBytes || headerBytes > MaxHeaderBytes || exponent > MaxBlockExponent)
    return DatacompBadSizeField;
  if (fixed[71] != DatacompDistances) return DatacompBadDistanceCount;
  if (BigEndian32(fixed + 76) != DatacompConstant) return DatacompBadConstant;
  uint32_t n = BigEndian32(fixed + 72);
  if (headerBytes > uint64_t(fileBytes)) return DatacompHeaderPastEnd;
  // Every block takes at least one byte of the file and eight of the header.
  if (n == 0 || n > uint64_t(fileBytes) - headerBytes || n > (headerBytes - MinHeaderBytes) / 8)
    return DatacompBadBlockCount;

  uint8_t* header = static_cast<uint8_t*>(malloc(headerBytes));
  size_t anchorCount = n / 16 + 2, differenceCount = size_t(n) + 1;
  DatacompFile* d = static_cast<DatacompFile*>(
      malloc(sizeof(DatacompFile) + anchorCount * sizeof(uint32_t) + differenceCount * sizeof(uint16_t)));
  int status = 0;
  if (!header || !d) {
    status = DatacompOutOfMemory;
  } else if (ReadFileAt(file, 0, header, int(headerBytes)) != int(headerBytes)) {
    status = DatacompShortRead;
  } else if (Crc32(header, headerBytes - 4) != BigEndian32(header + headerBytes - 4)) {
    status = DatacompBadChecksum;
  } else {
    memset(d, 0, sizeof(DatacompFile));
    d->anchors = reinterpret_cast<uint32_t*>(d + 1);
    d->differences = reinterpret_cast<uint16_t*>(d->anchors + anchorCount);
    d->blockCount = n;
    d->blockBytes = 1u << exponent;
    d->headerBytes = headerBytes;
    status = ReadPackedHeader(d, header, exponent, uint64_t(fileBytes));
  }
  free(header);
  if (status) {
    free(d);
    return status;
  }
  *out = d;
  return 0;
}

void FreeDatacompFile(DatacompFile* descriptor) { free(descriptor); }

uint32_t DatacompBlockCount(const DatacompFile* descriptor) { return descriptor ? descriptor->blockCount : 0; }

uint32_t DatacompLastBlockBytes(const DatacompFile* descriptor) { return descriptor ? descriptor->lastBlockBytes : 0; }

uint32_t DatacompBlockSize(const DatacompFile* descriptor) { return descriptor ? descriptor->blockBytes : 0; }

// A work buffer: a little state, then room for one compressed block.
struct DatacompWork {
  int32_t currentBlock;  // the block last decoded through it, -1 while none
  uint32_t marker;
  int32_t inUse;         // taken by a reader; read and written under the lock
  uint8_t reserved[52];
  uint8_t bytes[DatacompBlockBytes];
};
static_assert(sizeof(DatacompWork) == DatacompWorkBytes);

namespace {

constexpr int WorkBufferCount = 4;
constexpr uint32_t WorkMarker = 0x79A3F29D;
DatacompWork* WorkBuffers;  // WorkBufferCount of them, or null
TbLock WorkLock;

}  // namespace

int AllocateDatacompWork() {
  LockTb(&WorkLock);
  if (!WorkBuffers) {
    WorkBuffers = static_cast<DatacompWork*>(calloc(WorkBufferCount, sizeof(DatacompWork)));
    for (int i = 0; WorkBuffers && i < WorkBufferCount; i++) WorkBuffers[i].currentBlock = -1, WorkBuffers[i].marker = WorkMarker;
  }
  int ok = WorkBuffers != nullptr;
  UnlockTb(&WorkLock);
  return ok;
}

void FreeDatacompWork() {
  LockTb(&WorkLock);
  free(WorkBuffers);
  WorkBuffers = nullptr;
  UnlockTb(&WorkLock);
}

DatacompWork* TakeDatacompWork() {
  DatacompWork* taken = nullptr;
  LockTb(&WorkLock);
  for (int i = 0; WorkBuffers && i < WorkBufferCount && !taken; i++)
    if (!WorkBuffers[i].inUse) {
      taken = &WorkBuffers[i];
      taken->inUse = 1;
    }
  UnlockTb(&WorkLock);
  return taken;
}

void ReturnDatacompWork(DatacompWork* work) {
  if (!work) return;
  LockTb(&WorkLock);
  work->inUse = 0;
  UnlockTb(&WorkLock);
}

DatacompWork* NewDatacompWork() {
  DatacompWork* work = static_cast<DatacompWork*>(calloc(1, sizeof(DatacompWork)));
  if (work) work->currentBlock = -1, work->marker = WorkMarker, work->inUse = 1;
  return work;
}

void DeleteDatacompWork(DatacompWork* work) { free(work); }

int ReadDatacompBlock(const DatacompFile* descriptor, int64_t file, uint32_t block, DatacompWork* work, uint8_t* out) {
  if (!descriptor || !work || !out || file == NoFileHandle || block >= descriptor->blockCount ||
      descriptor->blockBytes > uint32_t(DatacompBlockBytes))
    return DatacompBadBlockArguments;
  work->currentBlock = -1;
  work->marker = WorkMarker;
  uint32_t offset = DatacompOffset(descriptor, block), length = DatacompOffset(descriptor, block + 1) - offset;
  uint32_t expected = block + 1 == descriptor->blockCount ? descriptor->lastBlockBytes : descriptor->blockBytes;
  if (length == 0 || length > sizeof work->bytes) return DatacompBadBlockArguments;
  if (ReadFileAt(file, offset, work->bytes, int(length)) != int(length)) return DatacompReadFailed;
  if (length == expected) {
    memcpy(out, work->bytes, length);
  } else {
    int status = DecodeDatacompBlock(descriptor, work->bytes, length, out, expected);
    if (status) return status;
  }
  work->currentBlock = int32_t(block);
  return 0;
}
