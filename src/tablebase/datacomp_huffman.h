// Code lengths for the writer of compressed tablebase files: Huffman lengths limited to a
// longest code, and the canonical codes those lengths give.
#pragma once
#include <cstdint>

// Lengths of an optimal prefix code for the frequencies, none longer than `maxLength`
// (frequencies are flattened until the code fits). Unused symbols get 0; a single used
// symbol gets 1; the code of two or more symbols is complete.
void HuffmanLengths(const uint64_t* frequencies, int symbols, int maxLength, uint8_t* lengths);

// The canonical codes of the lengths: in increasing order of (length, symbol).
void CanonicalCodes(const uint8_t* lengths, int symbols, uint32_t* codes);
