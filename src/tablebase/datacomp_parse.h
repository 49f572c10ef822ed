// The writer's choice of matches: the 24 distances of a file, and the parse of one block into
// literals and matches that costs the fewest bits under a given price of every symbol.
#pragma once
#include <cstdint>

#include "tablebase/datacomp_file.h"

constexpr int DatacompLengthCodes = 32;
constexpr int DatacompLongestMatch = 8192;  // a match never leaves its block

// The length code of a match length (1..8192) and the extra bits that follow it.
int MatchLengthCode(uint32_t length);
int MatchExtraBits(int lengthCode);
uint32_t MatchExtraValue(uint32_t length);  // the extra bits' value

// The 24 distances that cover most bytes when a sample of the data's blocks is parsed with
// matches at any distance, in decreasing order of use; unused places take small distances.
void ChooseDistances(const uint8_t* data, uint64_t bytes, uint32_t blockBytes, uint32_t distances[DatacompDistances]);

// One step of a parse: a byte (symbol < 256), or a match symbol with its length.
struct ParseToken {
  uint16_t symbol;
  uint16_t length;  // match length - 1 (0 for a literal)
};

// Prices of the 1024 symbols in sixteenths of a bit; a price of UnusableSymbol keeps the
// symbol out of the parse (the literals must all be usable).
constexpr uint32_t UnusableSymbol = 1u << 24;
// Parses one block of `size` bytes (at most 8192) into at most `size` tokens; returns their count.
int ParseBlock(const uint8_t* block, uint32_t size, const uint32_t distances[DatacompDistances], const uint32_t* prices,
               ParseToken* tokens);
