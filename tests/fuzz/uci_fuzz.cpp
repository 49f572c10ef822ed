// The kestrane program's UCI mode fed any bytes on its standard input: lines of any length,
// any command in any order, the end of input wherever the bytes end.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <thread>

#include "cli/uci.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int inScratchDirectory = [] {
    char pattern[] = "/tmp/kestrane-ucifuzz-XXXXXX";
    const char* directory = mkdtemp(pattern);
    return directory && chdir(directory) == 0;
  }();
  if (!inScratchDirectory) abort();

  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) abort();
  std::thread writer([&] {
    size_t done = 0;
    while (done < size) {
      ssize_t n = write(pipeEnds[1], data + done, size - done);
      if (n <= 0) break;
      done += size_t(n);
    }
    close(pipeEnds[1]);
  });
  int savedInput = dup(0);
  dup2(pipeEnds[0], 0);
  close(pipeEnds[0]);
  clearerr(stdin);
  std::cin.clear();
  UciMain();
  dup2(savedInput, 0);
  close(savedInput);
  writer.join();
  return 0;
}
