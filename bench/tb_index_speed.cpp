// Index routine calls per second on random legal positions of a four-, a five- and a
// six-piece record, and index-to-position decodes per second (what a generator pays per
// index).
#include <chrono>
#include <cstdio>
#include <random>
#include <vector>

#include "tablebase/endgame_table.h"
#include "tablebase/index_count.h"
#include "tablebase/index_tables.h"

struct Sample {
  int32_t white[24], black[24];
};

static std::vector<Sample> LegalSamples(int record, int side, int n) {
  std::vector<Sample> samples;
  std::mt19937_64 rng(42);
  while (int(samples.size()) < n) {
    Sample s;
    uint64_t index = rng() % (side ? EndgameTable[record].countBlack : EndgameTable[record].countWhite);
    int32_t ep;
    if (TbIndexToPosition(record, side, index, s.white, s.black, &ep) && ep == TbNoEnPassant &&
        TbPositionIsLegal(record, side, s.white, s.black, ep))
      samples.push_back(s);
  }
  return samples;
}

int main() {
  BuildTablebaseIndexTables();
  for (const char* name : {"kqkr", "krpkr", "kqrkqr", "kqpkrp"}) {
    int record = EndgameRecordByName(name);
    auto samples = LegalSamples(record, 1, 1 << 16);
    TbIndexRoutine routine = EndgameTable[record].indexBlack;
    uint64_t sum = 0, calls = 0;
    auto start = std::chrono::steady_clock::now();
    for (int round = 0; round < 64; round++)
      for (const Sample& s : samples) {
        sum += routine(s.white, s.black, TbNoEnPassant, round & 1);
        calls++;
      }
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    int32_t w[24], b[24], ep;
    uint64_t count = EndgameTable[record].countBlack, decodes = 1 << 20, found = 0;
    start = std::chrono::steady_clock::now();
    for (uint64_t i = 0; i < decodes; i++) found += TbIndexToPosition(record, 1, (i * 2654435761u) % count, w, b, &ep);
    double decodeSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("%-7s index %6.1f M/s   decode %5.2f M/s   (%llu %llu)\n", name, calls / seconds / 1e6,
           decodes / decodeSeconds / 1e6, (unsigned long long)(sum & 0xff), (unsigned long long)found);
  }
  return 0;
}
