// CRC-32 with the reflected polynomial 0xEDB88320, table-driven, started from 0 and not
// inverted at the end (the check word of compressed tablebase headers).
#pragma once
#include <cstddef>
#include <cstdint>

uint32_t Crc32(const uint8_t* bytes, size_t size, uint32_t crc = 0);
