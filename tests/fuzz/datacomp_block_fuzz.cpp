// Compressed blocks of any bytes decoded with the code and distances of a real file: the
// first two input bytes give the size the block should decode to, the rest is the block.
// With KESTRANE_WRITE_SEEDS=DIR set, the program writes the file's own blocks there as seeds.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "tablebase/datacomp_block.h"
#include "tablebase/datacomp_read.h"
#include "tablebase/datacomp_write.h"

namespace {

// A table-like sample: long runs, a period of 64 and a few scattered values.
const DatacompFile* SampleDescriptor() {
  static DatacompFile* descriptor = nullptr;
  if (descriptor) return descriptor;
  constexpr size_t Bytes = 6 * 8192 + 777;
  uint8_t* data = static_cast<uint8_t*>(malloc(Bytes));
  uint32_t seed = 7;
  for (size_t i = 0; i < Bytes; i++) {
    seed = seed * 1103515245u + 12345u;
    data[i] = (seed >> 16) % 97 == 0 ? uint8_t(seed >> 8) : uint8_t((i % 64) < 30 ? 0 : (i / 64) % 9);
  }
  uint8_t* file;
  uint64_t fileBytes;
  if (CompressDatacomp(data, Bytes, &file, &fileBytes, nullptr) != 0) abort();
  std::string path = "/tmp/kestrane_datacomp_block_fuzz_" + std::to_string(getpid()) + ".emd";
  FILE* f = fopen(path.c_str(), "wb");
  if (!f || fwrite(file, 1, fileBytes, f) != fileBytes || fclose(f) != 0) abort();
  int64_t handle = OpenReadOnlyFile(path.c_str());
  if (ReadDatacompHeader(handle, &descriptor) != 0) abort();
  if (const char* seeds = getenv("KESTRANE_WRITE_SEEDS")) {
    for (uint32_t b = 0; b < DatacompBlockCount(descriptor); b++) {
      uint32_t from = DatacompOffset(descriptor, b), to = DatacompOffset(descriptor, b + 1);
      uint32_t expected = b + 1 == DatacompBlockCount(descriptor) ? DatacompLastBlockBytes(descriptor) : 8192;
      std::string name = std::string(seeds) + "/seed" + std::to_string(b + 1);
      FILE* s = fopen(name.c_str(), "wb");
      if (!s) abort();
      uint8_t size[2] = {uint8_t(expected >> 8), uint8_t(expected)};
      fwrite(size, 1, 2, s);
      fwrite(file + from, 1, to - from, s);
      fclose(s);
    }
  }
  CloseReadOnlyFile(handle);
  remove(path.c_str());
  free(file);
  free(data);
  return descriptor;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const DatacompFile* descriptor = SampleDescriptor();
  if (size < 2) return 0;
  uint32_t expected = (uint32_t(data[0]) << 8 | data[1]) % (DatacompBlockBytes + 1);
  // Exact-size copies, so that a read or write past either end is caught.
  uint8_t* in = static_cast<uint8_t*>(malloc(size - 2 + 1));
  memcpy(in, data + 2, size - 2);
  uint8_t* out = static_cast<uint8_t*>(malloc(expected + 1));
  DecodeDatacompBlock(descriptor, in, uint32_t(size - 2), out, expected);
  free(in);
  free(out);
  return 0;
}
