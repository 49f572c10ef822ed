// Reading one value of a registered tablebase file side: from the whole table when it is
// held in memory, otherwise through the block cache.
#pragma once
#include <cstdint>

// Raw values: two-byte tables give their signed 16-bit entry; one-byte entries b are
// widened so that both kinds decode alike (b of 1..126 -> b + 32640, -126..-1 -> b - 32640,
// 127 -> 32767, -127 -> -32640, -128 -> 32640). 32767 stands for "no value".
constexpr int32_t NoTableValue = 32767;

// Reads the raw value of an index of a record's file side into *raw; 1 on success, 0 when
// the side is not registered, the index is out of range or the file cannot be read. Seven
// entries of kppkp (Black to move) are fixed at -32639, mated in 128 moves.
int ReadTableValue(int record, int tableSide, uint64_t index, int32_t* raw);
