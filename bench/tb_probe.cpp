// Probes per second through TBProbeList on random placements of the named endgames, read
// from the plain files of a directory (the OS file cache warm after a first pass): with the
// block cache warm (every block already cached when it holds the tables), with the block
// cache cold (emptied and the files closed before every round of 1000 probes), and with the
// tables held in memory. Run with bench/tb_probe.sh.
#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

#include "kestrane.h"
#include "tablebase/block_cache.h"
#include "tablebase/endgame_lookup.h"
#include "tablebase/endgame_table.h"
#include "tablebase/registry.h"
#include "tablebase/table_read.h"

struct Placement {
  int32_t counts[10];
  int32_t white[24];
  int32_t black[24];
  int32_t side;
};

// Random placements of a record's material: distinct squares, pawns off the back ranks,
// kings not touching; either side to move.
static std::vector<Placement> RandomPlacements(int record, int count, std::mt19937_64* random) {
  std::vector<Placement> out;
  int32_t counts[10];
  CountsOfEndgameName(EndgameTable[record].name, counts);
  while (int(out.size()) < count) {
    Placement p{};
    memcpy(p.counts, counts, sizeof counts);
    uint64_t used = 0;
    auto pick = [&](bool pawn) {
      for (;;) {
        int sq = int((*random)() % 64);
        if ((used >> sq & 1) || (pawn && (sq < 8 || sq > 55))) continue;
        used |= uint64_t(1) << sq;
        return sq;
      }
    };
    p.white[0] = pick(false);
    p.black[0] = pick(false);
    int dx = p.white[0] % 8 - p.black[0] % 8, dy = p.white[0] / 8 - p.black[0] / 8;
    if (dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1) continue;
    for (int color = 0; color < 2; ++color)
      for (int kind = 1; kind <= 5; ++kind)
        for (int i = 0; i < counts[color * 5 + kind - 1]; ++i)
          (color ? p.black : p.white)[4 * kind + i] = pick(kind == TbPawn);
    p.side = int32_t((*random)() & 1);
    out.push_back(p);
  }
  return out;
}

// With `coldRound` > 0 the block cache is emptied and the files closed before every round
// of that many probes (outside the timed part).
static double ProbesPerSecond(const std::vector<Placement>& placements, int* found, size_t coldRound = 0) {
  std::chrono::steady_clock::duration spent{};
  *found = 0;
  int64_t sum = 0;
  for (size_t first = 0; first < placements.size();) {
    size_t end = coldRound ? std::min(placements.size(), first + coldRound) : placements.size();
    if (coldRound) {
      TBNewGame();
      LayoutTableCache(TableCacheBlockCount());
    }
    auto start = std::chrono::steady_clock::now();
    for (; first < end; ++first) {
      const Placement& p = placements[first];
      int32_t result = 0;
      *found += TBProbeList(p.counts, p.white, p.black, p.side, 0, &result);
      sum += result;
    }
    spent += std::chrono::steady_clock::now() - start;
  }
  if (sum == INT64_MIN) std::printf("\n");  // keeps the loop from being optimised away
  return double(placements.size()) / std::chrono::duration<double>(spent).count();
}

// Writes files of the records' exact sizes (sparse, all draws) for both sides.
static int WriteSizedFiles(const char* directory, char** names, int count) {
  for (int i = 0; i < count; ++i) {
    int record = EndgameRecordByName(names[i]);
    if (record == 0) return 1;
    for (int side = 0; side < 2; ++side) {
      int tableSide = TableSideOf(record, side);
      for (int part = 0; part < PartCountOf(record, tableSide); ++part) {
        std::string path = std::string(directory) + "/" + names[i];
        if (EndgameTable[record].flags & EndgameSplit) path += std::string(".") + char(part < 10 ? '0' + part : 'a' + part - 10);
        path += tableSide == 0 ? ".nbw" : ".nbb";
        int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0) return 1;
        uint64_t bytes = PartEntriesOf(record, tableSide, part) * uint64_t(EntrySizeOf(record));
        int written = ftruncate(fd, off_t(bytes));
        close(fd);
        if (written != 0) return 1;
      }
    }
  }
  return 0;
}

int main(int argc, char** argv) {
  if (argc >= 3 && strcmp(argv[1], "--sizes") == 0) return WriteSizedFiles(argv[2], argv + 3, argc - 3);
  int32_t cacheKb = 1048576;  // the largest cache: it holds both sides of krpkr (600 MB)
  if (argc >= 3 && strcmp(argv[1], "--cache-kb") == 0) {
    cacheKb = int32_t(atoi(argv[2]));
    argc -= 2;
    argv += 2;
  }
  if (argc < 3) {
    std::fprintf(stderr, "usage: tb_probe [--cache-kb KB] DIR NAME... | --sizes DIR NAME...\n");
    return 2;
  }
  if (TBInitExtern(argv[1], cacheKb) == 0) {
    std::fprintf(stderr, "no tablebase files in %s\n", argv[1]);
    return 1;
  }
  std::printf("block cache: %d KB, %u blocks\n", cacheKb, TableCacheBlockCount());
  std::mt19937_64 random(20261210);
  const int probes = 1000000;
  for (int i = 2; i < argc; ++i) {
    int record = EndgameRecordByName(argv[i]);
    if (record == 0 || !FileSideIsRegistered(record, 0) || !FileSideIsRegistered(record, TableSideOf(record, 1))) {
      std::printf("%-8s not registered in %s\n", argv[i], argv[1]);
      continue;
    }
    std::vector<Placement> placements = RandomPlacements(record, probes, &random);
    int found = 0;
    ProbesPerSecond(placements, &found);  // warms the OS file cache and the block cache
    double warm = ProbesPerSecond(placements, &found);
    std::printf("%-8s warm cache:  %10.0f probes/s (%d of %d found)\n", argv[i], warm, found, probes);
    double cold = ProbesPerSecond(placements, &found, 1000);
    std::printf("%-8s cold cache:  %10.0f probes/s (emptied every 1000 probes)\n", argv[i], cold);
    if (HoldTableInMemory(record, 0) && HoldTableInMemory(record, TableSideOf(record, 1))) {
      double memory = ProbesPerSecond(placements, &found);
      std::printf("%-8s in memory:   %10.0f probes/s\n", argv[i], memory);
    }
  }
  TBExit();
  return 0;
}
