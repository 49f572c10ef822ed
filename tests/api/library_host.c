/* A minimal host: loads the engine library at run time (kestrane.dll, or the path given as
   the first argument), resolves every export, runs one fixed-depth search from the start
   position and prints the lines the engine reports. Exit status 0 when every export was
   found, the option list is complete and at least one line arrived. */
#include <stdio.h>

#include "kestrane.h"

#ifdef _WIN32
#include <windows.h>
typedef HMODULE Library;
static Library OpenLibrary(const char* path) { return LoadLibraryA(path); }
static void* FindExport(Library library, const char* name) { return (void*)GetProcAddress(library, name); }
static void CloseLibrary(Library library) { FreeLibrary(library); }
static const char* const DefaultLibrary = "kestrane.dll";
static const char* const EngineDirectory = ".\\";
#else
#include <dlfcn.h>
typedef void* Library;
static Library OpenLibrary(const char* path) { return dlopen(path, RTLD_NOW | RTLD_LOCAL); }
static void* FindExport(Library library, const char* name) { return dlsym(library, name); }
static void CloseLibrary(Library library) { dlclose(library); }
static const char* const DefaultLibrary = "./libkestrane.so";
static const char* const EngineDirectory = "./";
#endif

static int LinesReceived;

static void KESTRANE_CDECL OnNodes(uint32_t low, uint32_t high, int32_t tbHits) {
  printf("nodes %llu tbhits %d\n", (unsigned long long)high << 32 | low, (int)tbHits);
}
static void KESTRANE_CDECL OnDepth(int32_t depth, int32_t selDepth) { printf("depth %d %d\n", (int)depth, (int)selDepth); }
static void KESTRANE_CDECL OnMove(const char* move, int32_t number, int32_t count) {
  printf("currmove %s %d/%d\n", move, (int)number, (int)count);
}
static void KESTRANE_CDECL OnLine(const char* line, int32_t score) {
  printf("line [%s] score %d\n", line, (int)score);
  ++LinesReceived;
}

static const char* const ExportNames[] = {
    "KestraneInit", "KestraneQuit", "KestraneGetVersion", "KestraneGetAuthor", "KestraneSetPosition",
    "KestraneSetStartPosition", "KestraneEnterMove", "KestraneSetTime", "KestraneSetBlitz", "KestraneSetDepth",
    "KestraneSetInfinite", "KestraneAnalyse", "KestraneStopAnalyse", "KestranePonderingOff", "KestraneNextBest",
    "KestraneClearHashtable", "KestraneSetParam", "KestraneGetParamList"};

int main(int argc, char** argv) {
  const char* path = argc > 1 ? argv[1] : DefaultLibrary;
  Library dll = OpenLibrary(path);
  if (!dll) {
    printf("cannot load %s\n", path);
    return 1;
  }
  int missing = 0;
  for (size_t i = 0; i < sizeof ExportNames / sizeof ExportNames[0]; ++i) {
    if (!FindExport(dll, ExportNames[i])) {
      printf("missing export %s\n", ExportNames[i]);
      missing = 1;
    }
  }
  if (missing) return 1;

  typedef int32_t(KESTRANE_CDECL * InitFn)(int32_t, const KestraneCallbacks*, const char*, int32_t);
  typedef const char*(KESTRANE_CDECL * TextFn)(void);
  typedef void(KESTRANE_CDECL * VoidFn)(void);
  typedef void(KESTRANE_CDECL * DepthFn)(int32_t);
  typedef int32_t(KESTRANE_CDECL * AnalyseFn)(int32_t, int32_t);
  typedef char**(KESTRANE_CDECL * ListFn)(void);
  InitFn init = (InitFn)FindExport(dll, "KestraneInit");
  TextFn version = (TextFn)FindExport(dll, "KestraneGetVersion");
  VoidFn startPosition = (VoidFn)FindExport(dll, "KestraneSetStartPosition");
  DepthFn setDepth = (DepthFn)FindExport(dll, "KestraneSetDepth");
  AnalyseFn analyse = (AnalyseFn)FindExport(dll, "KestraneAnalyse");
  ListFn params = (ListFn)FindExport(dll, "KestraneGetParamList");
  VoidFn quit = (VoidFn)FindExport(dll, "KestraneQuit");

  KestraneCallbacks callbacks = {0, OnNodes, OnDepth, OnMove, OnLine, 0, 0};
  printf("version %s\n", version());
  int32_t result = init(8192, &callbacks, EngineDirectory, 0);
  printf("init %d\n", (int)result);
  if (result != 8192) return 1;
  int optionLines = 0;
  for (char** line = params(); *line && **line; ++line) ++optionLines;
  printf("option lines %d\n", optionLines);
  startPosition();
  setDepth(3);
  printf("analyse %d\n", (int)analyse(0, 1));
  quit();
  CloseLibrary(dll);
  return LinesReceived > 0 && optionLines == 29 ? 0 : 1;
}
