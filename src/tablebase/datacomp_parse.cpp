#include "tablebase/datacomp_parse.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

int MatchLengthCode(uint32_t length) {
  if (length <= 15) return int(length) - 1;
  int k = 31 - __builtin_clz(length - 14);  // 2^k <= length - 14 < 2^(k + 1)
  return k + 14;
}

int MatchExtraBits(int lengthCode) { return lengthCode < 15 ? 0 : lengthCode - 14; }

uint32_t MatchExtraValue(uint32_t length) {
  if (length <= 15) return 0;
  int k = 31 - __builtin_clz(length - 14);
  return length - 14 - (1u << k);
}

namespace {

constexpr int HashBits = 14;
constexpr int ChainDepth = 48;
constexpr int MinSampleMatch = 3;
constexpr uint32_t SampleBlocks = 768;

uint32_t HashAt(const uint8_t* p) { return ((uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]) * 2654435761u) >> (32 - HashBits); }

// Greedy parse of one block with matches at any distance found through hash chains; adds
// the bytes each distance covers to `covered`.
void SampleBlock(const uint8_t* block, uint32_t size, uint64_t* covered, int32_t* head, int32_t* previous) {
  for (int i = 0; i < (1 << HashBits); i++) head[i] = -1;
  auto insert = [&](uint32_t at) {
    if (at + 3 > size) return;
    uint32_t h = HashAt(block + at);
    previous[at] = head[h];
    head[h] = int32_t(at);
  };
  for (uint32_t at = 0; at < size;) {
    uint32_t bestLength = 0, bestDistance = 0;
    if (at + 3 <= size) {
      int32_t candidate = head[HashAt(block + at)];
      for (int depth = 0; candidate >= 0 && depth < ChainDepth; depth++, candidate = previous[candidate]) {
        uint32_t distance = at - uint32_t(candidate), length = 0;
        while (at + length < size && block[at + length] == block[candidate + length]) length++;
        if (length > bestLength) bestLength = length, bestDistance = distance;
      }
    }
    if (bestLength >= MinSampleMatch) {
      covered[bestDistance] += bestLength;
      for (uint32_t i = 0; i < bestLength; i++) insert(at + i);
      at += bestLength;
    } else {
      insert(at);
      at++;
    }
  }
}

}  // namespace

void ChooseDistances(const uint8_t* data, uint64_t bytes, uint32_t blockBytes, uint32_t distances[DatacompDistances]) {
  uint64_t blocks = (bytes + blockBytes - 1) / blockBytes;
  uint64_t* covered = static_cast<uint64_t*>(calloc(blockBytes, sizeof(uint64_t)));
  int32_t* head = static_cast<int32_t*>(malloc(sizeof(int32_t) << HashBits));
  int32_t* previous = static_cast<int32_t*>(malloc(sizeof(int32_t) * blockBytes));
  uint32_t chosen = 0;
  if (covered && head && previous) {
    uint64_t step = blocks > SampleBlocks ? blocks / SampleBlocks : 1;
    for (uint64_t b = 0; b < blocks; b += step) {
      uint64_t start = b * blockBytes;
      uint32_t size = uint32_t(std::min<uint64_t>(blockBytes, bytes - start));
      SampleBlock(data + start, size, covered, head, previous);
    }
    // The most used distances first; equal use keeps the shorter distance first.
    for (; chosen < uint32_t(DatacompDistances); chosen++) {
      uint32_t best = 0;
      for (uint32_t d = 1; d < blockBytes; d++)
        if (covered[d] > covered[best]) best = d;
      if (best == 0) break;
      distances[chosen] = best;
      covered[best] = 0;
    }
  }
  // Places left over take the smallest distances not chosen yet.
  for (uint32_t d = 1; chosen < uint32_t(DatacompDistances); d++) {
    bool taken = false;
    for (uint32_t i = 0; i < chosen; i++) taken = taken || distances[i] == d;
    if (!taken) distances[chosen++] = d;
  }
  free(covered);
  free(head);
  free(previous);
}

namespace {

// Costs from a position to the block's end, and the step chosen at each position.
struct ParseState {
  uint32_t cost[DatacompLongestMatch + 1];
  uint16_t length[DatacompLongestMatch];    // 0 for a literal
  uint8_t slot[DatacompLongestMatch];       // the distance's place
  uint32_t seen[DatacompLongestMatch + 1];  // the position that last priced a length
  uint32_t run[DatacompDistances];          // match length at each distance from the position
  uint8_t byPrice[DatacompLengthCodes][DatacompDistances];  // per length code, the cheapest distance first
  uint8_t codeOf[DatacompLongestMatch + 1];
  bool ready;
};

// Matches this long are only taken whole, or cut at their own lengths of other distances.
constexpr uint32_t LongMatch = 32;
constexpr uint32_t ShortCut = 4;  // the shortest lengths, always priced

}  // namespace

int ParseBlock(const uint8_t* block, uint32_t size, const uint32_t distances[DatacompDistances], const uint32_t* prices,
               ParseToken* tokens) {
  static thread_local ParseState state;
  ParseState& s = state;
  if (!s.ready) {
    for (uint32_t length = 1; length <= DatacompLongestMatch; length++) s.codeOf[length] = uint8_t(MatchLengthCode(length));
    s.ready = true;
  }
  // A length is priced with the cheapest distance that matches that far, so the distances of
  // each length code are sorted by price.
  for (int code = 0; code < DatacompLengthCodes; code++) {
    uint8_t* order = s.byPrice[code];
    for (int k = 0; k < DatacompDistances; k++) {
      int i = k;
      uint32_t price = prices[256 + k * DatacompLengthCodes + code];
      for (; i > 0 && prices[256 + order[i - 1] * DatacompLengthCodes + code] > price; i--) order[i] = order[i - 1];
      order[i] = uint8_t(k);
    }
  }
  s.cost[size] = 0;
  memset(s.run, 0, sizeof s.run);
  memset(s.seen, 0xFF, sizeof(uint32_t) * (size + 1));
  for (uint32_t at = size; at-- > 0;) {
    uint32_t best = prices[block[at]] + s.cost[at + 1], bestLength = 0, bestSlot = 0;
    uint32_t longest = 0;
    for (int k = 0; k < DatacompDistances; k++) {
      uint32_t d = distances[k];
      s.run[k] = (d <= at && block[at] == block[at - d]) ? s.run[k] + 1 : 0;
      longest = std::max(longest, s.run[k]);
    }
    auto consider = [&](uint32_t length) {
      if (s.seen[length] == at) return;
      s.seen[length] = at;
      int code = s.codeOf[length];
      const uint8_t* order = s.byPrice[code];
      for (int i = 0; i < DatacompDistances; i++) {
        int k = order[i];
        uint32_t price = prices[256 + k * DatacompLengthCodes + code];
        if (price >= UnusableSymbol) return;
        if (s.run[k] < length) continue;
        uint32_t cost = price + uint32_t(MatchExtraBits(code)) * 16 + s.cost[at + length];
        if (cost < best) best = cost, bestLength = length, bestSlot = uint32_t(k);
        return;
      }
    };
    if (longest) {
      for (int k = 0; k < DatacompDistances; k++)
        if (s.run[k]) consider(s.run[k]);
      if (longest < LongMatch) {
        for (uint32_t length = 1; length < longest && length <= ShortCut; length++) consider(length);
        // The longest length of each shorter length code.
        for (int code = 15; code < DatacompLengthCodes; code++) {
          uint32_t top = (1u << (code - 13)) + 13;
          if (top >= longest) break;
          consider(top);
        }
      }
    }
    s.cost[at] = best;
    s.length[at] = uint16_t(bestLength);
    s.slot[at] = uint8_t(bestSlot);
  }
  int count = 0;
  for (uint32_t at = 0; at < size;) {
    if (s.length[at] == 0) {
      tokens[count++] = ParseToken{block[at], 0};
      at++;
    } else {
      uint32_t length = s.length[at];
      tokens[count++] = ParseToken{uint16_t(256 + s.slot[at] * DatacompLengthCodes + s.codeOf[length]),
                                   uint16_t(length - 1)};
      at += length;
    }
  }
  return count;
}
