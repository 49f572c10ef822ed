// `kestrane tb compress [--remove] DIR...`: writes a compressed copy (name + ".emd") of every
// plain tablebase file (*.nbw, *.nbb) in the directories, each read back and checked before
// it counts. The plain files are kept unless --remove is given; then each is removed once its
// compressed copy has been checked.
#include "cli/tb_compress_command.h"

#include <dirent.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>
#include <algorithm>

#include "tablebase/datacomp_write.h"

namespace {

bool EndsWith(const std::string& text, const char* tail) {
  size_t n = strlen(tail);
  return text.size() >= n && text.compare(text.size() - n, n, tail) == 0;
}

int Usage() {
  fprintf(stderr, "usage: kestrane tb compress [--remove] DIR...\n");
  return 2;
}

}  // namespace

int TbCompressCommand(int argc, char** argv) {
  bool removePlain = false;
  std::vector<std::string> directories;
  for (int i = 1; i < argc; i++) {
    if (strcmp(argv[i], "--remove") == 0)
      removePlain = true;
    else if (argv[i][0] == '-')
      return Usage();
    else
      directories.push_back(argv[i]);
  }
  if (directories.empty()) return Usage();
  uint64_t plainTotal = 0, compressedTotal = 0;
  int files = 0, status = 0;
  for (const std::string& directory : directories) {
    DIR* dir = opendir(directory.c_str());
    if (!dir) {
      fprintf(stderr, "kestrane tb compress: cannot open directory %s\n", directory.c_str());
      status = 1;
      continue;
    }
    std::vector<std::string> names;
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (EndsWith(name, ".nbw") || EndsWith(name, ".nbb")) names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
      std::string plain = directory + "/" + name, compressed = plain + ".emd";
      DatacompWriteStats stats;
      char error[512];
      if (!CompressTableFile(plain.c_str(), compressed.c_str(), &stats, error, sizeof error)) {
        fprintf(stderr, "kestrane tb compress: %s\n", error);
        status = 1;
        continue;
      }
      files++;
      plainTotal += stats.inputBytes;
      compressedTotal += stats.outputBytes;
      printf("%-16s %12llu -> %10llu bytes  ratio %6.2f  stored blocks %u of %u\n", name.c_str(),
             (unsigned long long)stats.inputBytes, (unsigned long long)stats.outputBytes,
             double(stats.inputBytes) / double(stats.outputBytes), stats.storedBlocks, stats.blocks);
      if (removePlain && remove(plain.c_str()) != 0) {
        fprintf(stderr, "kestrane tb compress: cannot remove %s\n", plain.c_str());
        status = 1;
      }
    }
  }
  if (files)
    printf("total: %d files, %llu -> %llu bytes, ratio %.2f\n", files, (unsigned long long)plainTotal,
           (unsigned long long)compressedTotal, double(plainTotal) / double(compressedTotal));
  return status;
}
