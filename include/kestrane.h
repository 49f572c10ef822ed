/* Kestrane chess engine: the functions a host program calls, and the callbacks it supplies. */
#ifndef KESTRANE_H
#define KESTRANE_H

#include <stdint.h>

#if defined(_WIN32)
#define KESTRANE_CDECL __cdecl
#else
#define KESTRANE_CDECL
#endif

#if defined(KESTRANE_BUILDING)
#if defined(_WIN32)
#define KESTRANE_API __declspec(dllexport)
#else
#define KESTRANE_API __attribute__((visibility("default")))
#endif
#elif defined(_WIN32)
#define KESTRANE_API __declspec(dllimport)
#else
#define KESTRANE_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Callbacks; the texts passed are valid only during the call, return values are ignored. */
typedef void(KESTRANE_CDECL* KestraneReportNodesFn)(uint32_t nodesLow, uint32_t nodesHigh, int32_t tbHits);
typedef void(KESTRANE_CDECL* KestraneReportDepthFn)(int32_t depth, int32_t selDepth);
typedef void(KESTRANE_CDECL* KestraneReportCurrentMoveFn)(const char* move, int32_t number, int32_t count);
typedef void(KESTRANE_CDECL* KestraneReportLineFn)(const char* line, int32_t score);

/* The seven-slot table passed to KestraneInit; slots 0, 5 and 6 are kept but never called. */
typedef struct KestraneCallbacks {
  void* unused0;
  KestraneReportNodesFn reportNodes;
  KestraneReportDepthFn reportDepth;
  KestraneReportCurrentMoveFn reportCurrentMove;
  KestraneReportLineFn reportLine;
  void* unused5;
  void* unused6;
} KestraneCallbacks;

/* Start-up with the hash size in kilobytes and the engine directory (with its trailing
   separator); returns the hash size, or -1 when memory is short. */
KESTRANE_API int32_t KESTRANE_CDECL KestraneInit(int32_t hashKb, const KestraneCallbacks* callbacks,
                                                 const char* directory, int32_t unused);
KESTRANE_API void KESTRANE_CDECL KestraneQuit(void);
KESTRANE_API const char* KESTRANE_CDECL KestraneGetVersion(void);
KESTRANE_API const char* KESTRANE_CDECL KestraneGetAuthor(void);

/* The position and time control of the next search (stored text, applied by KestraneAnalyse). */
KESTRANE_API void KESTRANE_CDECL KestraneSetPosition(const char* fen);
KESTRANE_API void KESTRANE_CDECL KestraneSetStartPosition(void);
KESTRANE_API void KESTRANE_CDECL KestraneEnterMove(const char* move);
KESTRANE_API void KESTRANE_CDECL KestraneSetTime(int32_t movesToGo, int32_t seconds, int32_t incrementSeconds);
KESTRANE_API void KESTRANE_CDECL KestraneSetBlitz(int32_t seconds, int32_t incrementSeconds);
KESTRANE_API void KESTRANE_CDECL KestraneSetDepth(int32_t depth);
KESTRANE_API void KESTRANE_CDECL KestraneSetInfinite(void);

/* Runs a search on the calling thread; returns 1 when it has ended. */
KESTRANE_API int32_t KESTRANE_CDECL KestraneAnalyse(int32_t ponder, int32_t lines);
/* May be called while KestraneAnalyse runs (from a callback or another thread). */
KESTRANE_API int32_t KESTRANE_CDECL KestraneStopAnalyse(void);
KESTRANE_API int32_t KESTRANE_CDECL KestranePonderingOff(void);
KESTRANE_API int32_t KESTRANE_CDECL KestraneNextBest(void);

KESTRANE_API void KESTRANE_CDECL KestraneClearHashtable(void);
KESTRANE_API int32_t KESTRANE_CDECL KestraneSetParam(const char* name, const char* value);
/* The option lines, ended by an empty string and then null pointers; valid until the next call. */
KESTRANE_API char** KESTRANE_CDECL KestraneGetParamList(void);

/* Endgame tablebases; these may be called from several threads at once. Initialisation is
   counted: every TBInit or TBInitExtern needs one TBExit, the last releases everything. */
/* Registers the directories of "Path" in section "Tablebase" of Morvelin.ini (the Windows
   directory; elsewhere the current directory) with the cache size of "CacheSizeKB". */
KESTRANE_API void KESTRANE_CDECL TBInit(void);
/* The same with the host's directory list (',' or ';' between directories); returns the
   largest number of pieces available, 0 for none. */
KESTRANE_API int32_t KESTRANE_CDECL TBInitExtern(const char* paths, int32_t cacheKb);
KESTRANE_API void KESTRANE_CDECL TBExit(void);
KESTRANE_API int32_t KESTRANE_CDECL TBMaxPiece(void);
/* present[i] := 1 when both sides of endgame record i are registered, for i < count and
   i < 441; returns count. */
KESTRANE_API int32_t KESTRANE_CDECL TBHasEndgames(uint8_t* present, int32_t count);
/* Closes the open tablebase files. */
KESTRANE_API void KESTRANE_CDECL TBNewGame(void);
KESTRANE_API int32_t KESTRANE_CDECL TBGetDecompressTableSize(void);
/* counts: White pawns, knights, bishops, rooks, queens, then Black's. Square lists of 24
   entries: the king at 0, pieces of kind t (pawn 1 .. queen 5) at 4t..4t+3; squares 0..63,
   a1 = 0, h8 = 63. side: 0 White to move, 1 Black. epSquare: 0 for none. Returns 1 and
   stores the result (+n: the side to move mates in n moves; -n: it is mated in n; -32767:
   it is checkmated; 0: draw) when the position is in a registered table, else 0. */
KESTRANE_API int32_t KESTRANE_CDECL TBProbeList(const int32_t* counts, const int32_t* whiteSquares,
                                                const int32_t* blackSquares, int32_t side, int32_t epSquare,
                                                int32_t* result);

#ifdef __cplusplus
}
#endif

#endif
