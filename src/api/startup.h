// Start-up and shutdown of the engine behind the exported functions.
#pragma once
#include <cstdint>

// LearningFilePath := directory + "kestrane.pl2" (no separator is added); the bare file
// name when the two do not fit.
void SetLearningFilePath(const char* directory);
int InitTables(int hashKb);  // 1 on success; on failure nothing stays allocated
int InitEngine(int hashKb);  // InitTables, option defaults and the start position
void ReleaseEngine();        // frees what InitTables allocated
// Tablebases: StartTablebases runs TBInit and sets the search's piece limit from
// TBMaxPiece; StopTablebases runs TBExit when they were started.
void StartTablebases();
void StopTablebases();
// Replaces the registered tablebases by those of a path list (directories separated by ';'
// or ',') with a cache of cacheKb kilobytes: the engine's reference is given back first, so
// the files are really looked for again. Returns the largest number of men available.
int RestartTablebases(const char* paths, int32_t cacheKb);
