#include "tablebase/datacomp_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"
#include "tablebase/crc32.h"
#include "tablebase/datacomp_bits.h"
#include "tablebase/datacomp_read.h"
#include "tablebase/datacomp_write.h"

Bytes Compressed(const Bytes& data) {
  uint8_t* out = nullptr;
  uint64_t size = 0;
  EXPECT_EQ(CompressDatacomp(data.data(), data.size(), &out, &size, nullptr), 0);
  Bytes file(out, out + size);
  free(out);
  return file;
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
  FILE* f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr) << path;
  ASSERT_EQ(fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
  ASSERT_EQ(fclose(f), 0);
}

Bytes ReadBytes(const std::string& path) {
  Bytes bytes;
  FILE* f = fopen(path.c_str(), "rb");
  EXPECT_NE(f, nullptr) << path;
  if (!f) return bytes;
  uint8_t buffer[65536];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.insert(bytes.end(), buffer, buffer + n);
  fclose(f);
  return bytes;
}

void PutField(Bytes* file, size_t offset, uint32_t value) {
  for (int i = 0; i < 4; i++) (*file)[offset + size_t(i)] = uint8_t(value >> (24 - 8 * i));
}

uint32_t HeaderBytesOf(const Bytes& file) {
  return uint32_t(file[64]) << 24 | uint32_t(file[65]) << 16 | uint32_t(file[66]) << 8 | file[67];
}

void FixChecksum(Bytes* file) {
  uint32_t header = HeaderBytesOf(*file);
  PutField(file, header - 4, Crc32(file->data(), header - 4));
}

Bytes AssembleFile(const FileParts& parts) {
  BitWriter w;
  StartBitWriter(&w);
  for (int i = 0; i < DatacompBannerBytes; i++) PutBits(&w, uint8_t(DatacompBanner[i]), 8);
  PutBits(&w, 0, 32);  // header size, filled in below
  PutBits(&w, 0, 16);
  PutBits(&w, parts.blockExponent, 8);
  PutBits(&w, parts.distanceCount, 8);
  uint32_t blocks = parts.blockCount >= 0 ? uint32_t(parts.blockCount) : uint32_t(parts.compressedSizes.size());
  PutBits(&w, blocks, 32);
  PutBits(&w, parts.constant, 32);
  for (size_t i = 0; i < parts.compressedSizes.size() * 8; i++) PutBits(&w, 0, 8);
  int width = int(parts.blockExponent);
  for (uint32_t size : parts.compressedSizes) PutBits(&w, size, width);
  PutBits(&w, parts.lastBlockBytes, width);
  for (uint32_t distance : parts.distances) PutBits(&w, distance, width);
  PadToByte(&w);
  WriteBlockCodeLengths(&w, parts.codeLengths.data());
  PadToByte(&w);
  PutBits(&w, 0, 32);
  Bytes file(w.bytes, w.bytes + w.size);
  FreeBitWriter(&w);
  PutField(&file, 64, uint32_t(file.size()));
  FixChecksum(&file);
  file.insert(file.end(), parts.body.begin(), parts.body.end());
  return file;
}

int HeaderStatus(const std::string& path) {
  int64_t file = OpenReadOnlyFile(path.c_str());
  EXPECT_NE(file, NoFileHandle) << path;
  DatacompFile* descriptor = reinterpret_cast<DatacompFile*>(1);
  int status = ReadDatacompHeader(file, &descriptor);
  if (status) {
    EXPECT_EQ(descriptor, nullptr);
  }
  FreeDatacompFile(descriptor);
  CloseReadOnlyFile(file);
  return status;
}

Bytes ReadAllBlocks(const std::string& path, int* status) {
  Bytes data;
  int64_t file = OpenReadOnlyFile(path.c_str());
  DatacompFile* descriptor = nullptr;
  *status = ReadDatacompHeader(file, &descriptor);
  DatacompWork* work = NewDatacompWork();
  uint8_t block[DatacompBlockBytes];
  uint32_t blocks = DatacompBlockCount(descriptor);
  for (uint32_t b = 0; *status == 0 && b < blocks; b++) {
    *status = ReadDatacompBlock(descriptor, file, b, work, block);
    uint32_t size = b + 1 == blocks ? DatacompLastBlockBytes(descriptor) : DatacompBlockSize(descriptor);
    if (*status == 0) data.insert(data.end(), block, block + size);
  }
  DeleteDatacompWork(work);
  FreeDatacompFile(descriptor);
  if (file != NoFileHandle) CloseReadOnlyFile(file);
  return data;
}
