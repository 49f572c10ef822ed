/* A minimal host: loads kestrane.dll by name, resolves every export, runs one fixed-depth
   search from the start position and prints the lines the engine reports. Exit status 0
   when every export was found and at least one line arrived. */
#include <stdio.h>
#include <windows.h>

#include "kestrane.h"

static int LinesReceived;

static void __cdecl OnNodes(uint32_t low, uint32_t high, int32_t tbHits) {
  printf("nodes %llu tbhits %d\n", (unsigned long long)high << 32 | low, (int)tbHits);
}
static void __cdecl OnDepth(int32_t depth, int32_t selDepth) { printf("depth %d %d\n", (int)depth, (int)selDepth); }
static void __cdecl OnMove(const char* move, int32_t number, int32_t count) {
  printf("currmove %s %d/%d\n", move, (int)number, (int)count);
}
static void __cdecl OnLine(const char* line, int32_t score) {
  printf("line [%s] score %d\n", line, (int)score);
  ++LinesReceived;
}

static const char* const ExportNames[] = {
    "KestraneInit", "KestraneQuit", "KestraneGetVersion", "KestraneGetAuthor", "KestraneSetPosition",
    "KestraneSetStartPosition", "KestraneEnterMove", "KestraneSetTime", "KestraneSetBlitz", "KestraneSetDepth",
    "KestraneSetInfinite", "KestraneAnalyse", "KestraneStopAnalyse", "KestranePonderingOff", "KestraneNextBest",
    "KestraneClearHashtable", "KestraneSetParam", "KestraneGetParamList"};

int main(void) {
  HMODULE dll = LoadLibraryA("kestrane.dll");
  if (!dll) {
    printf("cannot load kestrane.dll (error %lu)\n", GetLastError());
    return 1;
  }
  int missing = 0;
  for (size_t i = 0; i < sizeof ExportNames / sizeof ExportNames[0]; ++i) {
    if (!GetProcAddress(dll, ExportNames[i])) {
      printf("missing export %s\n", ExportNames[i]);
      missing = 1;
    }
  }
  if (missing) return 1;

  typedef int32_t(__cdecl * InitFn)(int32_t, const KestraneCallbacks*, const char*, int32_t);
  typedef const char*(__cdecl * TextFn)(void);
  typedef void(__cdecl * VoidFn)(void);
  typedef void(__cdecl * DepthFn)(int32_t);
  typedef int32_t(__cdecl * AnalyseFn)(int32_t, int32_t);
  typedef char**(__cdecl * ListFn)(void);
  InitFn init = (InitFn)(void*)GetProcAddress(dll, "KestraneInit");
  TextFn version = (TextFn)(void*)GetProcAddress(dll, "KestraneGetVersion");
  VoidFn startPosition = (VoidFn)(void*)GetProcAddress(dll, "KestraneSetStartPosition");
  DepthFn setDepth = (DepthFn)(void*)GetProcAddress(dll, "KestraneSetDepth");
  AnalyseFn analyse = (AnalyseFn)(void*)GetProcAddress(dll, "KestraneAnalyse");
  ListFn params = (ListFn)(void*)GetProcAddress(dll, "KestraneGetParamList");
  VoidFn quit = (VoidFn)(void*)GetProcAddress(dll, "KestraneQuit");

  KestraneCallbacks callbacks = {0, OnNodes, OnDepth, OnMove, OnLine, 0, 0};
  printf("version %s\n", version());
  int32_t result = init(8192, &callbacks, ".\\", 0);
  printf("init %d\n", (int)result);
  if (result != 8192) return 1;
  int optionLines = 0;
  for (char** line = params(); *line && **line; ++line) ++optionLines;
  printf("option lines %d\n", optionLines);
  startPosition();
  setDepth(3);
  printf("analyse %d\n", (int)analyse(0, 1));
  quit();
  FreeLibrary(dll);
  return LinesReceived > 0 && optionLines == 29 ? 0 : 1;
}
