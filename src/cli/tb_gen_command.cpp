// `kestrane tb gen [--out DIR] [--emd] [--all 3] [--all 4] [NAME...]`: generates endgame
// tables on both cores, with a progress bar when stderr is a terminal and one summary line
// per table. --emd writes compressed files (kqkr.nbw.emd) instead of plain ones.
#include "cli/tb_gen_command.h"

#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/platform.h"
#include "tablebase/generate_position.h"
#include "tablebase/generate_tables.h"

namespace {

constexpr uint64_t ChunkSize = 1 << 14;
constexpr int WorkerCount = 2;

struct Progress {
  bool bar;                    // stderr is a terminal
  char name[8];
  char what[16];
  double from, to;             // the current pass's share of the table's work
  uint32_t tableStart;
  std::atomic<uint64_t> next;  // the next chunk to hand out
  std::atomic<uint64_t> done;  // chunks finished
  uint64_t chunks;
  int lastWidth;
};

void DrawBar(Progress* p, double fraction) {
  double elapsed = (TickCount() - p->tableStart) / 1000.0;
  char eta[32] = "";
  if (fraction > 0.02) snprintf(eta, sizeof eta, "%.0fs left", elapsed * (1 - fraction) / fraction);
  constexpr int Width = 30;
  char bar[Width + 1];
  int filled = int(fraction * Width);
  for (int i = 0; i < Width; i++) bar[i] = i < filled ? '#' : '.';
  bar[Width] = 0;
  fprintf(stderr, "\r%-7s [%s] %3d%% %-7s %-12s", p->name, bar, int(fraction * 100), p->what, eta);
  fflush(stderr);
  p->lastWidth = 1;
}

void ClearBar(Progress* p) {
  if (p->lastWidth) fprintf(stderr, "\r%70s\r", "");
  p->lastWidth = 0;
}

void Pass(void* state, const char* name, const char* what, double from, double to) {
  Progress* p = static_cast<Progress*>(state);
  if (strcmp(p->name, name) != 0) {
    snprintf(p->name, sizeof p->name, "%s", name);
    p->tableStart = TickCount();
  }
  snprintf(p->what, sizeof p->what, "%s", what);
  p->from = from, p->to = to;
}

struct RunArgs {
  Progress* progress;
  GenWork work;
  void* arg;
  uint64_t count;
};

void Worker(RunArgs* run) {
  Progress* p = run->progress;
  for (;;) {
    uint64_t chunk = p->next.fetch_add(1, std::memory_order_relaxed);
    if (chunk >= p->chunks) return;
    uint64_t begin = chunk * ChunkSize, end = begin + ChunkSize < run->count ? begin + ChunkSize : run->count;
    run->work(run->arg, begin, end);
    p->done.fetch_add(1, std::memory_order_relaxed);
  }
}

// Both cores take chunks of the pass; the main thread draws the bar meanwhile.
void Run(void* state, GenWork work, void* arg, uint64_t count) {
  Progress* p = static_cast<Progress*>(state);
  p->chunks = (count + ChunkSize - 1) / ChunkSize;
  p->next.store(0), p->done.store(0);
  RunArgs run{p, work, arg, count};
  std::thread helpers[WorkerCount - 1];
  for (std::thread& t : helpers) t = std::thread(Worker, &run);
  if (!p->bar) {
    Worker(&run);
  } else {
    std::thread last(Worker, &run);
    while (p->done.load(std::memory_order_relaxed) < p->chunks) {
      DrawBar(p, p->from + (p->to - p->from) * p->done.load(std::memory_order_relaxed) / double(p->chunks));
      SleepMilliseconds(100);
    }
    last.join();
  }
  for (std::thread& t : helpers) t.join();
}

void Done(void* state, const GenSummary* s) {
  Progress* p = static_cast<Progress*>(state);
  ClearBar(p);
  fprintf(stderr, "%-7s %6.1fs  positions %llu + %llu  longest win %d / %d moves  %s entries%s\n", s->name,
          s->seconds, (unsigned long long)s->positions[0], (unsigned long long)s->positions[1], s->longestWin[0],
          s->longestWin[1], s->twoByte ? "two-byte" : "one-byte", s->written ? ", written" : "");
}

// The piece groups of one side with `count` pieces, strongest first ("qq", "rb", ...).
int Groups(int count, char out[][4]) {
  static const char Letters[] = "qrbnp";
  int n = 0;
  for (int a = 0; a < 5; a++)
    for (int b = a; b < 5; b++)
      for (int c = b; c < 5; c++) {
        char text[4] = {Letters[a], Letters[b], Letters[c], 0};
        text[count] = 0;
        bool repeat = false;
        for (int i = 0; i < n; i++) repeat = repeat || strcmp(out[i], text) == 0;
        if (!repeat) memcpy(out[n++], text, 4);
      }
  return n;
}

// Every endgame of `men` men, named with the stronger side first.
int NamesWithMen(int men, char names[][8], int capacity) {
  int n = 0;
  char white[40][4], black[40][4];
  for (int w = men - 2; w >= 1; w--) {
    int whiteCount = Groups(w, white), blackCount = Groups(men - 2 - w, black);
    for (int i = 0; i < whiteCount; i++)
      for (int j = 0; j < blackCount; j++) {
        char name[16];
        snprintf(name, sizeof name, "k%.3sk%.3s", white[i], black[j]);
        GenMaterial mat, canonical;
        int swapped;
        if (!ParseMaterialName(name, &mat)) continue;
        GenPos pos{};
        pos.men = int8_t(mat.men);
        for (int m = 0; m < mat.men; m++) pos.sq[m] = int8_t(m), pos.kind[m] = mat.kind[m], pos.color[m] = mat.color[m];
        MaterialOfPosition(&pos, &canonical, &swapped);
        if (!swapped && strcmp(canonical.name, name) == 0 && n < capacity) memcpy(names[n++], name, 8);
      }
  }
  return n;
}

// The men a name lists, kings included.
int MenOfName(const char* name) {
  int men = 0;
  for (const char* c = name; *c; c++) men += strchr("kqrbnp", *c) ? 1 : 0;
  return men;
}

int Usage() {
  fprintf(stderr, "usage: kestrane tb gen [--out DIR] [--emd] [--all 3] [--all 4] [NAME...]\n");
  return 2;
}

}  // namespace

int TbGenCommand(int argc, char** argv) {
  const char* out = ".";
  bool all[5] = {};  // by number of pieces, 3 and 4
  bool compressed = false;
  int first = 1;
  while (first < argc && argv[first][0] == '-') {
    if (strcmp(argv[first], "--emd") == 0) {
      compressed = true;
      first++;
    } else if (strcmp(argv[first], "--out") == 0 && first + 1 < argc) {
      out = argv[first + 1];
      first += 2;
    } else if (strcmp(argv[first], "--all") == 0 && first + 1 < argc) {
      int men = atoi(argv[first + 1]);
      if (men >= 6) {
        fprintf(stderr, "kestrane tb gen: six-piece tables do not fit this machine\n");
        return 2;
      }
      if (men < 3 || men > 4) {
        fprintf(stderr, "kestrane tb gen: --all takes 3 or 4; name five-piece endgames one by one\n");
        return 2;
      }
      all[men] = true;
      first += 2;
    } else {
      return Usage();
    }
  }
  if (!all[3] && !all[4] && first == argc) return Usage();
  constexpr int MaxNames = 128;
  char names[MaxNames][8];
  int count = 0;
  for (int men = 3; men <= 4; men++)
    if (all[men]) count += NamesWithMen(men, names + count, MaxNames - count);
  for (int i = first; i < argc; i++) {
    int men = MenOfName(argv[i]);
    if (men == 6) {
      fprintf(stderr, "kestrane tb gen: %s: six-piece tables do not fit this machine\n", argv[i]);
      return 2;
    }
    if (strlen(argv[i]) > 5 || count == MaxNames) {
      fprintf(stderr, "kestrane tb gen: '%s' is not an endgame of three to five pieces\n", argv[i]);
      return 2;
    }
    snprintf(names[count++], 8, "%s", argv[i]);
  }
  Progress progress{};
  progress.bar = isatty(2) != 0;
  GenHooks hooks{&progress, Run, Pass};
  GenSession* session = static_cast<GenSession*>(calloc(1, sizeof(GenSession)));
  if (!session) return 1;
  GenSessionInit(session, &hooks, out);
  session->compressed = compressed;
  session->done = Done;
  int status = 0;
  for (int i = 0; i < count && status == 0; i++) {
    if (!GenerateEndgame(session, names[i])) {
      ClearBar(&progress);
      fprintf(stderr, "kestrane tb gen: %s\n", session->error);
      status = 1;
    }
  }
  GenSessionFree(session);
  free(session);
  return status;
}
