#include "tablebase/crc32.h"

namespace {

struct CrcTable {
  uint32_t entry[256];
  constexpr CrcTable() : entry() {
    for (uint32_t i = 0; i < 256; i++) {
      uint32_t c = i;
      for (int bit = 0; bit < 8; bit++) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
      entry[i] = c;
    }
  }
};

constexpr CrcTable Table;

}  // namespace

uint32_t Crc32(const uint8_t* bytes, size_t size, uint32_t crc) {
  for (size_t i = 0; i < size; i++) crc = Table.entry[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
  return crc;
}
