// A compressed tablebase file of any bytes: its header read and, when accepted, every block
// decoded. The header's CRC is set right before the file is written (when the header size
// field points inside the input), so that inputs reach the checks behind it.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tablebase/crc32.h"
#include "tablebase/datacomp_read.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::string path = "/tmp/kestrane_datacomp_fuzz_" + std::to_string(getpid()) + ".emd";
  std::vector<uint8_t> file(data, data + size);
  if (size >= 84) {
    uint32_t header = uint32_t(file[64]) << 24 | uint32_t(file[65]) << 16 | uint32_t(file[66]) << 8 | file[67];
    if (header >= 84 && header <= size) {
      uint32_t crc = Crc32(file.data(), header - 4);
      for (int i = 0; i < 4; i++) file[header - 4 + uint32_t(i)] = uint8_t(crc >> (24 - 8 * i));
    }
  }
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) abort();
  if (size) fwrite(file.data(), 1, size, f);
  fclose(f);

  int64_t handle = OpenReadOnlyFile(path.c_str());
  if (handle == NoFileHandle) abort();
  DatacompFile* descriptor = nullptr;
  int status = ReadDatacompHeader(handle, &descriptor);
  if ((status == 0) != (descriptor != nullptr)) abort();
  if (descriptor) {
    DatacompWork* work = NewDatacompWork();
    // The output buffer has exactly a block's room, so that a write past it is caught.
    uint8_t* out = static_cast<uint8_t*>(malloc(DatacompBlockBytes));
    uint32_t blocks = DatacompBlockCount(descriptor);
    for (uint32_t b = 0; b < blocks && b < 64; b++) ReadDatacompBlock(descriptor, handle, b, work, out);
    free(out);
    DeleteDatacompWork(work);
    FreeDatacompFile(descriptor);
  }
  CloseReadOnlyFile(handle);
  return 0;
}
