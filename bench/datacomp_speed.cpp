// Compressed tablebase files: for every plain table file (*.nbw, *.nbb) named on the command
// line, the compression ratio and the time to write it, then the speed of decoding every
// block of the compressed file in MB/s of decoded data (the file in the OS cache).
// Run with bench/datacomp_speed.sh.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "tablebase/datacomp_read.h"
#include "tablebase/datacomp_write.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: datacomp_speed_bench FILE.nbw...\n");
    return 2;
  }
  using Clock = std::chrono::steady_clock;
  uint64_t plainTotal = 0, compressedTotal = 0, decodedTotal = 0;
  double writeSeconds = 0, decodeSeconds = 0;
  for (int i = 1; i < argc; i++) {
    std::string plain = argv[i], compressed = std::string("/tmp/datacomp_speed_") + std::to_string(i) + ".emd";
    DatacompWriteStats stats;
    char error[512];
    auto start = Clock::now();
    if (!CompressTableFile(plain.c_str(), compressed.c_str(), &stats, error, sizeof error)) {
      fprintf(stderr, "%s\n", error);
      return 1;
    }
    double written = std::chrono::duration<double>(Clock::now() - start).count();
    int64_t file = OpenReadOnlyFile(compressed.c_str());
    DatacompFile* descriptor = nullptr;
    if (ReadDatacompHeader(file, &descriptor) != 0) return 1;
    DatacompWork* work = NewDatacompWork();
    static uint8_t block[DatacompBlockBytes];
    uint32_t blocks = DatacompBlockCount(descriptor);
    // Enough rounds for a tenth of a second of decoding at least.
    int rounds = 0;
    start = Clock::now();
    double seconds = 0;
    do {
      for (uint32_t b = 0; b < blocks; b++)
        if (ReadDatacompBlock(descriptor, file, b, work, block) != 0) return 1;
      rounds++;
      seconds = std::chrono::duration<double>(Clock::now() - start).count();
    } while (seconds < 0.1);
    DeleteDatacompWork(work);
    FreeDatacompFile(descriptor);
    CloseReadOnlyFile(file);
    remove(compressed.c_str());
    printf("%-12s %11llu -> %9llu bytes  ratio %6.2f  write %6.2f s  decode %7.1f MB/s\n",
           plain.substr(plain.find_last_of('/') + 1).c_str(), (unsigned long long)stats.inputBytes,
           (unsigned long long)stats.outputBytes, double(stats.inputBytes) / double(stats.outputBytes), written,
           double(stats.inputBytes) * rounds / seconds / 1e6);
    plainTotal += stats.inputBytes, compressedTotal += stats.outputBytes;
    decodedTotal += stats.inputBytes * uint64_t(rounds);
    writeSeconds += written, decodeSeconds += seconds;
  }
  printf("total: %llu -> %llu bytes, ratio %.2f, write %.1f s (%.2f MB/s), decode %.1f MB/s\n",
         (unsigned long long)plainTotal, (unsigned long long)compressedTotal, double(plainTotal) / double(compressedTotal),
         writeSeconds, double(plainTotal) / writeSeconds / 1e6, double(decodedTotal) / decodeSeconds / 1e6);
  return 0;
}
