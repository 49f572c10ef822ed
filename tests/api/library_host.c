/* A host program that drives the engine library the way a chess GUI does: it loads the
   library at run time (kestrane.dll, or the path given as the first argument), resolves every
   export, and runs searches under each time control export, an infinite search stopped from
   a second thread, a next-best request, and a ponder search turned into a timed one by
   KestranePonderingOff. The callbacks check their arguments and texts as they arrive. Prints
   one line per check; exit status 0 when every check passed. */
#include <stdatomic.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "kestrane.h"

#ifdef _WIN32
#include <windows.h>
typedef HMODULE Library;
typedef HANDLE Thread;
static Library OpenLibrary(const char* path) { return LoadLibraryA(path); }
static void* FindExport(Library library, const char* name) { return (void*)GetProcAddress(library, name); }
static void CloseLibrary(Library library) { FreeLibrary(library); }
static long NowMs(void) { return (long)GetTickCount(); }
static void SleepMs(int ms) { Sleep((DWORD)ms); }
static void (*ThreadTask)(void);
static DWORD WINAPI ThreadMain(LPVOID unused) {
  (void)unused;
  ThreadTask();
  return 0;
}
static Thread StartThread(void (*task)(void)) {
  ThreadTask = task;
  return CreateThread(NULL, 0, ThreadMain, NULL, 0, NULL);
}
static void JoinThread(Thread thread) {
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
}
static const char* const DefaultLibrary = "kestrane.dll";
static const char* const EngineDirectory = ".\\";
#else
#include <dlfcn.h>
#include <pthread.h>
#include <time.h>
typedef void* Library;
typedef pthread_t Thread;
static Library OpenLibrary(const char* path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }
static void* FindExport(Library library, const char* name) { return dlsym(library, name); }
static void CloseLibrary(Library library) { dlclose(library); }
static long NowMs(void) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (long)(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}
static void SleepMs(int ms) {
  struct timespec pause = {ms / 1000, (long)(ms % 1000) * 1000000};
  nanosleep(&pause, NULL);
}
static void (*ThreadTask)(void);
static void* ThreadMain(void* unused) {
  (void)unused;
  ThreadTask();
  return NULL;
}
static Thread StartThread(void (*task)(void)) {
  Thread thread;
  ThreadTask = task;
  pthread_create(&thread, NULL, ThreadMain, NULL);
  return thread;
}
static void JoinThread(Thread thread) { pthread_join(thread, NULL); }
static const char* const DefaultLibrary = "./libkestrane.so";
static const char* const EngineDirectory = "./";
#endif

typedef int32_t(KESTRANE_CDECL* InitFn)(int32_t, const KestraneCallbacks*, const char*, int32_t);
typedef const char*(KESTRANE_CDECL* TextFn)(void);
typedef void(KESTRANE_CDECL* VoidFn)(void);
typedef void(KESTRANE_CDECL* StringFn)(const char*);
typedef void(KESTRANE_CDECL* TimeFn)(int32_t, int32_t, int32_t);
typedef void(KESTRANE_CDECL* BlitzFn)(int32_t, int32_t);
typedef void(KESTRANE_CDECL* DepthFn)(int32_t);
typedef int32_t(KESTRANE_CDECL* AnalyseFn)(int32_t, int32_t);
typedef int32_t(KESTRANE_CDECL* FlagFn)(void);
typedef int32_t(KESTRANE_CDECL* ParamFn)(const char*, const char*);
typedef char**(KESTRANE_CDECL* ListFn)(void);

static struct {
  InitFn init;
  VoidFn quit;
  TextFn version, author;
  StringFn setPosition;
  VoidFn setStartPosition;
  StringFn enterMove;
  TimeFn setTime;
  BlitzFn setBlitz;
  DepthFn setDepth;
  VoidFn setInfinite;
  AnalyseFn analyse;
  FlagFn stopAnalyse, ponderingOff, nextBest;
  VoidFn clearHashtable;
  ParamFn setParam;
  ListFn paramList;
} Api;

static const struct {
  const char* name;
  void** slot;
} Exports[] = {
    {"KestraneInit", (void**)&Api.init},
    {"KestraneQuit", (void**)&Api.quit},
    {"KestraneGetVersion", (void**)&Api.version},
    {"KestraneGetAuthor", (void**)&Api.author},
    {"KestraneSetPosition", (void**)&Api.setPosition},
    {"KestraneSetStartPosition", (void**)&Api.setStartPosition},
    {"KestraneEnterMove", (void**)&Api.enterMove},
    {"KestraneSetTime", (void**)&Api.setTime},
    {"KestraneSetBlitz", (void**)&Api.setBlitz},
    {"KestraneSetDepth", (void**)&Api.setDepth},
    {"KestraneSetInfinite", (void**)&Api.setInfinite},
    {"KestraneAnalyse", (void**)&Api.analyse},
    {"KestraneStopAnalyse", (void**)&Api.stopAnalyse},
    {"KestranePonderingOff", (void**)&Api.ponderingOff},
    {"KestraneNextBest", (void**)&Api.nextBest},
    {"KestraneClearHashtable", (void**)&Api.clearHashtable},
    {"KestraneSetParam", (void**)&Api.setParam},
    {"KestraneGetParamList", (void**)&Api.paramList},
};

static int Failures;

static void Check(const char* name, int ok, const char* detail) {
  printf("%s %s%s%s%s\n", ok ? "ok  " : "FAIL", name, detail[0] ? " (" : "", detail, detail[0] ? ")" : "");
  fflush(stdout);
  if (!ok) Failures++;
}

/* What the callbacks saw during one search. Written on the searching thread; the helper
   thread reads only the atomic counters. */
static struct {
  atomic_int lines, currentMoves;
  int nodeCalls, depthCalls;
  int lastDepth;                /* of the last information line */
  char firstBest[8], lastBest[8];
  int rootMoves;                /* the root's legal move count, when the test knows it */
  char problem[300];            /* the first malformed callback */
  int nextBestAtDepth;          /* > 0: ask for the next best move at the first line this deep */
  char droppedBest[8];          /* the best move when next-best was asked */
  int linesAfterNextBest, sameBestAfter;
} Seen;

static void ResetSeen(void) {
  atomic_store(&Seen.lines, 0);
  atomic_store(&Seen.currentMoves, 0);
  Seen.nodeCalls = Seen.depthCalls = Seen.lastDepth = Seen.rootMoves = 0;
  Seen.firstBest[0] = Seen.lastBest[0] = Seen.problem[0] = Seen.droppedBest[0] = 0;
  Seen.nextBestAtDepth = Seen.linesAfterNextBest = Seen.sameBestAfter = 0;
}

static void Problem(const char* what, const char* text) {
  if (!Seen.problem[0]) snprintf(Seen.problem, sizeof Seen.problem, "%s: [%.200s]", what, text);
}

/* Length of a coordinate move at text (e2e4, e7e8q), or 0. */
static int MoveLength(const char* text) {
  if (!(text[0] >= 'a' && text[0] <= 'h' && text[1] >= '1' && text[1] <= '8' && text[2] >= 'a' && text[2] <= 'h' &&
        text[3] >= '1' && text[3] <= '8'))
    return 0;
  if (text[4] && strchr("qrbn", text[4]) && (text[5] == 0 || text[5] == ' ')) return 5;
  return text[4] == 0 || text[4] == ' ' ? 4 : 0;
}

static void KESTRANE_CDECL OnNodes(uint32_t low, uint32_t high, int32_t tbHits) {
  Seen.nodeCalls++;
  if ((low == 0 && high == 0) || tbHits < 0) Problem("node report", "zero nodes or negative hits");
}

static void KESTRANE_CDECL OnDepth(int32_t depth, int32_t selDepth) {
  Seen.depthCalls++;
  if (depth < 1 || depth > 99 || selDepth < depth || selDepth > 99) Problem("depth report", "out of range");
}

static void KESTRANE_CDECL OnMove(const char* move, int32_t number, int32_t count) {
  atomic_fetch_add(&Seen.currentMoves, 1);
  if (MoveLength(move) == 0 || move[MoveLength(move)] != 0) Problem("current move text", move);
  if (number < 1 || number > count || (Seen.rootMoves && count != Seen.rootMoves))
    Problem("current move number or count", move);
}

/* An information line: "info depth D ... score cp S|mate M [bound] ... pv MOVE ...", with the
   score argument the line's score (mates as +-(32767 - plies)); or, after a search that sent
   none, the best move and the reply alone. */
static void KESTRANE_CDECL OnLine(const char* line, int32_t score) {
  const char* best = line;
  if (strncmp(line, "info depth ", 11) == 0) {
    const char* cp = strstr(line, " score cp ");
    const char* mate = strstr(line, " score mate ");
    const char* pv = strstr(line, " pv ");
    Seen.lastDepth = atoi(line + 11);
    if (cp && atoi(cp + 10) != score) Problem("line score differs from the score argument", line);
    if (mate && (atoi(mate + 12) > 0 ? score <= 30000 : score >= -30000)) Problem("mate score argument", line);
    if ((!cp && !mate) || !pv) Problem("line without score or pv", line);
    best = pv ? pv + 4 : line;
  }
  if (MoveLength(best) == 0) {
    Problem("line without a move", line);
    return;
  }
  char move[8] = "";
  memcpy(move, best, (size_t)MoveLength(best));
  if (!Seen.firstBest[0]) strcpy(Seen.firstBest, move);
  strcpy(Seen.lastBest, move);
  atomic_fetch_add(&Seen.lines, 1);
  if (Seen.droppedBest[0]) {
    Seen.linesAfterNextBest++;
    if (strcmp(move, Seen.droppedBest) == 0) Seen.sameBestAfter++;
  } else if (Seen.nextBestAtDepth && Seen.lastDepth >= Seen.nextBestAtDepth) {
    strcpy(Seen.droppedBest, move);
    Api.nextBest();  /* from inside the callback, as a GUI's button handler may */
  }
}

static const char* const StartMoves[] = {"a2a3", "a2a4", "b2b3", "b2b4", "c2c3", "c2c4", "d2d3", "d2d4", "e2e3", "e2e4",
                                         "f2f3", "f2f4", "g2g3", "g2g4", "h2h3", "h2h4", "b1a3", "b1c3", "g1f3", "g1h3"};

static int IsStartMove(const char* move) {
  for (size_t i = 0; i < sizeof StartMoves / sizeof StartMoves[0]; ++i)
    if (strcmp(move, StartMoves[i]) == 0) return 1;
  return 0;
}

static void StartPosition(void) {
  Api.setStartPosition();
  ResetSeen();
  Seen.rootMoves = 20;
}

/* After 1. e4 e5: the moves go through KestraneEnterMove. */
static void OpenGame(void) {
  Api.setStartPosition();
  Api.enterMove("e2e4");
  Api.enterMove("e7e5");
  ResetSeen();
}

/* Runs a search; returns its milliseconds. */
static long Search(int ponder) {
  long start = NowMs();
  Api.analyse(ponder, 1);
  return NowMs() - start;
}

static void CheckCallbacks(const char* test) {
  char name[120], counts[120];
  snprintf(name, sizeof name, "%s: callbacks well formed", test);
  snprintf(counts, sizeof counts, "%d lines, %d node and %d depth reports", atomic_load(&Seen.lines), Seen.nodeCalls,
           Seen.depthCalls);
  Check(name, !Seen.problem[0] && atomic_load(&Seen.lines) > 0 && Seen.nodeCalls > 0 && Seen.depthCalls > 0,
        Seen.problem[0] ? Seen.problem : counts);
}

/* The helper thread's work: wait until the search reports, then act. */
static long ActedAt;
static int WaitForCurrentMoves, ActDelayMs;
static int32_t (*Action)(void);

static void ActDuringSearch(void) {
  long start = NowMs();
  while (atomic_load(&Seen.lines) == 0 && NowMs() - start < 10000) SleepMs(2);
  while (WaitForCurrentMoves && atomic_load(&Seen.currentMoves) == 0 && NowMs() - start < 10000) SleepMs(5);
  SleepMs(ActDelayMs);
  ActedAt = NowMs();
  Action();
}

/* Searches while a second thread calls `action` once the search reports (and, when asked, has
   named a current move) and `delayMs` more have passed. Returns how long the search went on
   after the action, negative when it ended before; *actedAfter is when the action came. */
static long SearchWhileActing(int pondering, int32_t (*action)(void), int delayMs, int waitForMoves,
                              long* actedAfter) {
  WaitForCurrentMoves = waitForMoves;
  ActDelayMs = delayMs;
  Action = action;
  Thread helper = StartThread(ActDuringSearch);
  long start = NowMs();
  Search(pondering);
  long end = NowMs();
  JoinThread(helper);
  *actedAfter = ActedAt - start;
  return end - ActedAt;
}

static void TimeControls(void) {
  struct {
    const char* name;
    int kind;  /* 0 SetTime, 1 SetBlitz, 2 SetDepth */
    int a, b, c;
    long mostMs; /* the clock the search may not use up */
  } cases[] = {
      {"SetTime 40 moves in 4 s", 0, 40, 4, 0, 4000},
      {"SetTime all moves in 3 s + 1 s", 0, 0, 3, 1, 3000},
      {"SetBlitz 3 s", 1, 3, 0, 0, 3000},
      {"SetBlitz 3 s + 1 s", 1, 3, 1, 0, 3000},
      {"SetDepth 5", 2, 5, 0, 0, 60000},
  };
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    char detail[120];
    if (cases[i].kind == 0) Api.setTime(cases[i].a, cases[i].b, cases[i].c);
    else if (cases[i].kind == 1) Api.setBlitz(cases[i].a, cases[i].b);
    else Api.setDepth(cases[i].a);
    OpenGame();
    long ms = Search(0);
    snprintf(detail, sizeof detail, "%ld ms, last line depth %d", ms, Seen.lastDepth);
    int ok = ms < cases[i].mostMs && (cases[i].kind != 2 || Seen.lastDepth == cases[i].a);
    Check(cases[i].name, ok, detail);
    CheckCallbacks(cases[i].name);
  }
}

static void StopFromSecondThread(void) {
  char detail[120];
  Api.setInfinite();
  StartPosition();
  long actedAfter;
  long after = SearchWhileActing(0, Api.stopAnalyse, 100, 1, &actedAfter);
  snprintf(detail, sizeof detail, "stop after %ld ms, search ended %ld ms after it", actedAfter, after);
  Check("infinite search stopped from a second thread", after >= 0 && after < 1000, detail);
  Check("its best move is a move of the start position", IsStartMove(Seen.lastBest), Seen.lastBest);
  snprintf(detail, sizeof detail, "%d reports", atomic_load(&Seen.currentMoves));
  Check("current-move reports name root moves of 20", atomic_load(&Seen.currentMoves) > 0, detail);
  CheckCallbacks("infinite");
}

static void NextBest(void) {
  char detail[120];
  Api.setDepth(6);
  StartPosition();
  Seen.nextBestAtDepth = 3;
  Search(0);
  snprintf(detail, sizeof detail, "dropped %s; %d lines after, %d naming it again, last %s", Seen.droppedBest,
           Seen.linesAfterNextBest, Seen.sameBestAfter, Seen.lastBest);
  Check("next-best: the search goes on without the dropped move",
        Seen.droppedBest[0] && Seen.linesAfterNextBest > 0 && Seen.sameBestAfter == 0 && IsStartMove(Seen.lastBest),
        detail);
  CheckCallbacks("next-best");
}

static void PonderThenTimed(void) {
  char detail[120];
  Api.setBlitz(2, 0);
  OpenGame();
  long actedAfter;
  long after = SearchWhileActing(1, Api.ponderingOff, 300, 0, &actedAfter);
  snprintf(detail, sizeof detail, "ponder hit after %ld ms, search ended %ld ms after it", actedAfter, after);
  Check("ponder search turned timed by KestranePonderingOff", after >= 0 && after < 2000, detail);
  CheckCallbacks("ponder");
}

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : DefaultLibrary;
  Library dll = OpenLibrary(path);
  if (!dll) {
    printf("cannot load %s\n", path);
    return 1;
  }
  int missing = 0;
  for (size_t i = 0; i < sizeof Exports / sizeof Exports[0]; ++i) {
    *Exports[i].slot = FindExport(dll, Exports[i].name);
    if (!*Exports[i].slot) {
      printf("missing export %s\n", Exports[i].name);
      missing = 1;
    }
  }
  if (missing) return 1;

  KestraneCallbacks callbacks = {0, OnNodes, OnDepth, OnMove, OnLine, 0, 0};
  printf("version %s\n", Api.version());
  int32_t result = Api.init(8192, &callbacks, EngineDirectory, 0);
  Check("init returns the hash size", result == 8192, "");
  if (result != 8192) return 1;
  int optionLines = 0;
  for (char** line = Api.paramList(); *line && **line; ++line) ++optionLines;
  Check("29 option lines", optionLines == 29, "");
  Api.setParam("Position Learning", "false");

  TimeControls();
  StopFromSecondThread();
  NextBest();
  PonderThenTimed();

  Api.quit();
  CloseLibrary(dll);
  printf("%s\n", Failures ? "FAILED" : "all checks passed");
  return Failures ? 1 : 0;
}
