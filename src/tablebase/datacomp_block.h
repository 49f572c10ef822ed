// Decoding one compressed block: literals and matches over the file's 24 distances.
#pragma once
#include <cstdint>

#include "tablebase/datacomp_file.h"

// Decodes `inBytes` compressed bytes into exactly `expected` bytes at `out`. Returns 0, or
// an error code when the input runs out, a match reaches before the block's start or past
// its end, or the code leads nowhere; `out` is never written past `expected` bytes.
int DecodeDatacompBlock(const DatacompFile* d, const uint8_t* in, uint32_t inBytes, uint8_t* out, uint32_t expected);
