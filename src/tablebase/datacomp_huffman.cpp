#include "tablebase/datacomp_huffman.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int MaxSymbols = 1024;

// Plain Huffman lengths (no limit) of the used symbols; returns the longest.
int UnlimitedLengths(const uint64_t* frequencies, int symbols, uint8_t* lengths) {
  struct Node {
    uint64_t weight;
    int parent;
  };
  static thread_local Node nodes[2 * MaxSymbols];
  int leaves[MaxSymbols], count = 0;
  for (int s = 0; s < symbols; s++)
    if (frequencies[s]) leaves[count++] = s;
  // Leaves by weight (ties by symbol, for a result that does not depend on the sort).
  std::sort(leaves, leaves + count, [&](int a, int b) {
    return frequencies[a] != frequencies[b] ? frequencies[a] < frequencies[b] : a < b;
  });
  for (int i = 0; i < count; i++) nodes[i] = {frequencies[leaves[i]], -1};
  // Two queues: the sorted leaves and the inner nodes, made in increasing weight.
  int leaf = 0, inner = count, made = count;
  auto takeLightest = [&]() {
    if (leaf < count && (inner >= made || nodes[leaf].weight <= nodes[inner].weight)) return leaf++;
    return inner++;
  };
  for (int i = 0; i < count - 1; i++) {
    int a = takeLightest(), b = takeLightest();
    nodes[made] = {nodes[a].weight + nodes[b].weight, -1};
    nodes[a].parent = nodes[b].parent = made++;
  }
  int longest = 0;
  for (int i = 0; i < count; i++) {
    int depth = 0;
    for (int n = i; nodes[n].parent >= 0; n = nodes[n].parent) depth++;
    lengths[leaves[i]] = uint8_t(depth > 255 ? 255 : depth);
    longest = std::max(longest, depth);
  }
  return longest;
}

}  // namespace

void HuffmanLengths(const uint64_t* frequencies, int symbols, int maxLength, uint8_t* lengths) {
  memset(lengths, 0, size_t(symbols));
  uint64_t weights[MaxSymbols];
  int used = 0, only = 0;
  for (int s = 0; s < symbols; s++) {
    weights[s] = frequencies[s];
    if (weights[s]) used++, only = s;
  }
  if (used == 0) return;
  if (used == 1) {
    lengths[only] = 1;
    return;
  }
  // Halving the weights (keeping every used one at least 1) evens the tree until it fits.
  while (UnlimitedLengths(weights, symbols, lengths) > maxLength)
    for (int s = 0; s < symbols; s++)
      if (weights[s]) weights[s] = weights[s] / 2 + 1;
}

void CanonicalCodes(const uint8_t* lengths, int symbols, uint32_t* codes) {
  int count[33] = {};
  for (int s = 0; s < symbols; s++)
    if (lengths[s] && lengths[s] <= 32) count[lengths[s]]++;
  uint32_t next[34] = {}, code = 0;
  for (int length = 1; length <= 32; length++) {
    code = (code + uint32_t(count[length - 1])) << 1;
    next[length] = code;
  }
  for (int s = 0; s < symbols; s++) codes[s] = lengths[s] ? next[lengths[s]]++ : 0;
}
