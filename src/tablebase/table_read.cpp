#include "tablebase/table_read.h"

#include "tablebase/block_cache.h"
#include "tablebase/registry.h"

static int32_t WidenByte(int8_t b) {
  if (b == 0) return 0;
  if (b == 127) return NoTableValue;
  if (b == -127) return -32640;
  if (b == -128) return 32640;
  return b > 0 ? b + 32640 : b - 32640;
}

static int32_t DecodeEntry(const uint8_t* entry, int entrySize) {
  if (entrySize == 1) return WidenByte(int8_t(entry[0]));
  return int16_t(uint16_t(entry[0] | entry[1] << 8));
}

// Seven positions of kppkp with Black to move are lost in 128 moves, a distance the one-byte
// table cannot hold: their value is given here instead of read.
constexpr int KppkpRecord = 36;
constexpr uint64_t KppkpLongLosses[] = {56802428, 56811076, 56849992, 56858640, 59592489, 67775659, 71071628};
constexpr int32_t KppkpLongLossRaw = -32639;

int ReadTableValue(int record, int tableSide, uint64_t index, int32_t* raw) {
  if (record < 1 || record >= EndgameRecordCount || tableSide < 0 || tableSide > 1) return 0;
  if (index >= IndexCountOf(record, tableSide) || !FileSideIsRegistered(record, tableSide)) return 0;
  if (record == KppkpRecord && tableSide == 1)
    for (uint64_t loss : KppkpLongLosses)
      if (index == loss) {
        *raw = KppkpLongLossRaw;
        return 1;
      }
  TbFileSide* fileSide = &TbRecords[record].side[tableSide];
  int size = EntrySizeOf(record), found = 0;
  uint8_t entry[2];
  LockTb(&fileSide->lock);
  if (fileSide->memoryTable) {
    entry[0] = fileSide->memoryTable[index * uint64_t(size)];
    if (size == 2) entry[1] = fileSide->memoryTable[index * 2 + 1];
    found = 1;
  }
  UnlockTb(&fileSide->lock);
  // Otherwise through the block cache: 8192 one-byte or 4096 two-byte entries a block.
  if (!found && size == 1)
    found = ReadCachedBytes(record, tableSide, uint32_t(index >> 13), uint32_t(index & 8191), entry, 1);
  else if (!found)
    found = ReadCachedBytes(record, tableSide, uint32_t(index >> 12), uint32_t(index & 4095) * 2, entry, 2);
  if (found) *raw = DecodeEntry(entry, size);
  return found;
}
