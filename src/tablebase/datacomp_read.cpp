#include "tablebase/datacomp_read.h"

// Placeholder until the block decoder exists: every compressed file is refused.
constexpr int DatacompNotSupported = 169735;

int ReadDatacompHeader(int64_t, DatacompFile** out) {
  *out = nullptr;
  return DatacompNotSupported;
}
void FreeDatacompFile(DatacompFile*) {}
uint32_t DatacompBlockCount(const DatacompFile*) { return 0; }
uint32_t DatacompLastBlockBytes(const DatacompFile*) { return 0; }
int AllocateDatacompWork() { return 0; }
void FreeDatacompWork() {}
DatacompWork* TakeDatacompWork() { return nullptr; }
void ReturnDatacompWork(DatacompWork*) {}
int ReadDatacompBlock(const DatacompFile*, int64_t, uint32_t, DatacompWork*, uint8_t*) { return DatacompNotSupported; }
